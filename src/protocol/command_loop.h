// The protocol's command loop on the main thread.
#pragma once

namespace vostil {

bool startUp();
void commandLoop();

}  // namespace vostil
