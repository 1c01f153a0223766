// A Canvas on a QPainter: the off-screen picture (QImage), SVG and PDF files. The painter must be
// active on its device for the canvas's lifetime; the canvas does not own it. Runs of LineTo are
// stroked as one polyline (far cheaper than one stroke per segment, and the same shape with round
// joins); the run is drawn at the next other operation, by Flush or on destruction. Text widths
// are measured once per text and font while the canvas lives. On an image, wide pens are drawn as
// flat-ended lines with a round dot on every vertex: the same shape as round caps and joins, at a
// fraction of the cost of Qt's general stroker.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <string>
#include <unordered_map>

#include "render/Canvas.h"

namespace isotri {

class QtCanvas final : public Canvas {
  public:
    explicit QtCanvas(QPainter& painter);
    ~QtCanvas() override;
    QtCanvas(const QtCanvas&) = delete;
    QtCanvas& operator=(const QtCanvas&) = delete;

    // Draws the pending run of lines; call before ending the painter while the canvas lives.
    void Flush();

    void SetPenWidth(int width) override;
    void SetPenColor(Rgb color) override;
    Rgb PenColor() const override { return penColor_; }
    void SetBrushColor(Rgb color) override;
    Rgb BrushColor() const override { return brushColor_; }
    void SetFont(const FontSpec& font) override;

    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(std::span<const IntPoint> points) override;
    void Polygon(std::span<const IntPoint> points) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;
    void FillRect(int left, int top, int right, int bottom) override;

    // Every font the core makes comes from here, after any font preload has finished.
    static QFont ToQFont(const FontSpec& font);

  private:
    void ApplyPen();
    void ApplyBrush();
    void ApplyFont();
    bool DotsJoinLines() const;
    void MakeDot();
    void StrokeWithDots(const QPointF* points, qsizetype count, bool closed);

    QPainter& painter_;
    int penWidth_ = 1;
    Rgb penColor_{0, 0, 0};
    QPen pen_;
    QPen flatPen_;  // pen_ with flat ends, for StrokeWithDots
    QImage dot_;    // a disc of the pen's width in its colour, centred on a pixel; null until used
    int dotReach_ = 0;
    Rgb brushColor_{255, 255, 255};
    FontSpec font_{};
    QFont qfont_;
    QFontMetricsF metrics_;
    int textHeight_ = 0;
    std::unordered_map<std::string, int> textWidths_;  // in the current font
    QPointF position_{0.5, 0.5};
    QPolygonF run_;
};

}  // namespace isotri
