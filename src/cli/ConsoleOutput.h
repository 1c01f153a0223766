// The console on standard output, as the window's console shows it without the prompt.
#pragma once

namespace isotri::cli {

// While it lives, every console line (upper level 48) goes to standard output, or to standard
// error when standard output carries the picture.
class ConsoleToStdout {
  public:
    explicit ConsoleToStdout(bool toStderr = false);
    ~ConsoleToStdout();
    ConsoleToStdout(const ConsoleToStdout&) = delete;
    ConsoleToStdout& operator=(const ConsoleToStdout&) = delete;

  private:
    void (*print_)(const char*);
};

}  // namespace isotri::cli
