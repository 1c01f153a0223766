#include "cli/ConsoleOutput.h"

#include <cstdio>

#include "companion/zorb_lib.h"

namespace isotri::cli {

namespace {

void PrintConsoleLine(const char* text) {
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
}

void PrintConsoleLineToStderr(const char* text) {
    std::fputs(text, stderr);
    std::fputc('\n', stderr);
}

}  // namespace

ConsoleToStdout::ConsoleToStdout(bool toStderr)
    : print_(toStderr ? PrintConsoleLineToStderr : PrintConsoleLine) {
    conAddCallback(print_);
    conUpperLevel(48);
}

ConsoleToStdout::~ConsoleToStdout() {
    std::fflush(stdout);
    conRemoveCallback(print_);
}

}  // namespace isotri::cli
