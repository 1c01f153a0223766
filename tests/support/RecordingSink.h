// A message sink that keeps the texts instead of showing them.
#pragma once

#include <string>
#include <vector>

#include "models/MessageSink.h"

namespace isotri::test {

class RecordingSink final : public MessageSink {
  public:
    void ShowMessage(std::string_view text, std::string_view, MessageButtons) override {
        messages.emplace_back(text);
    }
    std::vector<std::string> messages;
};

}  // namespace isotri::test
