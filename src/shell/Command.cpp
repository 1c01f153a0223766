#include "shell/Command.h"

#include <QProcess>
#include <QStringList>
#include <array>
#include <utility>

namespace isotri {

namespace {

// The rest of the line from its first character above the blank, trailing blanks included.
Command NameAfter(const QString& line, qsizetype start, CommandKind named, CommandKind unnamed) {
    while (start < line.size() && line[start].unicode() <= u' ') {
        ++start;
    }
    if (start == line.size()) {
        return {unnamed, {}};
    }
    return {named, line.mid(start)};
}

}  // namespace

Command ParseCommand(const QString& line) {
    if (line.startsWith(u'!')) {
        return {CommandKind::Shell, line.mid(1)};
    }
    static const std::array<std::pair<QString, CommandKind>, 9> kWords{{
        {QStringLiteral("quit"), CommandKind::Quit},
        {QStringLiteral("exit"), CommandKind::Exit},
        {QStringLiteral("clear"), CommandKind::Clear},
        {QStringLiteral("helpabout"), CommandKind::HelpAbout},
        {QStringLiteral("append"), CommandKind::Append},
        {QStringLiteral("plot"), CommandKind::Plot},
        {QStringLiteral("format"), CommandKind::Format},
        {QStringLiteral("export"), CommandKind::Export},
        {QStringLiteral("batch"), CommandKind::BatchAsk},
    }};
    for (const auto& [word, kind] : kWords) {
        if (line == word) {
            return {kind, {}};
        }
    }
    static const QString kFit = QStringLiteral("fit");
    if (line == kFit) {
        return {CommandKind::FitAsk, {}};
    }
    // Unlike "batch", "fit" needs a blank after it, so that longer words stay unknown.
    if (line.startsWith(kFit) && line[kFit.size()].unicode() <= u' ') {
        return NameAfter(line, kFit.size(), CommandKind::FitFile, CommandKind::FitNoName);
    }
    static const QString kAt = QStringLiteral("at");
    if (line == kAt || (line.startsWith(kAt) && line[kAt.size()].unicode() <= u' ')) {
        return {CommandKind::At, line.mid(kAt.size())};
    }
    static const QString kBatch = QStringLiteral("batch");
    if (!line.startsWith(kBatch)) {
        return {};
    }
    return NameAfter(line, kBatch.size(), CommandKind::BatchFile, CommandKind::BatchNoName);
}

bool StartShellCommand(const QString& commandLine) {
    return QProcess::startDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), commandLine});
}

}  // namespace isotri
