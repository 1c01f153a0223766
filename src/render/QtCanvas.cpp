#include "render/QtCanvas.h"

#include <QFontMetricsF>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <cmath>

namespace isotri {

namespace {

QColor ToQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

// Integer coordinates name pixels (top-left corner); strokes run through pixel centres so that
// a one-pixel line covers one row of pixels instead of two half-tinted ones.
QPointF Centre(int x, int y) {
    return QPointF(x + 0.5, y + 0.5);
}

QPolygonF CentredPolygon(std::span<const IntPoint> points) {
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const IntPoint& p : points) {
        polygon.append(Centre(p.x, p.y));
    }
    return polygon;
}

// The box from (left, top) to (right, bottom), right and bottom excluded, outline inside it.
QRectF OutlineBox(int left, int top, int right, int bottom) {
    return QRectF(Centre(left, top), Centre(right - 1, bottom - 1));
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QtCanvas::QtCanvas(QPainter& painter) : painter_(painter), qfont_(ToQFont(font_)) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setFont(qfont_);
    ApplyPen();
    ApplyBrush();
}

QtCanvas::~QtCanvas() {
    Flush();
}

void QtCanvas::Flush() {
    if (run_.size() > 1 && painter_.isActive()) {
        painter_.drawPolyline(run_);
    }
    run_.clear();
}

QFont QtCanvas::ToQFont(const FontSpec& font) {
    QFont q(QString::fromStdString(font.face));
    q.setPixelSize(font.pixelHeight > 0 ? font.pixelHeight : 1);
    q.setBold(font.bold);
    q.setItalic(font.italic);
    q.setUnderline(font.underline);
    q.setStrikeOut(font.strikeOut);
    return q;
}

void QtCanvas::ApplyPen() {
    Flush();
    QPen pen(ToQColor(penColor_));
    pen.setWidth(penWidth_ > 0 ? penWidth_ : 1);
    if (penWidth_ > 1) {
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    } else {
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
    }
    painter_.setPen(pen);
}

void QtCanvas::ApplyBrush() {
    Flush();
    painter_.setBrush(QBrush(ToQColor(brushColor_), Qt::SolidPattern));
}

void QtCanvas::SetPenWidth(int width) {
    penWidth_ = width;
    ApplyPen();
}

void QtCanvas::SetPenColor(Rgb color) {
    penColor_ = color;
    ApplyPen();
}

void QtCanvas::SetBrushColor(Rgb color) {
    brushColor_ = color;
    ApplyBrush();
}

void QtCanvas::SetFont(const FontSpec& font) {
    Flush();
    font_ = font;
    qfont_ = ToQFont(font);
    painter_.setFont(qfont_);
}

void QtCanvas::MoveTo(int x, int y) {
    position_ = Centre(x, y);
}

void QtCanvas::LineTo(int x, int y) {
    const QPointF to = Centre(x, y);
    painter_.drawLine(position_, to);
    position_ = to;
}

void QtCanvas::Polyline(std::span<const IntPoint> points) {
    Flush();
    painter_.drawPolyline(CentredPolygon(points));
}

void QtCanvas::Polygon(std::span<const IntPoint> points) {
    Flush();
    painter_.drawPolygon(CentredPolygon(points));
}

void QtCanvas::Rectangle(int left, int top, int right, int bottom) {
    Flush();
    painter_.drawRect(OutlineBox(left, top, right, bottom));
}

void QtCanvas::Ellipse(int left, int top, int right, int bottom) {
    Flush();
    painter_.drawEllipse(OutlineBox(left, top, right, bottom));
}

void QtCanvas::TextOut(int x, int y, const std::string& text) {
    Flush();
    const int w = TextWidth(text);
    const int h = TextHeight(text);
    painter_.fillRect(QRectF(x, y, w, h), ToQColor(brushColor_));
    const QFontMetricsF metrics(qfont_, painter_.device());
    painter_.save();
    painter_.setPen(ToQColor(font_.color));
    painter_.drawText(QPointF(x, y + metrics.ascent()), FromUtf8(text));
    painter_.restore();
}

int QtCanvas::TextWidth(const std::string& text) {
    const QFontMetricsF metrics(qfont_, painter_.device());
    return static_cast<int>(std::ceil(metrics.horizontalAdvance(FromUtf8(text))));
}

int QtCanvas::TextHeight(const std::string& /*text*/) {
    const QFontMetricsF metrics(qfont_, painter_.device());
    return static_cast<int>(std::ceil(metrics.height()));
}

void QtCanvas::FillRect(int left, int top, int right, int bottom) {
    Flush();
    painter_.fillRect(QRectF(left, top, right - left, bottom - top), ToQColor(brushColor_));
}

}  // namespace isotri
