#include "common/RuntimeDirNotice.h"

namespace isotri {

namespace {

QtMessageHandler gPrevious = nullptr;

void Filter(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!IsRuntimeDirNotice(type, message)) {
        gPrevious(type, context, message);
    }
}

}  // namespace

bool IsRuntimeDirNotice(QtMsgType type, const QString& message) {
    return type == QtWarningMsg &&
           message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"));
}

// Qt hands back its default handler when none was installed, so gPrevious is never null.
RuntimeDirNoticeFilter::RuntimeDirNoticeFilter() {
    gPrevious = qInstallMessageHandler(Filter);
}

RuntimeDirNoticeFilter::~RuntimeDirNoticeFilter() {
    qInstallMessageHandler(gPrevious);
}

}  // namespace isotri
