// Standard output to the interface: every line is flushed as soon as it is written.
#include "common/output.h"

#include <cstdio>
#include <cstring>
#include <mutex>

namespace vostil {

namespace {
// Both threads print: the engine thread its thinking, the main thread everything else.
std::mutex outputMutex;
}  // namespace

void sendLine(const char* text) {
    std::lock_guard<std::mutex> lock(outputMutex);
    std::fwrite(text, 1, std::strlen(text), stdout);
    std::fflush(stdout);
}

}  // namespace vostil
