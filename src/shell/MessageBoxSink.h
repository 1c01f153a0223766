// Modal messages of the core and the dialogs, shown as message boxes over the active window.
#pragma once

#include "common/MessageSink.h"

class QWidget;

class TMessageBoxSink final : public isotri::MessageSink {
  public:
    // Boxes belong to `owner` when no other window of the program is active.
    explicit TMessageBoxSink(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }

    void ShowMessage(std::string_view text, std::string_view title,
                     isotri::MessageButtons buttons) override;

  private:
    QWidget* owner_;
};
