// Modal messages of the core reach the user through this sink: the window shows a message box,
// the headless tools print to standard error, tests record.
#pragma once

#include <string>
#include <string_view>

namespace isotri {

enum class MessageButtons { Ok, OkCancel };

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    // Blocks until the user has answered; the answer is not reported because no caller uses it.
    virtual void ShowMessage(std::string_view text, std::string_view title = {},
                             MessageButtons buttons = MessageButtons::Ok) = 0;
};

// Writes each message as one line on standard error.
class StderrMessageSink final : public MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view title,
                     MessageButtons buttons) override;
};

}  // namespace isotri
