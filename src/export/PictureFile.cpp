#include "export/PictureFile.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>

#include "common/AtomicFile.h"
#include "common/Error.h"
#include "export/Metafile.h"
#include "export/PngWriter.h"
#include "render/PPDraw.h"
#include "render/QtCanvas.h"

namespace isotri {

std::string FileExtension(const std::string& fileName) {
    const std::size_t dot = fileName.find_last_of('.');
    const std::size_t slash = fileName.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    std::string ext = fileName.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

bool DrawPictureInput(const PictureInput& in, Canvas& canvas) {
    if (!DrawIsolineSet(in.set, canvas, in.width, in.height, in.divisions, *in.settings, in.bounds,
                        *in.numbers, *in.sink)) {
        return false;
    }
    if (!in.marks.empty()) {
        DrawPointMarks(canvas,
                       PlaceOnPicture(in.marks, in.width, in.height, *in.settings, *in.numbers));
    }
    if (in.extremes != nullptr) {
        DrawExtremeMarks(canvas, *in.extremes, in.width, in.height, *in.settings, *in.numbers);
    }
    return true;
}

namespace {

SaveResult Failure(std::string text) {
    return {false, std::move(text)};
}

SaveResult Refused() {
    return Failure("Рисунок не построен: поля \"Тонкая настройка\" не читаются как числа.");
}

SaveResult Draw(QPaintDevice& device, const PictureInput& in) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return Failure("Не удалось начать рисование.");
    }
    QtCanvas canvas(painter);
    if (!DrawPictureInput(in, canvas)) {
        return Refused();
    }
    return {true, {}};
}

SaveResult RenderPng(const PictureInput& in, QByteArray& bytes) {
    QImage image(in.width, in.height, QImage::Format_RGB32);
    if (image.isNull()) {
        return Failure("Недостаточно памяти для рисунка " + std::to_string(in.width) + " × " +
                       std::to_string(in.height) + ".");
    }
    image.fill(Qt::white);
    if (SaveResult drawn = Draw(image, in); !drawn.ok) {
        return drawn;
    }
    if (std::string reason; !EncodePng(image, bytes, reason)) {
        return Failure("Не удалось сжать рисунок в PNG: " + reason + ".");
    }
    return {true, {}};
}

// The generator writes texts as they are, but XML has no place for C0 control characters other
// than tab and line ends, not even escaped: a name holding one would make the file unreadable.
// In UTF-8 such bytes never occur inside another character, so they are dropped byte-wise.
void DropXmlControls(QByteArray& bytes) {
    const auto forbidden = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 && u != '\t' && u != '\n' && u != '\r';
    };
    bytes.erase(std::remove_if(bytes.begin(), bytes.end(), forbidden), bytes.end());
}

SaveResult RenderSvg(const PictureInput& in, QByteArray& bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(in.width, in.height));
    svg.setViewBox(QRect(0, 0, in.width, in.height));
    svg.setResolution(96);
    svg.setTitle(QStringLiteral("Изолинии на концентрационном треугольнике"));
    SaveResult drawn = Draw(svg, in);
    if (drawn.ok) {
        DropXmlControls(bytes);
    }
    return drawn;
}

SaveResult RenderPdf(const PictureInput& in, QByteArray& bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // The writer finishes the document when it goes away.
    QPdfWriter pdf(&buffer);
    pdf.setResolution(96);
    pdf.setPageSize(
        QPageSize(QSizeF(in.width * 72.0 / 96, in.height * 72.0 / 96), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle(QStringLiteral("Изолинии на концентрационном треугольнике"));
    return Draw(pdf, in);
}

SaveResult RenderRecorded(std::optional<QByteArray> recorded, QByteArray& bytes) {
    if (!recorded) {
        return Refused();
    }
    bytes = std::move(*recorded);
    return {true, {}};
}

SaveResult Render(const std::string& ext, const PictureInput& in, const QByteArray* recordedEmf,
                  QByteArray& bytes) {
    if (ext == ".png") {
        return RenderPng(in, bytes);
    }
    if (ext == ".svg") {
        return RenderSvg(in, bytes);
    }
    if (ext == ".pdf") {
        return RenderPdf(in, bytes);
    }
    if (ext == ".wmf") {
        return RenderRecorded(RenderToWmf(in), bytes);
    }
    if (recordedEmf != nullptr) {
        bytes = *recordedEmf;
        return {true, {}};
    }
    return RenderRecorded(RenderToMetafile(in), bytes);
}

}  // namespace

SaveResult SavePictureFile(const std::string& fileName, const PictureInput& in,
                           const QByteArray* recordedEmf, const std::string& format) {
    if (in.width < 1 || in.height < 1 || in.width > kMaxPictureSide ||
        in.height > kMaxPictureSide) {
        return Failure("Размер рисунка " + std::to_string(in.width) + " × " +
                       std::to_string(in.height) + " вне пределов 1…" +
                       std::to_string(kMaxPictureSide) + ".");
    }
    QByteArray bytes;
    try {
        const std::string ext = format.empty() ? FileExtension(fileName) : format;
        if (SaveResult made = Render(ext, in, recordedEmf, bytes); !made.ok) {
            return made;
        }
        WriteFileAtomically(QString::fromStdString(fileName), bytes);
    } catch (const Error& e) {
        return Failure(e.what());
    }
    return {true, {}};
}

}  // namespace isotri
