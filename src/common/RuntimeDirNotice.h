// Outside a desktop session Qt warns "QStandardPaths: XDG_RUNTIME_DIR not set, defaulting to
// ..." while a GUI application object starts: its check for a Flatpak sandbox looks for a file
// in the runtime folder. A headless program never uses that folder, so the warning tells its
// user nothing.
#pragma once

#include <QString>
#include <QtGlobal>

namespace isotri {

// Exactly Qt's warning that XDG_RUNTIME_DIR is not set; not its other runtime-folder messages
// (wrong owner or permissions), which point at a real fault.
bool IsRuntimeDirNotice(QtMsgType type, const QString& message);

// While it lives, messages for which IsRuntimeDirNotice holds are dropped and every other
// message goes to the handler that was installed before.
class RuntimeDirNoticeFilter {
  public:
    RuntimeDirNoticeFilter();
    ~RuntimeDirNoticeFilter();
    RuntimeDirNoticeFilter(const RuntimeDirNoticeFilter&) = delete;
    RuntimeDirNoticeFilter& operator=(const RuntimeDirNoticeFilter&) = delete;
};

}  // namespace isotri
