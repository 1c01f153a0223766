#include "support/ConsoleLevels.h"

#include "companion/zorb_lib.h"

namespace isotri::test {

namespace {

std::vector<std::string>* gLines = nullptr;

void Record(const char* text) {
    if (gLines != nullptr) {
        gLines->emplace_back(text);
    }
}

std::vector<std::string> Run(std::int32_t upperLevel, const std::function<void()>& action) {
    std::vector<std::string> lines;
    gLines = &lines;
    conAddCallback(Record);
    conUpperLevel(upperLevel);
    action();
    conUpperLevel(48);
    conRemoveCallback(Record);
    gLines = nullptr;
    return lines;
}

}  // namespace

std::vector<ConLine> RecordConsole(const std::function<void()>& action) {
    const std::vector<std::string> errors = Run(16, action);
    const std::vector<std::string> warnings = Run(32, action);
    const std::vector<std::string> all = Run(48, action);
    std::vector<ConLine> lines;
    std::size_t e = 0;
    std::size_t w = 0;
    for (const std::string& text : all) {
        if (e < errors.size() && errors[e] == text) {
            lines.push_back({16, text});
            ++e;
            ++w;
        } else if (w < warnings.size() && warnings[w] == text) {
            lines.push_back({32, text});
            ++w;
        } else {
            lines.push_back({48, text});
        }
    }
    return lines;
}

std::vector<std::string> RecordConsoleText(const std::function<void()>& action) {
    return Run(48, action);
}

}  // namespace isotri::test
