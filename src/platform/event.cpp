// Event on a mutex and a condition variable; waits re-check the flag, so spurious wake-ups
// and a set() before the wait are both handled.
#include "platform/event.h"

#include <algorithm>
#include <chrono>

namespace vostil {

Event::Event(bool manualReset, bool initiallySet)
    : manualReset_(manualReset), signalled_(initiallySet) {}

void Event::set() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        signalled_ = true;
    }
    if (manualReset_)
        cv_.notify_all();
    else
        cv_.notify_one();
}

void Event::reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = false;
}

void Event::wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    cv_.wait(lock, [this] { return signalled_; });
    if (!manualReset_) signalled_ = false;
}

bool Event::waitFor(uint32_t timeoutMs) {
#ifdef VOSTIL_INSTANT_WAITS
    // The fuzz targets' build: no conversation's clock (nor "test", which thinks for days)
    // may hold up the fuzzer, so a timed wait gives up within a millisecond.
    timeoutMs = std::min<uint32_t>(timeoutMs, 1);
#endif
    std::unique_lock<std::mutex> lock(mutex_);
    if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return signalled_; }))
        return false;
    if (!manualReset_) signalled_ = false;
    return true;
}

}  // namespace vostil
