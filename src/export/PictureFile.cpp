#include "export/PictureFile.h"

#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QSvgGenerator>
#include <algorithm>
#include <cctype>

#include "models/Error.h"
#include "render/PPDraw.h"
#include "render/QtCanvas.h"

namespace isotri {

namespace {

std::string Extension(const std::string& fileName) {
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

SaveResult Failure(std::string text) {
    return {false, std::move(text)};
}

SaveResult CannotWrite(const std::string& fileName, const QString& reason) {
    return Failure("Не удалось записать файл \"" + fileName + "\": " + reason.toStdString());
}

SaveResult Draw(QPaintDevice& device, const PictureInput& in) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return Failure("Не удалось начать рисование.");
    }
    QtCanvas canvas(painter);
    try {
        if (!DrawIsolineSet(in.set, canvas, in.width, in.height, in.divisions, *in.settings,
                            in.bounds, *in.numbers, *in.sink)) {
            return Failure("Рисунок не построен: поля \"Тонкая настройка\" не читаются как числа.");
        }
    } catch (const Error& e) {
        return Failure(e.what());
    }
    return {true, {}};
}

SaveResult SavePng(const std::string& fileName, const PictureInput& in) {
    QImage image(in.width, in.height, QImage::Format_RGB32);
    if (image.isNull()) {
        return Failure("Недостаточно памяти для рисунка " + std::to_string(in.width) + " × " +
                       std::to_string(in.height) + ".");
    }
    image.fill(Qt::white);
    if (SaveResult drawn = Draw(image, in); !drawn.ok) {
        return drawn;
    }
    QFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return CannotWrite(fileName, file.errorString());
    }
    if (!image.save(&file, "PNG") || !file.flush()) {
        const QString reason = file.errorString();
        file.remove();
        return CannotWrite(fileName, reason);
    }
    return {true, {}};
}

// Vector formats are written while drawing: a failure removes the half-written file.
SaveResult Finish(QFile& file, const std::string& fileName, SaveResult drawn) {
    if (drawn.ok && file.error() == QFileDevice::NoError && file.flush()) {
        return drawn;
    }
    const QString reason = file.errorString();
    file.remove();
    return drawn.ok ? CannotWrite(fileName, reason) : drawn;
}

SaveResult SaveSvg(const std::string& fileName, const PictureInput& in) {
    QFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return CannotWrite(fileName, file.errorString());
    }
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(QSize(in.width, in.height));
    svg.setViewBox(QRect(0, 0, in.width, in.height));
    svg.setResolution(96);
    svg.setTitle(QStringLiteral("Изолинии на концентрационном треугольнике"));
    return Finish(file, fileName, Draw(svg, in));
}

SaveResult SavePdf(const std::string& fileName, const PictureInput& in) {
    QFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return CannotWrite(fileName, file.errorString());
    }
    SaveResult drawn;
    {
        // The writer finishes the document when it goes away.
        QPdfWriter pdf(&file);
        pdf.setResolution(96);
        pdf.setPageSize(
            QPageSize(QSizeF(in.width * 72.0 / 96, in.height * 72.0 / 96), QPageSize::Point));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(QStringLiteral("Изолинии на концентрационном треугольнике"));
        drawn = Draw(pdf, in);
    }
    return Finish(file, fileName, std::move(drawn));
}

}  // namespace

SaveResult SavePictureFile(const std::string& fileName, const PictureInput& in) {
    if (in.width < 1 || in.height < 1 || in.width > kMaxPictureSide ||
        in.height > kMaxPictureSide) {
        return Failure("Размер рисунка " + std::to_string(in.width) + " × " +
                       std::to_string(in.height) + " вне пределов 1…" +
                       std::to_string(kMaxPictureSide) + ".");
    }
    const std::string ext = Extension(fileName);
    if (ext == ".png") {
        return SavePng(fileName, in);
    }
    if (ext == ".svg") {
        return SaveSvg(fileName, in);
    }
    if (ext == ".pdf") {
        return SavePdf(fileName, in);
    }
    return Failure("Неизвестный формат файла \"" + fileName +
                   "\": ожидается расширение .png, .svg или .pdf.");
}

}  // namespace isotri
