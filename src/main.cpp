// Program entry: the command loop runs the whole engine.
#include "platform/ignore_interrupts.h"
#include "protocol/command_loop.h"

int main() {
    vostil::ignoreInterrupts();
    vostil::commandLoop();
    return 0;
}
