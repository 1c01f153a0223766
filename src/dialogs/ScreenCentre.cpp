#include "dialogs/ScreenCentre.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget& window) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    // A layout not yet activated would leave the size of the constructor's resize().
    if (QLayout* layout = window.layout()) {
        layout->activate();
    }
    // The frame is known once a window manager has decorated the window; before, it is the size.
    const QRect frame = window.frameGeometry();
    const QPoint centre = screen->availableGeometry().center();
    window.move(centre.x() - (frame.width() - 1) / 2, centre.y() - (frame.height() - 1) / 2);
}
