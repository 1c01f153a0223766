// A message sink that keeps every message with its title and buttons.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/MessageSink.h"

namespace isotri::testing {

struct RecordedMessage {
    std::string text;
    std::string title;
    MessageButtons buttons;
};

class RecordingMessageSink final : public isotri::MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view title,
                     MessageButtons buttons) override {
        messages.push_back({std::string(text), std::string(title), buttons});
    }
    std::vector<RecordedMessage> messages;
};

}  // namespace isotri::testing
