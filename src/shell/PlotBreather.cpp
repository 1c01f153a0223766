#include "shell/PlotBreather.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

isotri::ProgressAnswer TPlotBreather::Breathe() {
    qApp->installEventFilter(this);
    QCoreApplication::processEvents();
    qApp->removeEventFilter(this);
    if (!stop_) {
        return isotri::ProgressAnswer::Go;
    }
    stop_ = false;
    if (closing_) {
        closing_ = false;
        // Queued: the close comes once the plot has unwound and the set is safe.
        QMetaObject::invokeMethod(&window_, &QWidget::close, Qt::QueuedConnection);
    }
    return isotri::ProgressAnswer::Stop;
}

bool TPlotBreather::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                stop_ = true;
            }
            return true;
        case QEvent::Close:
            if (watched == &window_) {
                stop_ = true;
                closing_ = true;
                event->ignore();
                return true;
            }
            return false;
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::Drop:
            return true;
        default:
            return event->isInputEvent();
    }
}
