#include "shell/PictureReadout.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <cmath>

#include "render/PointMarks.h"

namespace isotri {

TGuideOverlay::TGuideOverlay(QWidget* panel) : QWidget(panel) {
    setObjectName(QStringLiteral("GuideOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(panel->rect());
}

void TGuideOverlay::SetLines(const std::array<GuideLine, 3>& lines) {
    lines_ = lines;
    shown_ = true;
    update();
}

void TGuideOverlay::ClearLines() {
    if (shown_) {
        shown_ = false;
        update();
    }
}

void TGuideOverlay::paintEvent(QPaintEvent* /*event*/) {
    if (!shown_) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Light enough to read the isolines through.
    painter.setPen(QPen(QColor(90, 110, 200, 150), 1, Qt::DashLine));
    for (const GuideLine& line : lines_) {
        const QPointF points[] = {
            {line.from.x, line.from.y}, {line.side.x, line.side.y}, {line.to.x, line.to.y}};
        painter.drawPolyline(points, 3);
    }
}

TPictureReadout::TPictureReadout(QWidget* panel, QStatusBar* bar, const NumberText& numbers,
                                 ViewSource view, QObject* parent)
    : QObject(parent),
      panel_(panel),
      bar_(bar),
      numbers_(numbers),
      view_(std::move(view)),
      overlay_(new TGuideOverlay(panel)) {
    panel_->setMouseTracking(true);
    panel_->installEventFilter(this);
}

std::optional<TPictureReadout::Reading> TPictureReadout::ReadAt(QPointF pixel) const {
    if (!value_) {
        return std::nullopt;
    }
    const ReadoutView view = view_();
    if (view.set == nullptr) {
        return std::nullopt;
    }
    const std::optional<double> zoom = DrawnZoom(view.settings, numbers_);
    if (!zoom) {
        return std::nullopt;
    }
    const std::optional<PictureMapping> mapping = PictureMapping::ForSet(
        *view.set, view.width, view.height, *zoom, view.bounds.data(), view.scalesOnly);
    if (!mapping) {
        return std::nullopt;
    }
    const std::optional<Weights> w = mapping->WeightsAt({pixel.x(), pixel.y()});
    if (!w) {
        return std::nullopt;
    }
    const PointValue value = value_(mapping->ModelMixture(*w));
    std::string text =
        ReadoutText(numbers_, CornerNamesOf(view.settings), mapping->ShownMixture(*w), value);
    // The nearest measured point whose circle the mouse is on.
    const ShownPoint* nearest = nullptr;
    double best = kPointRadius + 1;
    for (const ShownPoint& point : view.points) {
        if (const std::optional<Weights> at = mapping->WeightsOfModelMixture(point.mixture)) {
            const PictureXY p = mapping->PointAt(*at);
            const double distance = std::hypot(p.x - pixel.x(), p.y - pixel.y());
            if (distance <= best) {
                best = distance;
                nearest = &point;
            }
        }
    }
    if (nearest != nullptr) {
        text += MeasuredPointText(numbers_, nearest->line, nearest->value);
    }
    Reading reading;
    reading.text = QString::fromStdString(text);
    const PictureXY a = mapping->PointAt({1, 0, 0});
    const PictureXY b = mapping->PointAt({0, 1, 0});
    const double side = std::hypot(b.x - a.x, b.y - a.y);
    reading.guides = mapping->GuideLines(*w, ScaleReach(view.settings, numbers_, side));
    return reading;
}

QString TPictureReadout::TextAt(QPointF pixel) const {
    const std::optional<Reading> reading = ReadAt(pixel);
    return reading ? reading->text : QString();
}

void TPictureReadout::Follow(QPointF pixel) {
    if (paused_ > 0) {
        return;
    }
    const std::optional<Reading> reading = ReadAt(pixel);
    if (!reading) {
        Hide();
        return;
    }
    bar_->showMessage(reading->text);
    showing_ = true;
    overlay_->SetLines(reading->guides);
}

void TPictureReadout::Hide() {
    overlay_->ClearLines();
    if (showing_ && paused_ == 0) {
        bar_->clearMessage();
    }
    showing_ = false;
}

bool TPictureReadout::eventFilter(QObject* watched, QEvent* event) {
    if (watched != panel_) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::MouseMove:
            Follow(static_cast<QMouseEvent*>(event)->position());
            break;
        case QEvent::Leave:
            Hide();
            break;
        case QEvent::MouseButtonPress: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && paused_ == 0) {
                if (const std::optional<Reading> reading = ReadAt(mouse->position())) {
                    con_puts((reading->text.toStdString() + "\r").c_str());
                }
            }
            break;
        }
        case QEvent::Resize:
            overlay_->setGeometry(panel_->rect());
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

TPictureReadout::Pause::Pause(TPictureReadout& readout) : readout_(readout) {
    readout_.Hide();
    ++readout_.paused_;
}

TPictureReadout::Pause::~Pause() {
    --readout_.paused_;
}

}  // namespace isotri
