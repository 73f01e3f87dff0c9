// slideGameHistory: a game longer than the history keeps only what draw detection reads.
#include <algorithm>
#include <cassert>
#include <cstring>

#include "board/position.h"

namespace vostil {

// Repetitions are looked for only since the last capture, castling, promotion or pawn move,
// and never more than a hundred plies back: the entries below that are dead weight.
void slideGameHistory() {
    const int top = int(historyTop - GameHistory);
    const int kept = std::min<int>(historyTop->fiftyCounter, HISTORY_LOOKBACK) + 1;
    assert(kept <= top + 1);
    std::memmove(GameHistory, GameHistory + (top + 1 - kept), kept * sizeof(HistoryEntry));
    historyTop = GameHistory + kept - 1;
}

}  // namespace vostil
