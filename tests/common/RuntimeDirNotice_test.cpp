#include "common/RuntimeDirNotice.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace isotri {
namespace {

const char* const kNotice = "QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to '/tmp/r'";

TEST(IsRuntimeDirNotice, OnlyTheUnsetWarning) {
    struct Case {
        QtMsgType type;
        const char* message;
        bool expected;
    };
    const Case cases[] = {
        {QtWarningMsg, kNotice, true},
        {QtCriticalMsg, kNotice, false},
        {QtWarningMsg, "QStandardPaths: wrong permissions on runtime directory /tmp/r", false},
        {QtWarningMsg, "QStandardPaths: runtime directory '/tmp/r' is not owned by UID 0", false},
        {QtWarningMsg, "Note: QStandardPaths: XDG_RUNTIME_DIR not set", false},
        {QtWarningMsg, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(IsRuntimeDirNotice(c.type, QString::fromUtf8(c.message)), c.expected);
    }
}

QStringList gSeen;

void Record(QtMsgType, const QMessageLogContext&, const QString& message) {
    gSeen << message;
}

TEST(RuntimeDirNoticeFilter, DropsTheNoticeForwardsTheRestAndRestores) {
    gSeen.clear();
    const QtMessageHandler before = qInstallMessageHandler(Record);
    {
        const RuntimeDirNoticeFilter filter;
        qWarning("%s", kNotice);
        qWarning("a real warning");
    }
    qWarning("%s", kNotice);
    qInstallMessageHandler(before);
    EXPECT_EQ(gSeen, QStringList({"a real warning", kNotice}));
}

}  // namespace
}  // namespace isotri
