#include "export/PictureFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstring>

#include "support/RecordingMessageSink.h"

namespace isotri {
namespace {

constexpr float kUnitCorners[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

// One straight isoline across a 200 x 200 triangle.
struct SmallPlot {
    TPoint3f points[2] = {{60, 120, 0}, {140, 120, 0}};
    std::int32_t piece[2] = {0, 1};
    std::int32_t length = 2;
    std::int32_t* indexes[1] = {piece};
    TLevelLabel label{};
    TIsolineLevel level{};
    TIsolineLevel* levels[1] = {&level};
    TIsolineSet set{};
    AppearanceSettings settings = AppearanceSettings::Defaults(NumberText(','));
    NumberText numbers{','};
    testing::RecordingMessageSink sink;
    QTemporaryDir dir;

    SmallPlot() {
        set.Vertices[0] = {100, 20, 0};
        set.Vertices[1] = {180, 160, 0};
        set.Vertices[2] = {20, 160, 0};
        set.LevelCount = 1;
        set.Levels = levels;
        level.PolylineCount = 1;
        level.Points = points;
        level.PolylineLengths = &length;
        level.PolylineIndexes = indexes;
        level.Labels = &label;
        label.X = 100;
        label.Y = 120;
        std::strcpy(label.Text, "0.5");
    }
    PictureInput Input() { return {&set, 200, 200, 2, &settings, kUnitCorners, &numbers, &sink}; }
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
};

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
         {Case{"plot.png", "\x89PNG"}, Case{"plot.SVG", "<?xml"}, Case{"plot.pdf", "%PDF"}}) {
        SCOPED_TRACE(c.name);
        SmallPlot plot;
        const SaveResult result = SavePictureFile(plot.Path(c.name), plot.Input());
        ASSERT_TRUE(result.ok) << result.error;
        EXPECT_EQ(Head(plot.Path(c.name), static_cast<int>(std::strlen(c.head))), c.head);
    }
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

TEST(SavePictureFile, FailuresLeaveNoFile) {
    struct Case {
        const char* name;
        const char* fileName;
        void (*change)(SmallPlot&);
        const char* error;
    };
    const Case cases[] = {
        {"unknown extension", "plot.bmp", [](SmallPlot&) {}, "Неизвестный формат"},
        {"no extension", "plot", [](SmallPlot&) {}, "Неизвестный формат"},
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
    for (const char* name : {"missing/a.png", "missing/a.svg", "missing/a.pdf"}) {
        const SaveResult result = SavePictureFile(plot.Path(name), plot.Input());
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find("Не удалось записать"), std::string::npos) << result.error;
    }
}

}  // namespace
}  // namespace isotri
