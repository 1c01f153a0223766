// A thread that starts on a core other than its maker's. On a quiet two-core machine a new
// thread is otherwise queued behind the one that made it, and the work it was meant to overlap
// is done by the time it runs.
#pragma once

#include <pthread.h>

#include <functional>
#include <memory>

namespace isotri {

// Whether this process may run on two cores or more, without which another core's thread only
// takes turns with its maker.
bool OtherCoreAllowed();

class OtherCoreThread {
  public:
    OtherCoreThread() = default;
    // Starts `work`; throws std::system_error when no thread can be made. Once it runs, the
    // thread may move to any core again.
    explicit OtherCoreThread(std::function<void()> work);
    OtherCoreThread(OtherCoreThread&& other) noexcept;
    OtherCoreThread& operator=(OtherCoreThread&& other) noexcept;
    OtherCoreThread(const OtherCoreThread&) = delete;
    OtherCoreThread& operator=(const OtherCoreThread&) = delete;
    // Waits for the work, as a thread left running would outlive what it uses.
    ~OtherCoreThread();

    bool joinable() const { return running_; }
    void join();

  private:
    pthread_t thread_{};
    bool running_ = false;
};

}  // namespace isotri
