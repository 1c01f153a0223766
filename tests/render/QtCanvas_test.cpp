#include "render/QtCanvas.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace isotri {
namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

// A white 100 x 100 picture with a canvas on it; the painter ends before pixels are read.
class Picture {
  public:
    Picture() : image_(100, 100, QImage::Format_RGB32) {
        image_.fill(Qt::white);
        painter_.begin(&image_);
        canvas_.emplace(painter_);
    }
    QtCanvas& canvas() { return *canvas_; }
    QRgb At(int x, int y) {
        if (painter_.isActive()) {
            canvas_.reset();
            painter_.end();
        }
        return image_.pixel(x, y) & 0xFFFFFF;
    }

  private:
    QImage image_;
    QPainter painter_;
    std::optional<QtCanvas> canvas_;
};

constexpr QRgb kWhitePixel = 0xFFFFFF;
constexpr QRgb kRedPixel = 0xFF0000;
constexpr QRgb kBluePixel = 0x0000FF;
constexpr QRgb kBlackPixel = 0x000000;

int Distance(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

// Antialiased edges may blend a little.
bool Near(QRgb a, QRgb b) {
    return Distance(a, b) < 60;
}

TEST(QtCanvas, FillRectCoversItsBoxOnly) {
    Picture p;
    p.canvas().SetBrushColor(kRed);
    p.canvas().FillRect(10, 20, 30, 40);
    EXPECT_EQ(p.At(10, 20), kRedPixel);
    EXPECT_EQ(p.At(29, 39), kRedPixel);
    EXPECT_EQ(p.At(30, 39), kWhitePixel);
    EXPECT_EQ(p.At(29, 40), kWhitePixel);
    EXPECT_EQ(p.At(9, 20), kWhitePixel);
}

TEST(QtCanvas, ThinLineCoversOneRowOfPixels) {
    Picture p;
    p.canvas().MoveTo(10, 50);
    p.canvas().LineTo(90, 50);
    EXPECT_EQ(p.At(50, 50), kBlackPixel);
    EXPECT_EQ(p.At(50, 49), kWhitePixel);
    EXPECT_EQ(p.At(50, 51), kWhitePixel);
}

TEST(QtCanvas, WidePensHaveRoundCaps) {
    Picture p;
    p.canvas().SetPenWidth(10);
    p.canvas().SetPenColor(kBlue);
    p.canvas().MoveTo(30, 50);
    p.canvas().LineTo(70, 50);
    EXPECT_EQ(p.At(50, 54), kBluePixel);
    EXPECT_EQ(p.At(27, 50), kBluePixel);           // within the cap's radius before the start
    EXPECT_TRUE(Near(p.At(26, 46), kWhitePixel));  // the corner a square cap would cover
}

TEST(QtCanvas, ShapesAreFilledWithTheBrushAndOutlinedWithThePen) {
    Picture p;
    p.canvas().SetBrushColor(kRed);
    p.canvas().SetPenColor(kBlue);
    p.canvas().Ellipse(10, 10, 50, 50);
    p.canvas().Rectangle(60, 60, 90, 90);
    const IntPoint triangle[3] = {{60, 10}, {90, 10}, {75, 40}};
    p.canvas().Polygon(triangle);
    EXPECT_EQ(p.At(30, 30), kRedPixel);
    EXPECT_TRUE(Near(p.At(10, 30), kBluePixel));
    EXPECT_EQ(p.At(75, 75), kRedPixel);
    EXPECT_EQ(p.At(60, 75), kBluePixel);
    EXPECT_EQ(p.At(89, 75), kBluePixel);
    EXPECT_EQ(p.At(90, 75), kWhitePixel);
    EXPECT_EQ(p.At(75, 20), kRedPixel);
    EXPECT_EQ(p.At(11, 11), kWhitePixel);
}

TEST(QtCanvas, TextIsOpaqueInTheFontColour) {
    Picture p;
    FontSpec font;
    font.pixelHeight = 30;
    font.color = kBlue;
    p.canvas().SetFont(font);
    p.canvas().SetBrushColor(kRed);
    const int w = p.canvas().TextWidth("HH");
    const int h = p.canvas().TextHeight("HH");
    EXPECT_GT(w, 20);
    EXPECT_LT(w, 60);
    EXPECT_GE(h, 30);
    EXPECT_LT(h, 40);
    p.canvas().TextOut(10, 10, "HH");
    int red = 0;
    int blue = 0;
    for (int y = 10; y < 10 + h; ++y) {
        for (int x = 10; x < 10 + w; ++x) {
            red += p.At(x, y) == kRedPixel;
            blue += p.At(x, y) == kBluePixel;
        }
    }
    EXPECT_GT(red, w * h / 3);
    EXPECT_GT(blue, 20);
    EXPECT_EQ(p.At(10 + w, 10), kWhitePixel);
    EXPECT_EQ(p.At(10, 10 + h), kWhitePixel);
}

TEST(QtCanvas, FontsArePixelSizedAndArialResolves) {
    FontSpec spec;
    spec.pixelHeight = 21;
    spec.bold = true;
    const QFont font = QtCanvas::ToQFont(spec);
    EXPECT_EQ(font.pixelSize(), 21);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(QFontInfo(font).family().contains("Liberation Sans") ||
                QFontInfo(font).family().contains("Arial"))
        << QFontInfo(font).family().toStdString();
}

// Wide pens on an image go through the canvas's own stroking; Qt's stroker with round caps and
// joins is the reference. Antialiased edges may differ a little where pieces overlap.
TEST(QtCanvas, WideStrokesMatchRoundCapsAndJoins) {
    struct Case {
        const char* name;
        int width;
        std::function<void(QtCanvas&)> draw;
        std::function<void(QPainter&)> reference;
    };
    const IntPoint zigzag[] = {{10, 80}, {30, 20}, {45, 70}, {60, 25}, {62, 26}, {90, 60}};
    QPolygonF centred;
    for (const IntPoint& p : zigzag) {
        centred << QPointF(p.x + 0.5, p.y + 0.5);
    }
    const auto runOfLines = [&](QtCanvas& c) {
        c.MoveTo(zigzag[0].x, zigzag[0].y);
        for (const IntPoint& p : std::span(zigzag).subspan(1)) {
            c.LineTo(p.x, p.y);
        }
    };
    const std::vector<Case> cases = {
        {"run of LineTo, width 2", 2, runOfLines, [&](QPainter& p) { p.drawPolyline(centred); }},
        {"run of LineTo, width 7", 7, runOfLines, [&](QPainter& p) { p.drawPolyline(centred); }},
        {"Polyline, width 3", 3, [&](QtCanvas& c) { c.Polyline(zigzag); },
         [&](QPainter& p) { p.drawPolyline(centred); }},
        {"Polygon, width 10", 10, [&](QtCanvas& c) { c.Polygon(std::span(zigzag, 3)); },
         [&](QPainter& p) { p.drawPolygon(centred.data(), 3); }},
        {"one segment, width 4", 4,
         [](QtCanvas& c) {
             c.MoveTo(20, 50);
             c.LineTo(80, 50);
         },
         [](QPainter& p) { p.drawLine(QPointF(20.5, 50.5), QPointF(80.5, 50.5)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Picture mine;
        mine.canvas().SetPenWidth(c.width);
        mine.canvas().SetPenColor(kBlue);
        mine.canvas().SetBrushColor(kRed);
        c.draw(mine.canvas());

        QImage expected(100, 100, QImage::Format_RGB32);
        expected.fill(Qt::white);
        {
            QPainter painter(&expected);
            painter.setRenderHint(QPainter::Antialiasing, true);
            QPen pen(Qt::blue, c.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            painter.setPen(pen);
            painter.setBrush(Qt::red);
            c.reference(painter);
        }
        int worst = 0;
        int differing = 0;
        int inked = 0;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) {
                const QRgb a = mine.At(x, y);
                const QRgb b = expected.pixel(x, y) & 0xFFFFFF;
                const int d = Distance(a, b);
                worst = std::max(worst, d);
                differing += d > 24;
                inked += b != kWhitePixel;
            }
        }
        EXPECT_GT(inked, 50);
        // A misplaced dot or a missing join would leave whole pixels wrong.
        EXPECT_LT(worst, 200);
        EXPECT_LT(differing, inked / 20 + 2) << "of " << inked << " inked pixels";
    }
}

TEST(QtCanvas, KeepsItsColoursForTheRenderer) {
    Picture p;
    EXPECT_EQ(p.canvas().BrushColor(), (Rgb{255, 255, 255}));
    p.canvas().SetPenColor(kRed);
    p.canvas().SetBrushColor(kBlue);
    EXPECT_EQ(p.canvas().PenColor(), kRed);
    EXPECT_EQ(p.canvas().BrushColor(), kBlue);
}

}  // namespace
}  // namespace isotri
