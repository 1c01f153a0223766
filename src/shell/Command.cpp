#include "shell/Command.h"

#include <QProcess>
#include <QStringList>
#include <array>
#include <utility>

namespace isotri {

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
    static const QString kBatch = QStringLiteral("batch");
    if (!line.startsWith(kBatch)) {
        return {};
    }
    qsizetype start = kBatch.size();
    while (start < line.size() && line[start].unicode() <= u' ') {
        ++start;
    }
    if (start == line.size()) {
        return {CommandKind::BatchNoName, {}};
    }
    return {CommandKind::BatchFile, line.mid(start)};
}

bool StartShellCommand(const QString& commandLine) {
    return QProcess::startDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), commandLine});
}

}  // namespace isotri
