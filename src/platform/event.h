// A Win32-style event: automatic or manual reset, set, reset, waits with or without limit.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace vostil {

class Event {
public:
    Event(bool manualReset, bool initiallySet);
    void set();
    void reset();
    // Waits until set; an automatic-reset event is cleared for the waiter it releases.
    void wait();
    // Returns true when set within timeoutMs, false at the time-out.
    bool waitFor(uint32_t timeoutMs);

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool manualReset_;
    bool signalled_;
};

}  // namespace vostil
