// Standard output to the interface: every line is flushed as soon as it is written.
#include "common/output.h"

#include <cstdio>
#include <cstring>

namespace vostil {

void sendLine(const char* text) {
    std::fwrite(text, 1, std::strlen(text), stdout);
    std::fflush(stdout);
}

}  // namespace vostil
