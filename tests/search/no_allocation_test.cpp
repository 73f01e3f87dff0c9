// Play allocates nothing: every table the engine plays from is static. This file replaces the
// global operator new and, through the linker's --wrap, malloc, calloc and realloc for the
// whole test binary, and counts the calls of any thread while `counting` is set.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "book/opening_book.h"
#include "common/output.h"
#include "game/analysis.h"
#include "game/thinking_output.h"
#include "game/game_record.h"
#include "game/play_game_move.h"
#include "game/engine_control.h"
#include "protocol/uci_loop.h"
#include "search/search_fixture.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void* allocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

}  // namespace

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* p, std::size_t size);
void* __wrap_malloc(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) ++allocations;
    return __real_malloc(size);
}
void* __wrap_calloc(std::size_t count, std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) ++allocations;
    return __real_calloc(count, size);
}
void* __wrap_realloc(void* p, std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) ++allocations;
    return __real_realloc(p, size);
}
}

// Every form that the deletes below may free, so that new and delete always come in pairs.
void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (counting.load(std::memory_order_relaxed)) ++allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace vostil::testing {
namespace {

using NoAllocationTest = SearchTest;

long allocationsDuring(void (*work)()) {
    allocations = 0;
    counting = true;
    work();
    counting = false;
    return allocations.load();
}

TEST_F(NoAllocationTest, SearchGameMoveAndBookProbeAllocateNothing) {
    // The counter sees what it is meant to see.
    EXPECT_EQ(allocationsDuring([] { delete new int(1); std::free(std::malloc(8)); }), 2);

    // The game is played on a table of another size than the default: the new table was
    // allocated when the size was set, between games.
    ASSERT_TRUE(resizeHash(2 * TT_DEFAULT_MB));
    setUpFen("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    EXPECT_EQ(allocationsDuring([] { playGameMove(search(5)); }), 0);

    // Thinking lines, as "post" and analysis print them, and the analysis status: formatted
    // into fixed buffers. Standard output goes nowhere meanwhile (and is set up before).
    std::fflush(stdout);
    const int savedOutput = dup(1);
    const int nowhere = open("/dev/null", O_WRONLY);
    dup2(nowhere, 1);
    close(nowhere);
    sendLine("\n");

    // A UCI interface sends the whole game before each move: here 8,000 plies of knights and
    // a pawn move, set up through the game-move path and searched with its "info" lines.
    static std::string game = "startpos moves";
    for (int i = 0; i < 8000; ++i) game += (const char*[]){" g1f3", " g8f6", " f3g1", " f6g8"}[i % 4];
    game += " e2e4";
    // Three lines of two root choices (the third is never had), each root move told.
    iterationReport = reportUciIteration;
    rootMoveReport = reportUciRootMove;
    lineCount = 3;
    EXPECT_EQ(allocationsDuring([] {
                  setUpUciPosition(game);
                  applySearchRequest(readGoArguments("btime 1000 binc 10 searchmoves d7d5 g8f6", pos.sideToMove));
                  startSearchClock();
                  search(5);
              }),
              0);
    lineCount = 1;
    rootMoveReport = nullptr;
    applySearchRequest({});
    EXPECT_EQ(gameRecord.moveCount, 8001);
    postThinking = true;
    iterationReport = reportIteration;
    setUpFen("r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -");
    EXPECT_EQ(allocationsDuring([] {
                  startSearchClock();
                  search(5);
                  static char status[96];
                  formatAnalysisStatus(status, sizeof status);
              }),
              0);
    postThinking = false;
    iterationReport = nullptr;
    std::fflush(stdout);
    dup2(savedOutput, 1);
    close(savedOutput);

    // Loading reads the file at the start of a game; probing it while playing is free.
    setUpFen(START_FEN);
    ASSERT_TRUE(loadOpeningBook(VOSTIL_BUILD_DIR "/Vostil.book"));
    static HashEntry* entry;
    EXPECT_EQ(allocationsDuring([] { entry = findEntry(); }), 0);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->isBookEntry());
    ASSERT_TRUE(resizeHash(TT_DEFAULT_MB));
}

}  // namespace
}  // namespace vostil::testing
