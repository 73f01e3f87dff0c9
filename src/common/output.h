// Lines to the interface on standard output, each flushed at once.
#pragma once

namespace vostil {

// Whole lines, never interleaved with another thread's.
void sendLine(const char* text);  // text must end with its own line feed

}  // namespace vostil
