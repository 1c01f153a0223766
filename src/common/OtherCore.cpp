#include "common/OtherCore.h"

#include <sched.h>

#include <system_error>
#include <utility>

namespace isotri {

namespace {

struct Start {
    std::function<void()> work;
    cpu_set_t allowed;
    bool widen = false;
};

void* Run(void* arg) {
    std::unique_ptr<Start> start(static_cast<Start*>(arg));
    if (start->widen) {
        // Where the thread runs is all this decides: should it fail, the thread stays on the
        // core it started on, which is correct, if slower under load.
        pthread_setaffinity_np(pthread_self(), sizeof start->allowed, &start->allowed);
    }
    start->work();
    return nullptr;
}

}  // namespace

bool OtherCoreAllowed() {
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    return sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 1;
}

OtherCoreThread::OtherCoreThread(std::function<void()> work) {
    auto start = std::make_unique<Start>();
    start->work = std::move(work);
    CPU_ZERO(&start->allowed);
    pthread_attr_t attr;
    if (int error = pthread_attr_init(&attr); error != 0) {
        throw std::system_error(error, std::generic_category(), "pthread_attr_init");
    }
    if (sched_getaffinity(0, sizeof start->allowed, &start->allowed) == 0) {
        const int here = sched_getcpu();
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
            if (cpu != here && CPU_ISSET(cpu, &start->allowed)) {
                cpu_set_t one;
                CPU_ZERO(&one);
                CPU_SET(cpu, &one);
                start->widen = pthread_attr_setaffinity_np(&attr, sizeof one, &one) == 0;
                break;
            }
        }
    }
    int error = pthread_create(&thread_, &attr, Run, start.get());
    pthread_attr_destroy(&attr);
    if (error != 0) {
        throw std::system_error(error, std::generic_category(), "pthread_create");
    }
    start.release();  // the thread owns it now
    running_ = true;
}

OtherCoreThread::OtherCoreThread(OtherCoreThread&& other) noexcept
    : thread_(other.thread_), running_(std::exchange(other.running_, false)) {}

OtherCoreThread& OtherCoreThread::operator=(OtherCoreThread&& other) noexcept {
    if (this != &other) {
        join();
        thread_ = other.thread_;
        running_ = std::exchange(other.running_, false);
    }
    return *this;
}

OtherCoreThread::~OtherCoreThread() {
    join();
}

void OtherCoreThread::join() {
    if (running_) {
        pthread_join(thread_, nullptr);
        running_ = false;
    }
}

}  // namespace isotri
