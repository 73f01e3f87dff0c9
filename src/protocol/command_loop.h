// The protocol's command loop on the main thread.
#pragma once

#include <string>

namespace vostil {

// The xboard handshake, after the first word of the input.
bool startUp(const std::string& first);
void commandLoop();

}  // namespace vostil
