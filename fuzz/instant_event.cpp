// The engine's event for the fuzz targets: the same hand-over, but a timed wait gives up after
// at most a millisecond, so a conversation's clocks (or "test", which thinks for days) never
// hold up the fuzzer. Everything else behaves as the engine's own event.
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
    std::unique_lock<std::mutex> lock(mutex_);
    const auto limit = std::chrono::milliseconds(std::min<uint32_t>(timeoutMs, 1));
    if (!cv_.wait_for(lock, limit, [this] { return signalled_; })) return false;
    if (!manualReset_) signalled_ = false;
    return true;
}

}  // namespace vostil
