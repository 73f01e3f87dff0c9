// Keeps the engine alive when its interface or console interrupts it.
#pragma once

namespace vostil {

void ignoreInterrupts();

}  // namespace vostil
