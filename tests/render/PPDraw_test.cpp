#include "render/PPDraw.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/Error.h"
#include "support/RecordingCanvas.h"
#include "support/RecordingMessageSink.h"

namespace isotri {
namespace {

using testing::RecordedOp;
using testing::RecordingCanvas;
using testing::RecordingMessageSink;

constexpr float kUnitCorners[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kWhite{255, 255, 255};

// One level of three pieces: a labelled polyline, a labelled single vertex, an unlabelled
// segment. The vectors hold the memory the set points into.
struct TestSet {
    std::vector<TPoint3f> points{{300, 300, 0}, {350, 320, 0}, {400, 300, 0},
                                 {500, 400, 0}, {200, 500, 0}, {250, 500, 0}};
    std::vector<std::int32_t> piece0{0, 1, 2};
    std::vector<std::int32_t> piece1{3};
    std::vector<std::int32_t> piece2{4, 5};
    std::vector<std::int32_t> lengths{3, 1, 2};
    std::vector<std::int32_t*> indexes{piece0.data(), piece1.data(), piece2.data()};
    std::vector<TLevelLabel> labels = std::vector<TLevelLabel>(3);
    TIsolineLevel level{};
    TIsolineLevel* levels[1] = {&level};
    TIsolineSet set{};

    TestSet() {
        // The default placement of an 800 x 740 picture: centre (400, 444), size 400.
        set.Vertices[0] = {400, 44, 0};
        set.Vertices[1] = {746.41f, 644, 0};
        set.Vertices[2] = {53.59f, 644, 0};
        set.LevelCount = 1;
        set.Levels = levels;
        level.PolylineCount = 3;
        level.Points = points.data();
        level.PolylineLengths = lengths.data();
        level.PolylineIndexes = indexes.data();
        level.Labels = labels.data();
        SetLabel(0, 350, 320, "0.125");
        SetLabel(1, 500, 400, "2.5");
        SetLabel(2, 225, 500, "7");
        labels[2].Flags = kNoLabel;
    }
    void SetLabel(int j, float x, float y, const char* text) {
        labels[j].X = x;
        labels[j].Y = y;
        std::strncpy(labels[j].Text, text, sizeof labels[j].Text - 1);
    }
};

AppearanceSettings Unzoomed(char separator = ',') {
    AppearanceSettings s = AppearanceSettings::Defaults(NumberText(separator));
    s.EGlobalZoom = "1";
    return s;
}

struct Drawn {
    RecordingCanvas canvas;
    RecordingMessageSink sink;
    bool result = false;
};

void Draw(Drawn& d, const TIsolineSet& set, int n, const AppearanceSettings& s,
          char separator = ',', const float* bounds = kUnitCorners) {
    d.result =
        DrawIsolineSet(&set, d.canvas, 800, 740, n, s, bounds, NumberText(separator), d.sink);
}

std::vector<int> Args(const RecordingCanvas& c, const std::string& name, std::size_t k = 0) {
    const auto ops = c.Named(name);
    return k < ops.size() ? ops[k].args : std::vector<int>{};
}

TEST(DrawIsolineSet, DefaultOrderOfSteps) {
    TestSet t;
    Drawn d;
    Draw(d, t.set, 1, Unzoomed());
    ASSERT_TRUE(d.result);
    EXPECT_TRUE(d.sink.messages.empty());
    // Boundary, 3 grid lines, 3 pieces with 2 labels, 3 axes with one tick each, 3 names.
    const std::string expected =
        "Polygon 400 44 746 644 54 644\n"
        "MoveTo 573 344\nLineTo 227 344\n"
        "MoveTo 400 644\nLineTo 573 344\n"
        "MoveTo 227 344\nLineTo 400 644\n"
        "MoveTo 300 300\nLineTo 350 320\nLineTo 400 300\n"
        "Rectangle 324 310 376 330\nTextOut 324 310 \"0,125\"\n"
        "MoveTo 500 400\n"
        "Rectangle 484 390 516 410\nTextOut 484 390 \"2,5\"\n"
        "MoveTo 200 500\nLineTo 250 500\n";
    EXPECT_EQ(d.canvas.Drawing().substr(0, expected.size()), expected);
    EXPECT_EQ(d.canvas.Named("Ellipse").size(), 6u);
    const std::vector<std::string> texts = d.canvas.Texts();
    const std::vector<std::string> tail(texts.end() - 3, texts.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"A", "B", "C"}));
}

TEST(DrawIsolineSet, EachSwitchOffInTurn) {
    struct Case {
        const char* name;
        std::function<void(AppearanceSettings&)> change;
        std::size_t polygons, polylines, fills, rectangles, ellipses, moves, texts;
    };
    // n = 4: 12 grid lines, 3 pieces, 3 axes, 12 ticks; 2 level labels, 24 scale values, 3 names.
    const Case cases[] = {
        {"defaults", [](AppearanceSettings&) {}, 1, 0, 0, 2, 6, 30, 29},
        {"CBBound", [](AppearanceSettings& s) { s.CBBound = false; }, 0, 0, 0, 2, 6, 30, 29},
        {"CBFill", [](AppearanceSettings& s) { s.CBFill = false; }, 0, 1, 0, 2, 6, 30, 29},
        {"CBGrid", [](AppearanceSettings& s) { s.CBGrid = false; }, 1, 0, 0, 2, 6, 18, 29},
        {"CBTics", [](AppearanceSettings& s) { s.CBTics = false; }, 1, 0, 0, 0, 6, 30, 27},
        {"CBAxes", [](AppearanceSettings& s) { s.CBAxes = false; }, 1, 0, 0, 2, 0, 15, 2},
        {"CBLabels", [](AppearanceSettings& s) { s.CBLabels = false; }, 1, 0, 0, 2, 6, 30, 5},
        {"CBFillB on", [](AppearanceSettings& s) { s.CBFillB = true; }, 1, 0, 1, 2, 6, 30, 29},
        {"LabelB empty", [](AppearanceSettings& s) { s.LabelB.clear(); }, 1, 0, 0, 2, 6, 30, 28},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSet t;
        AppearanceSettings s = Unzoomed();
        c.change(s);
        Drawn d;
        Draw(d, t.set, 4, s);
        EXPECT_EQ(d.canvas.Named("Polygon").size(), c.polygons);
        EXPECT_EQ(d.canvas.Named("Polyline").size(), c.polylines);
        EXPECT_EQ(d.canvas.Named("FillRect").size(), c.fills);
        EXPECT_EQ(d.canvas.Named("Rectangle").size(), c.rectangles);
        EXPECT_EQ(d.canvas.Named("Ellipse").size(), c.ellipses);
        EXPECT_EQ(d.canvas.Named("MoveTo").size(), c.moves);
        EXPECT_EQ(d.canvas.Texts().size(), c.texts);
    }
}

TEST(DrawIsolineSet, BoundaryWithoutFillIsAClosedPolyline) {
    TestSet t;
    AppearanceSettings s = Unzoomed();
    s.CBFill = false;
    s.SEBoundW = 3;
    s.BoundBox = kRed;
    Drawn d;
    Draw(d, t.set, 0, s);
    const RecordedOp line = d.canvas.Named("Polyline").at(0);
    EXPECT_EQ(line.args, (std::vector<int>{400, 44, 746, 644, 54, 644, 400, 44}));
    EXPECT_EQ(line.penWidth, 3);
    EXPECT_EQ(line.pen, kRed);
}

TEST(DrawIsolineSet, BackgroundFillsThePictureFirst) {
    TestSet t;
    AppearanceSettings s = Unzoomed();
    s.CBFillB = true;
    s.BackBox = kBlue;
    Drawn d;
    Draw(d, t.set, 0, s);
    const std::string drawing = d.canvas.Drawing();
    EXPECT_EQ(drawing.substr(0, drawing.find('\n')), "FillRect 0 0 800 740");
    EXPECT_EQ(d.canvas.Named("FillRect").at(0).brush, kBlue);
}

TEST(DrawIsolineSet, NoDivisionsDrawNoGridNoTicksNoValues) {
    for (const int n : {0, -1, -5}) {
        SCOPED_TRACE(n);
        TestSet t;
        Drawn d;
        Draw(d, t.set, n, Unzoomed());
        EXPECT_TRUE(d.result);
        // Only the three pieces and the three axis lines.
        EXPECT_EQ(d.canvas.Named("MoveTo").size(), 6u);
        EXPECT_EQ(d.canvas.Named("Ellipse").size(), 6u);
        EXPECT_EQ(d.canvas.Texts(), (std::vector<std::string>{"0,125", "2,5", "A", "B", "C"}));
    }
}

TEST(DrawIsolineSet, TooManyDivisionsAreRefusedBeforeDrawing) {
    TestSet t;
    Drawn d;
    EXPECT_THROW(Draw(d, t.set, kMaxDivisions + 1, Unzoomed()), Error);
    EXPECT_TRUE(d.canvas.ops().empty());
}

TEST(DrawIsolineSet, OneDivisionShowsTheMeanAtTheMiddle) {
    TestSet t;
    const float bounds[9] = {0.8f, 0.2f, 0.0f, 0.2f, 0.6f, 0.2f, 0.4f, 0.0f, 0.6f};
    Drawn d;
    Draw(d, t.set, 1, Unzoomed(), ',', bounds);
    const std::vector<std::string> texts = d.canvas.Texts();
    // Side 1: x from 0.8 to 0.2, y from 0.2 to 0.6; side 2: y 0.6 to 0, z 0.2 to 0.6;
    // side 3: z 0.6 to 0, x 0.4 to 0.8.
    const std::vector<std::string> scale(texts.begin() + 2, texts.begin() + 8);
    EXPECT_EQ(scale, (std::vector<std::string>{"0,5", "0,4", "0,3", "0,4", "0,3", "0,6"}));
}

TEST(DrawIsolineSet, UnitCornersWithFourDivisions) {
    TestSet t;
    Drawn d;
    Draw(d, t.set, 4, Unzoomed());
    const std::vector<std::string> texts = d.canvas.Texts();
    const std::vector<std::string> side(texts.begin() + 2, texts.begin() + 10);
    // Outer then inner value at each tick from A to B.
    EXPECT_EQ(side,
              (std::vector<std::string>{"0,8", "0,2", "0,6", "0,4", "0,4", "0,6", "0,2", "0,8"}));
}

TEST(DrawIsolineSet, AxisGeometryOnAHorizontalSide) {
    TestSet t;
    t.set.Vertices[0] = {100, 100, 0};
    t.set.Vertices[1] = {300, 100, 0};
    t.set.Vertices[2] = {200, 300, 0};
    t.set.LevelCount = 0;
    AppearanceSettings s = Unzoomed();
    s.CBGrid = false;
    Drawn d;
    Draw(d, t.set, 1, s);
    // Offset 200 * 1.4 / 20 = 14 outward (up), half tick 200 * 1.3 / 80 = 3.25.
    EXPECT_EQ(Args(d.canvas, "MoveTo", 0), (std::vector<int>{100, 86}));
    EXPECT_EQ(Args(d.canvas, "LineTo", 0), (std::vector<int>{300, 86}));
    EXPECT_EQ(Args(d.canvas, "Ellipse", 0), (std::vector<int>{98, 84, 102, 88}));
    EXPECT_EQ(Args(d.canvas, "Ellipse", 1), (std::vector<int>{298, 84, 302, 88}));
    EXPECT_EQ(Args(d.canvas, "MoveTo", 1), (std::vector<int>{200, 83}));
    EXPECT_EQ(Args(d.canvas, "LineTo", 1), (std::vector<int>{200, 89}));
    EXPECT_EQ(d.canvas.Named("MoveTo").at(1).penWidth, 1);
    EXPECT_EQ(d.canvas.Named("LineTo").at(0).penWidth, 2);
    // "0,5" in the 24 px test font is 36 x 24: u right of and above T1, v left of and below T2.
    const auto texts = d.canvas.Named("TextOut");
    EXPECT_EQ(texts.at(0).args, (std::vector<int>{200, 59}));
    EXPECT_EQ(texts.at(1).args, (std::vector<int>{164, 89}));
}

TEST(DrawIsolineSet, VertexNamesAroundTheCorners) {
    TestSet t;
    t.set.LevelCount = 0;
    AppearanceSettings s = Unzoomed();
    s.LabelA = "Вода";
    Drawn d;
    Draw(d, t.set, 0, s);
    const auto texts = d.canvas.Named("TextOut");
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].args, (std::vector<int>{376, 0}));  // 4 chars: 48 wide, 24 high, gap 20
    EXPECT_EQ(texts[1].args, (std::vector<int>{766, 644}));
    EXPECT_EQ(texts[2].args, (std::vector<int>{22, 644}));
    EXPECT_EQ(texts[0].brush, s.BackBox);
    EXPECT_EQ(texts[0].font.pixelHeight, s.PointsFont.pixelHeight);
}

TEST(DrawIsolineSet, ZoomScalesAboutThePictureCentre) {
    TestSet t;
    Drawn d;
    Draw(d, t.set, 0, AppearanceSettings::Defaults(NumberText(',')));
    // (400, 44) at z = 0.95 in 800 x 740 goes to (400, 60.3).
    EXPECT_EQ(Args(d.canvas, "Polygon").at(0), 400);
    EXPECT_EQ(Args(d.canvas, "Polygon").at(1), 60);
}

TEST(DrawIsolineSet, PointsPlacedWhereTheSetIsDrawn) {
    TestSet t;
    const PicturePoint vertex{t.set.Vertices[0].X, t.set.Vertices[0].Y};
    for (const char* zoom : {"0,95", "0,5", "1,3"}) {
        SCOPED_TRACE(zoom);
        AppearanceSettings s = AppearanceSettings::Defaults(NumberText(','));
        s.EGlobalZoom = zoom;
        Drawn d;
        Draw(d, t.set, 0, s);
        const std::vector<PicturePoint> placed =
            PlaceOnPicture(std::span(&vertex, 1), 800, 740, s, NumberText(','));
        ASSERT_EQ(placed.size(), 1u);
        EXPECT_EQ(std::nearbyint(placed[0].X), Args(d.canvas, "Polygon").at(0));
        EXPECT_EQ(std::nearbyint(placed[0].Y), Args(d.canvas, "Polygon").at(1));
    }
    AppearanceSettings bad = AppearanceSettings::Defaults(NumberText(','));
    bad.EGlobalZoom = "0.95";
    EXPECT_TRUE(PlaceOnPicture(std::span(&vertex, 1), 800, 740, bad, NumberText(',')).empty());
}

TEST(DrawIsolineSet, CoordinatesRoundHalfToEven) {
    TestSet t;
    t.points[3] = {2.5f, 3.5f, 0};
    t.labels[1].Flags = kNoLabel;
    Drawn d;
    Draw(d, t.set, 0, Unzoomed());
    EXPECT_EQ(Args(d.canvas, "MoveTo", 1), (std::vector<int>{2, 4}));
}

TEST(DrawIsolineSet, ZeroLengthSidesSkipTheirAxes) {
    struct Case {
        const char* zoom;
        bool coincide;
        std::size_t ellipses;
    };
    for (const Case& c : {Case{"1", true, 4}, Case{"0", false, 0}}) {
        SCOPED_TRACE(c.zoom);
        TestSet t;
        if (c.coincide) {
            t.set.Vertices[1] = t.set.Vertices[0];
        }
        AppearanceSettings s = Unzoomed();
        s.EGlobalZoom = c.zoom;
        Drawn d;
        Draw(d, t.set, 4, s);
        EXPECT_TRUE(d.result);
        EXPECT_EQ(d.canvas.Named("Ellipse").size(), c.ellipses);
        const std::vector<std::string> texts = d.canvas.Texts();
        EXPECT_EQ(std::vector<std::string>(texts.end() - 3, texts.end()),
                  (std::vector<std::string>{"A", "B", "C"}));
    }
}

TEST(DrawIsolineSet, LevelTextsInEitherLocale) {
    struct Case {
        char separator;
        const char* format;
        std::vector<std::string> labels;
    };
    const Case cases[] = {
        {',', "%2.3g", {"0,125", "2,5"}},
        {'.', "%2.3g", {"0.125", "2.5"}},
        {',', "%5.2f", {" 0,12", " 2,50"}},  // 0.125 is exact: half to even
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        TestSet t;
        AppearanceSettings s = Unzoomed(c.separator);
        s.STicksForm = c.format;
        s.CBAxes = false;
        Drawn d;
        Draw(d, t.set, 0, s, c.separator);
        EXPECT_EQ(d.canvas.Texts(), c.labels);
    }
}

TEST(DrawIsolineSet, GeometryTextsInTheWrongFormShowTheMessage) {
    struct Case {
        char separator;
        std::string AppearanceSettings::*field;
        const char* text;
    };
    const Case cases[] = {
        {',', &AppearanceSettings::EGlobalZoom, "0.95"},
        {',', &AppearanceSettings::Eaoscale, "1.4"},
        {',', &AppearanceSettings::ELabelOffset, "двадцать"},
        {',', &AppearanceSettings::Etickslen, ""},
        {'.', &AppearanceSettings::EGlobalZoom, "0,95"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TestSet t;
        AppearanceSettings s = AppearanceSettings::Defaults(NumberText(c.separator));
        s.*c.field = c.text;
        Drawn d;
        Draw(d, t.set, 4, s, c.separator);
        EXPECT_FALSE(d.result);
        EXPECT_TRUE(d.canvas.ops().empty());
        ASSERT_EQ(d.sink.messages.size(), 1u);
        EXPECT_EQ(d.sink.messages[0].title, "Точка, точка, запятая");
        EXPECT_EQ(d.sink.messages[0].text,
                  "Проверьте содержимое полей \"Тонкая настройка\" диалога \"Формат\".");
        EXPECT_EQ(d.sink.messages[0].buttons, MessageButtons::OkCancel);
    }
}

TEST(DrawIsolineSet, BadLevelTextStopsWithAnErrorKeepingTheDrawing) {
    TestSet t;
    t.SetLabel(1, 500, 400, "2,5x");
    Drawn d;
    try {
        Draw(d, t.set, 1, Unzoomed());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("2,5x"), std::string::npos);
    }
    EXPECT_EQ(d.canvas.Named("Polygon").size(), 1u);
    EXPECT_EQ(d.canvas.Texts(), (std::vector<std::string>{"0,125"}));
}

TEST(DrawIsolineSet, LabelCellTakesTheBrushLeftByEarlierSteps) {
    struct Case {
        const char* name;
        bool bound, fill, fillBackground;
        Rgb cell;
    };
    // Fill is green, background blue, the canvas starts with a red brush.
    const Case cases[] = {
        {"triangle filled", true, true, true, kGreen},
        {"background only", false, true, true, kBlue},
        {"outline only", true, false, true, kBlue},
        {"nothing filled", true, false, false, kRed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestSet t;
        AppearanceSettings s = Unzoomed();
        s.CBBound = c.bound;
        s.CBFill = c.fill;
        s.CBFillB = c.fillBackground;
        s.FillBox = kGreen;
        s.BackBox = kBlue;
        s.LineBox = kRed;
        s.SELineW = 3;
        Drawn d;
        d.canvas.SetBrushColor(kRed);
        Draw(d, t.set, 0, s);
        const RecordedOp box = d.canvas.Named("Rectangle").at(0);
        EXPECT_EQ(box.pen, kWhite);
        EXPECT_EQ(box.brush, kWhite);
        EXPECT_EQ(box.penWidth, 3);
        const RecordedOp text = d.canvas.Named("TextOut").at(0);
        EXPECT_EQ(text.brush, c.cell);
        EXPECT_EQ(text.pen, kRed);
        EXPECT_EQ(text.font.pixelHeight, s.TicsFont.pixelHeight);
    }
}

TEST(DrawIsolineSet, FormatTextsThatAreNotOneConversionStayHarmless) {
    for (const char* format : {"%s", "%d", "%n", "%5", "abc", "%f %f", "%999999f", "%.999999f", "%",
                               "%%", "%*f", "%1$f"}) {
        SCOPED_TRACE(format);
        TestSet t;
        AppearanceSettings s = Unzoomed();
        s.STicksForm = format;
        s.SLabForm = format;
        Drawn d;
        Draw(d, t.set, 2, s);
        EXPECT_EQ(d.canvas.Texts().size(), 2u + 12u + 3u);
        for (const std::string& text : d.canvas.Texts()) {
            EXPECT_LE(text.size(), 400u);
        }
    }
}

TEST(DrawIsolineSet, NoLevelsStillDrawsTheFrame) {
    TestSet t;
    t.set.Levels = nullptr;
    Drawn d;
    Draw(d, t.set, 1, Unzoomed());
    EXPECT_EQ(d.canvas.Named("Rectangle").size(), 0u);
    EXPECT_EQ(d.canvas.Named("Polygon").size(), 1u);
    EXPECT_EQ(d.canvas.Texts().size(), 6u + 3u);
}

}  // namespace
}  // namespace isotri
