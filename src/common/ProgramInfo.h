// The two requests that GNU tools answer before anything else, --help and --version, and the
// printing of their texts.
#pragma once

#include <string>

namespace isotri {

enum class InfoRequest { None, Help, Version };

// The first of "--help" and "--version" among the arguments after the program name; an
// argument that merely begins with them does not count.
InfoRequest FindInfoRequest(int argc, const char* const* argv);

// "PROGRAM (isotri) VERSION" and the Qt library in use, one per line.
std::string VersionText(const std::string& program);

// Writes `text` to standard output. Returns the exit status: 0, or 1 with a message on standard
// error when the text could not be written (a full disk, a closed pipe).
int PrintInfo(const std::string& program, const std::string& text);

}  // namespace isotri
