// The three events of the engine hand-over (created at start-up, never destroyed before exit).
#pragma once

#include <memory>

#include "platform/event.h"

namespace vostil {

extern std::unique_ptr<Event> startSignal;   // main to engine: start (automatic reset)
extern std::unique_ptr<Event> stoppedEvent;  // set while the engine thread is parked (manual)
extern std::unique_ptr<Event> startedEvent;  // engine to main: acknowledged (automatic reset)

}  // namespace vostil
