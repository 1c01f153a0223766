#include "common/MessageSink.h"

#include <cstdio>

namespace isotri {

void StderrMessageSink::ShowMessage(std::string_view text, std::string_view title,
                                    MessageButtons /*buttons*/) {
    if (!title.empty()) {
        std::fprintf(stderr, "%.*s: ", static_cast<int>(title.size()), title.data());
    }
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace isotri
