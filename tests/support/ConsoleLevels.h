// Console lines written by an action, each with the level it was written at. The action runs
// three times, at the upper levels 16, 32 and 48; a line's level is the lowest upper level that
// let it through. Lines without a level (con_puts) count as level 16.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace isotri::test {

struct ConLine {
    std::int32_t level;
    std::string text;  // without its line end
    friend bool operator==(const ConLine&, const ConLine&) = default;
};

std::vector<ConLine> RecordConsole(const std::function<void()>& action);

// Lines written by one run of the action at upper level 48, without levels.
std::vector<std::string> RecordConsoleText(const std::function<void()>& action);

}  // namespace isotri::test
