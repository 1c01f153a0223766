// The console on standard output, as the window's console shows it without the prompt.
#pragma once

namespace isotri::cli {

// While it lives, every console line (upper level 48) goes to standard output.
class ConsoleToStdout {
  public:
    ConsoleToStdout();
    ~ConsoleToStdout();
    ConsoleToStdout(const ConsoleToStdout&) = delete;
    ConsoleToStdout& operator=(const ConsoleToStdout&) = delete;
};

}  // namespace isotri::cli
