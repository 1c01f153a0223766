#include "export/PictureFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cstring>

#include "support/SmallPlot.h"

namespace isotri {
namespace {

using testing::SmallPlot;

QByteArray Head(const std::string& path, int bytes) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

TEST(SavePictureFile, WritesEachFormatByItsExtension) {
    struct Case {
        const char* name;
        const char* head;
    };
    for (const Case& c :
         {Case{"plot.png", "\x89PNG"}, Case{"plot.SVG", "<?xml"}, Case{"plot.pdf", "%PDF"},
          Case{"plot.emf", "\x01\0\0\0"}, Case{"plot.WmF", "\xD7\xCD\xC6\x9A"},
          Case{"plot.bmp", "\x01\0\0\0"}, Case{"plot", "\x01\0\0\0"},
          Case{"график с пробелом.wmf", "\xD7\xCD\xC6\x9A"}}) {
        SCOPED_TRACE(c.name);
        SmallPlot plot;
        const SaveResult result = SavePictureFile(plot.Path(c.name), plot.Input());
        ASSERT_TRUE(result.ok) << result.error;
        const std::size_t size = c.head[0] == 1 ? 4 : std::strlen(c.head);
        EXPECT_EQ(Head(plot.Path(c.name), static_cast<int>(size)), QByteArray(c.head, size));
    }
}

TEST(SavePictureFile, AnEmfNameTakesTheRecordedMetafileAndOtherFormsDrawAfresh) {
    SmallPlot plot;
    const QByteArray recorded = QByteArray("\x01\0\0\0recorded", 12);
    for (const char* name : {"plot.emf", "plot", "plot.wmf", "plot.png"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(SavePictureFile(plot.Path(name), plot.Input(), &recorded).ok);
        const bool emf = FileExtension(name) != ".wmf" && FileExtension(name) != ".png";
        EXPECT_EQ(Head(plot.Path(name), 1024) == recorded, emf);
    }
}

TEST(SavePictureFile, SvgStaysValidXmlWithControlCharactersInTexts) {
    SmallPlot plot;
    plot.settings.LabelA = "A\x01b";
    plot.settings.LabelB = "B\x1b[31m\x7f";
    plot.settings.LabelC = "\x08C\tD\x0c";
    ASSERT_TRUE(SavePictureFile(plot.Path("names.svg"), plot.Input()).ok);
    QFile file(QString::fromStdString(plot.Path("names.svg")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString texts;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text") {
            texts += xml.readElementText() + '|';
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(texts.contains("B[31m")) << texts.toStdString();
    EXPECT_TRUE(texts.contains("D")) << texts.toStdString();
}

TEST(SavePictureFile, PngHasThePictureSizeAndAWhiteBackground) {
    SmallPlot plot;
    plot.settings.EGlobalZoom = "1";
    ASSERT_TRUE(SavePictureFile(plot.Path("p.png"), plot.Input()).ok);
    const QImage image(QString::fromStdString(plot.Path("p.png")));
    ASSERT_EQ(image.size(), QSize(200, 200));
    EXPECT_EQ(image.pixel(0, 199) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(image.pixel(100, 160) & 0xFFFFFF, 0u);  // the lower side of the triangle
}

TEST(SavePictureFile, CarriesTheExtremesOnlyWhenGiven) {
    SmallPlot plot;
    plot.settings.EGlobalZoom = "1";
    const PlotExtremes extremes{{0.1, {0, 0, 1}, 60, 140}, {0.9, {1, 0, 0}, 100, 100}};
    PictureInput marked = plot.Input();
    marked.extremes = &extremes;
    ASSERT_TRUE(SavePictureFile(plot.Path("plain.png"), plot.Input()).ok);
    ASSERT_TRUE(SavePictureFile(plot.Path("marked.png"), marked).ok);
    // Inside the filled mark of the maximum.
    EXPECT_EQ(QImage(QString::fromStdString(plot.Path("plain.png"))).pixel(100, 102) & 0xFFFFFF,
              0xFFFFFFu);
    EXPECT_EQ(QImage(QString::fromStdString(plot.Path("marked.png"))).pixel(100, 102) & 0xFFFFFF,
              0u);
    ASSERT_TRUE(SavePictureFile(plot.Path("marked.svg"), marked).ok);
    QFile svg(QString::fromStdString(plot.Path("marked.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("макс 0,9"));
}

TEST(SavePictureFile, FailuresLeaveNoFile) {
    struct Case {
        const char* name;
        const char* fileName;
        void (*change)(SmallPlot&);
        const char* error;
    };
    const Case cases[] = {
        {"bad geometry emf", "plot.emf", [](SmallPlot& p) { p.settings.Eaoscale = "x"; },
         "Тонкая настройка"},
        {"bad level wmf", "plot.wmf", [](SmallPlot& p) { std::strcpy(p.label.Text, "x"); },
         "\"x\""},
        {"bad geometry", "plot.svg", [](SmallPlot& p) { p.settings.EGlobalZoom = "0.95"; },
         "Тонкая настройка"},
        {"bad level", "plot.pdf", [](SmallPlot& p) { std::strcpy(p.label.Text, "x"); }, "\"x\""},
        {"bad level png", "plot.png", [](SmallPlot& p) { std::strcpy(p.label.Text, "x"); },
         "\"x\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SmallPlot plot;
        c.change(plot);
        const SaveResult result = SavePictureFile(plot.Path(c.fileName), plot.Input());
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
        EXPECT_FALSE(QFile::exists(QString::fromStdString(plot.Path(c.fileName))));
    }
}

TEST(SavePictureFile, RefusesSizesAndPlacesItCannotUse) {
    SmallPlot plot;
    PictureInput input = plot.Input();
    input.width = 0;
    EXPECT_FALSE(SavePictureFile(plot.Path("a.png"), input).ok);
    input.width = kMaxPictureSide + 1;
    EXPECT_FALSE(SavePictureFile(plot.Path("a.png"), input).ok);
    for (const char* name : {"missing/a.png", "missing/a.svg", "missing/a.pdf", "missing/a.emf",
                             "missing/a.wmf", ""}) {
        const SaveResult result = SavePictureFile(plot.Path(name), plot.Input());
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error.rfind("Cannot create file " + plot.Path(name), 0), 0U)
            << result.error;
    }
}

TEST(SavePictureFile, AFailedSaveKeepsTheFileThatWasThere) {
    SmallPlot plot;
    const std::string name = plot.Path("старый.emf");
    ASSERT_TRUE(SavePictureFile(name, plot.Input()).ok);
    const QByteArray before = Head(name, 1 << 20);
    std::strcpy(plot.label.Text, "x");
    plot.settings.LineBox = {255, 0, 0};
    EXPECT_FALSE(SavePictureFile(name, plot.Input()).ok);
    EXPECT_EQ(Head(name, 1 << 20), before);
    EXPECT_EQ(QDir(plot.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

}  // namespace
}  // namespace isotri
