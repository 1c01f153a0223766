// Console output of the companion library: texts are joined into lines and each whole line goes
// to every registered callback, synchronously, inside the write call.
//
// Line rules:
// - "\r", "\n" and "\r\n" end a line; the callbacks receive the line without its ending. A "\n"
//   right after a "\r" that ended the previous piece belongs to that ending (no empty line).
// - Text after the last line end of a piece waits for the next pieces, whoever writes them.
// - A con_lputs piece above the upper level is dropped whole, its line ends included: it neither
//   adds to nor ends the line that is waiting.
// - An empty line ("\r" alone with nothing waiting) reaches the callbacks as an empty text.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "companion/zorb_lib.h"

namespace {

constexpr std::int32_t kDefaultUpperLevel = 48;

struct ConsoleState {
    std::vector<TConCallback> callbacks;
    std::int32_t upperLevel = kDefaultUpperLevel;
    std::string pending;
    bool lastEndedWithCr = false;
};

ConsoleState& State() {
    static ConsoleState state;
    return state;
}

void Deliver(const std::string& line) {
    // A callback may register, unregister or write: walk a copy of the list.
    const std::vector<TConCallback> callbacks = State().callbacks;
    for (TConCallback callback : callbacks) {
        callback(line.c_str());
    }
}

void Write(std::string_view text) {
    ConsoleState& state = State();
    std::size_t start = 0;
    if (state.lastEndedWithCr && !text.empty() && text.front() == '\n') {
        start = 1;
    }
    if (!text.empty()) {
        state.lastEndedWithCr = false;
    }
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            state.pending.append(text.substr(start));
            return;
        }
        state.pending.append(text.substr(start, end - start));
        std::size_t next = end + 1;
        if (text[end] == '\r') {
            if (next < text.size() && text[next] == '\n') {
                ++next;
            } else if (next == text.size()) {
                state.lastEndedWithCr = true;
            }
        }
        // Taken out before delivery so that a callback that writes starts a fresh line.
        std::string line;
        line.swap(state.pending);
        Deliver(line);
        start = next;
    }
}

}  // namespace

void conAddCallback(TConCallback callback) {
    if (callback == nullptr) {
        return;
    }
    auto& callbacks = State().callbacks;
    if (std::find(callbacks.begin(), callbacks.end(), callback) == callbacks.end()) {
        callbacks.push_back(callback);
    }
}

void conRemoveCallback(TConCallback callback) {
    auto& callbacks = State().callbacks;
    callbacks.erase(std::remove(callbacks.begin(), callbacks.end(), callback), callbacks.end());
}

void conUpperLevel(std::int32_t level) {
    State().upperLevel = level;
}

void con_lputs(std::int32_t level, const char* text) {
    if (level > State().upperLevel || text == nullptr) {
        return;
    }
    Write(text);
}

void con_puts(const char* text) {
    if (text == nullptr) {
        return;
    }
    Write(text);
}
