// A small filled rectangle whose fill colour is a setting; any mouse button presses it.
#pragma once

#include <QColor>
#include <QFrame>

class TColorSwatch : public QFrame {
    Q_OBJECT

  public:
    explicit TColorSwatch(const QColor& color, QWidget* parent = nullptr);

    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    QSize sizeHint() const override { return {40, 20}; }

  signals:
    void MouseDown(QObject* sender);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QColor color_;
};
