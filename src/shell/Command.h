// The words of the console's command interpreter.
#pragma once

#include <QString>

namespace isotri {

enum class CommandKind {
    Unknown,
    Shell,  // argument: the shell command line
    Quit,
    Exit,
    Clear,
    HelpAbout,
    Append,
    Plot,
    Format,
    Export,
    BatchAsk,     // "batch" alone: the batch file is asked for
    BatchFile,    // argument: the batch file name
    BatchNoName,  // "batch" followed by blanks and control characters only
    FitAsk,       // "fit" alone: the table is asked for
    FitFile,      // argument: the table's name, then optionally the response column's
    FitNoName,    // "fit" followed by blanks and control characters only
    At,           // argument: what follows "at", the mixture to read the model at
};

struct Command {
    CommandKind kind = CommandKind::Unknown;
    QString argument;
};

// The line is compared unchanged: whole, case-sensitive, no trimming; the first rule that
// matches decides.
Command ParseCommand(const QString& line);

// Written at level 16 when "batch" is followed by nothing but blanks.
inline constexpr const char* kBatchNoNameError =
    "\"batch\" keyword must be followed by file name !\r";

// Written at level 16 when "fit" is followed by nothing but blanks.
inline constexpr const char* kFitNoNameError = "После \"fit\" нужно имя файла таблицы опытов.\r";

// Starts the command line through /bin/sh, detached; false when it could not be started.
bool StartShellCommand(const QString& commandLine);

}  // namespace isotri
