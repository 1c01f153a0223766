// Helpers of the widget tests: a message sink that records, and answering modal dialogs.
#pragma once

#include <QApplication>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "common/MessageSink.h"
#include "shell/Application.h"

// The tests see the standard dialogs as the program shows them.
inline void InstallQtTranslationsForTests() {
    InstallQtTranslations();
}
Q_COREAPP_STARTUP_FUNCTION(InstallQtTranslationsForTests)

class RecordingSink final : public isotri::MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view title,
                     isotri::MessageButtons /*buttons*/) override {
        messages.emplace_back(text);
        titles.emplace_back(title);
        if (onMessage) {
            onMessage();
        }
    }
    std::vector<std::string> messages;
    std::vector<std::string> titles;
    std::function<void()> onMessage;  // runs while the "box" is up
};

inline int& ModalGeneration() {
    static int generation = 0;
    return generation;
}

// Stops every WhenModal still waiting, so that none acts on a later test's dialog.
inline void CancelPendingModals() {
    ++ModalGeneration();
}

// Runs `act` on the next modal widget once it is shown (polls, since exec() blocks the caller).
inline void WhenModal(std::function<void(QWidget*)> act, int triesLeft = 200) {
    const int generation = ModalGeneration();
    QTimer::singleShot(10, [act = std::move(act), triesLeft, generation]() mutable {
        if (generation != ModalGeneration()) {
            return;
        }
        if (QWidget* modal = QApplication::activeModalWidget()) {
            act(modal);
        } else if (triesLeft > 0) {
            WhenModal(std::move(act), triesLeft - 1);
        }
    });
}

inline bool AllWhite(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                return false;
            }
        }
    }
    return true;
}

inline std::string ModulePath(const char* dir) {
    return std::string(ISOTRI_TEST_MODULE_DIR) + "/" + dir + "/gui_models" + ISOTRI_MODULE_SUFFIX;
}
