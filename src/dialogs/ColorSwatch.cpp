#include "dialogs/ColorSwatch.h"

#include <QMouseEvent>
#include <QPainter>

TColorSwatch::TColorSwatch(const QColor& color, QWidget* parent) : QFrame(parent), color_(color) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setMinimumSize(24, 16);
}

void TColorSwatch::SetColor(const QColor& color) {
    color_ = color;
    update();
}

void TColorSwatch::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(contentsRect(), color_);
}

void TColorSwatch::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit MouseDown(this);
}
