// Program entry: the command loop runs the whole engine.
#include "protocol/command_loop.h"

int main() {
    vostil::commandLoop();
    return 0;
}
