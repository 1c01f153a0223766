#include "render/FontPreload.h"

#include <fontconfig/fontconfig.h>

#include <atomic>
#include <mutex>
#include <system_error>

#include "common/OtherCore.h"

namespace isotri {

namespace {

// Process-wide, as the configuration it loads is; the thread is waited for at exit.
struct Preload {
    std::mutex mutex;
    OtherCoreThread thread;
    bool started = false;
    std::atomic<bool> pending{false};
};

Preload& TheFontPreload() {
    static Preload preload;
    return preload;
}

}  // namespace

void PreloadFonts() {
    Preload& preload = TheFontPreload();
    const std::lock_guard lock(preload.mutex);
    if (preload.started) {
        return;
    }
    preload.started = true;
    try {
        // Qt's font database calls FcInit as its first step and keeps the configuration it
        // finds; a failure here fails there again, where Qt reports it.
        preload.thread = OtherCoreThread([] { FcInit(); });
        preload.pending = true;
    } catch (const std::system_error&) {
        // No thread: the configuration is read on first use, as without a preload. Only the
        // time it would have saved is lost, so nothing is reported.
    }
}

void AwaitFontPreload() {
    Preload& preload = TheFontPreload();
    if (!preload.pending) {
        return;
    }
    const std::lock_guard lock(preload.mutex);
    preload.thread.join();
    preload.pending = false;
}

}  // namespace isotri
