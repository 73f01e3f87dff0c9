// Program entry: the command loop runs the whole engine. Asked for its usage or version from a
// shell, it answers and ends before its log is opened, so that the log of an earlier game in
// that folder stays as it was.
#include <cstdio>
#include <cstring>

#include "common/log.h"
#include "platform/ignore_interrupts.h"
#include "protocol/command_loop.h"

namespace vostil {
// Written by the build (cmake/write_version.cmake): the version the release files carry.
extern const char VERSION[];
}  // namespace vostil

namespace {

const char USAGE[] =
    "Usage: vostil [--help | --version]\n"
    "\n"
    "Vostil is a chess engine. A chess interface (xboard, pychess, scid...) starts it without\n"
    "arguments and talks to it on standard input and output: the xboard protocol, version 2,\n"
    "or UCI when the first line is a UCI command. It writes Vostil.log in its current folder\n"
    "and reads its opening book Vostil.book from there, else from where it is installed.\n"
    "\n"
    "  --help     print this and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "See vostil(6).\n";

// The exit status for a command line with arguments.
int answerCommandLine(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(USAGE, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Vostil %s\n", vostil::VERSION);
        return 0;
    }
    // A mistyped option must not leave the user before an engine silently awaiting input.
    std::fputs("vostil: unknown arguments:", stderr);
    for (int i = 1; i < argc; ++i) std::fprintf(stderr, " %s", argv[i]);
    std::fprintf(stderr, "\n\n%s", USAGE);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) return answerCommandLine(argc, argv);
    vostil::openGameLog();
    vostil::ignoreInterrupts();
    vostil::commandLoop();
    return 0;
}
