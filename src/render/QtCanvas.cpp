#include "render/QtCanvas.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QList>
#include <QPaintEngine>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <cmath>

#include "render/FontPreload.h"

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

QtCanvas::QtCanvas(QPainter& painter)
    : painter_(painter), qfont_(ToQFont(font_)), metrics_(qfont_, painter_.device()) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    ApplyFont();
    ApplyPen();
    ApplyBrush();
}

QtCanvas::~QtCanvas() {
    Flush();
}

void QtCanvas::Flush() {
    if (painter_.isActive() && run_.size() > 1) {
        if (DotsJoinLines()) {
            StrokeWithDots(run_.constData(), run_.size(), false);
        } else if (run_.size() == 2) {
            painter_.drawLine(run_[0], run_[1]);
        } else {
            painter_.drawPolyline(run_);
        }
    }
    run_.clear();
}

// Every point handed to the painter is a pixel centre, so one pre-drawn dot fits every vertex.
// Vector devices keep real polylines.
bool QtCanvas::DotsJoinLines() const {
    return penWidth_ > 1 && painter_.paintEngine() != nullptr &&
           painter_.paintEngine()->type() == QPaintEngine::Raster &&
           painter_.transform().isIdentity() && painter_.testRenderHint(QPainter::Antialiasing);
}

void QtCanvas::MakeDot() {
    flatPen_ = pen_;
    flatPen_.setCapStyle(Qt::FlatCap);
    const qreal radius = penWidth_ / 2.0;
    dotReach_ = static_cast<int>(std::ceil(radius));
    const int side = 2 * dotReach_ + 1;
    dot_ = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
    dot_.fill(Qt::transparent);
    QPainter dot(&dot_);
    dot.setRenderHint(QPainter::Antialiasing, true);
    dot.setPen(Qt::NoPen);
    dot.setBrush(pen_.color());
    dot.drawEllipse(QPointF(dotReach_ + 0.5, dotReach_ + 0.5), radius, radius);
}

void QtCanvas::StrokeWithDots(const QPointF* points, qsizetype count, bool closed) {
    QList<QLineF> lines;
    lines.reserve(count);
    for (qsizetype k = 1; k < count; ++k) {
        lines.append(QLineF(points[k - 1], points[k]));
    }
    if (closed && count > 2) {
        lines.append(QLineF(points[count - 1], points[0]));
    }
    if (dot_.isNull()) {
        MakeDot();
    }
    painter_.setPen(flatPen_);
    painter_.drawLines(lines);
    painter_.setPen(pen_);
    for (qsizetype k = 0; k < count; ++k) {
        painter_.drawImage(QPoint(static_cast<int>(std::floor(points[k].x())) - dotReach_,
                                  static_cast<int>(std::floor(points[k].y())) - dotReach_),
                           dot_);
    }
}

QFont QtCanvas::ToQFont(const FontSpec& font) {
    AwaitFontPreload();
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
    pen_ = QPen(ToQColor(penColor_));
    pen_.setWidth(penWidth_ > 0 ? penWidth_ : 1);
    if (penWidth_ > 1) {
        pen_.setCapStyle(Qt::RoundCap);
        pen_.setJoinStyle(Qt::RoundJoin);
    } else {
        pen_.setCapStyle(Qt::SquareCap);
        pen_.setJoinStyle(Qt::MiterJoin);
    }
    painter_.setPen(pen_);

    dot_ = QImage();  // drawn again when a wide pen strokes next
}

void QtCanvas::ApplyBrush() {
    Flush();
    painter_.setBrush(QBrush(ToQColor(brushColor_), Qt::SolidPattern));
}

void QtCanvas::ApplyFont() {
    Flush();
    qfont_ = ToQFont(font_);
    painter_.setFont(qfont_);
    metrics_ = QFontMetricsF(qfont_, painter_.device());
    textHeight_ = static_cast<int>(std::ceil(metrics_.height()));
    textWidths_.clear();
}

// The renderer sets the same pen, brush and font again and again (every level label does);
// only a change reaches the painter.
void QtCanvas::SetPenWidth(int width) {
    if (width != penWidth_) {
        penWidth_ = width;
        ApplyPen();
    }
}

void QtCanvas::SetPenColor(Rgb color) {
    if (color != penColor_) {
        penColor_ = color;
        ApplyPen();
    }
}

void QtCanvas::SetBrushColor(Rgb color) {
    if (color != brushColor_) {
        brushColor_ = color;
        ApplyBrush();
    }
}

void QtCanvas::SetFont(const FontSpec& font) {
    if (!(font == font_)) {
        font_ = font;
        ApplyFont();
    }
}

void QtCanvas::MoveTo(int x, int y) {
    position_ = Centre(x, y);
}

void QtCanvas::LineTo(int x, int y) {
    if (run_.isEmpty() || run_.constLast() != position_) {
        Flush();
        run_.append(position_);
    }
    position_ = Centre(x, y);
    run_.append(position_);
}

void QtCanvas::Polyline(std::span<const IntPoint> points) {
    Flush();
    const QPolygonF polyline = CentredPolygon(points);
    if (DotsJoinLines()) {
        StrokeWithDots(polyline.constData(), polyline.size(), false);
    } else {
        painter_.drawPolyline(polyline);
    }
}

void QtCanvas::Polygon(std::span<const IntPoint> points) {
    Flush();
    const QPolygonF polygon = CentredPolygon(points);
    if (DotsJoinLines()) {
        painter_.setPen(Qt::NoPen);
        painter_.drawPolygon(polygon);
        painter_.setPen(pen_);
        StrokeWithDots(polygon.constData(), polygon.size(), true);
    } else {
        painter_.drawPolygon(polygon);
    }
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
    painter_.setPen(ToQColor(font_.color));
    painter_.drawText(QPointF(x, y + metrics_.ascent()), FromUtf8(text));
    painter_.setPen(pen_);
}

int QtCanvas::TextWidth(const std::string& text) {
    const auto [at, added] = textWidths_.try_emplace(text, 0);
    if (added) {
        at->second = static_cast<int>(std::ceil(metrics_.horizontalAdvance(FromUtf8(text))));
    }
    return at->second;
}

int QtCanvas::TextHeight(const std::string& /*text*/) {
    return textHeight_;
}

void QtCanvas::FillRect(int left, int top, int right, int bottom) {
    Flush();
    painter_.fillRect(QRectF(left, top, right - left, bottom - top), ToQColor(brushColor_));
}

}  // namespace isotri
