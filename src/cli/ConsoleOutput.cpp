#include "cli/ConsoleOutput.h"

#include <cstdio>

#include "companion/zorb_lib.h"

namespace isotri::cli {

namespace {

void PrintConsoleLine(const char* text) {
    std::fputs(text, stdout);
    std::fputc('\n', stdout);
}

}  // namespace

ConsoleToStdout::ConsoleToStdout() {
    conAddCallback(PrintConsoleLine);
    conUpperLevel(48);
}

ConsoleToStdout::~ConsoleToStdout() {
    std::fflush(stdout);
    conRemoveCallback(PrintConsoleLine);
}

}  // namespace isotri::cli
