// Picking the next move of a node's list without sorting it: the searches take the highest
// ordering score first, and once only quiet-range moves are left they switch to keys built
// from the history counters.
#pragma once

#include <cstdint>
#include <utility>

#include "common/move.h"
#include "movegen/order_scores.h"
#include "search/search.h"

namespace vostil {

// Swaps the entry with the highest ordering score (signed, the first of equals) to the cursor.
inline void selectByScore(MoveEntry* cursor, MoveEntry* end) {
    MoveEntry* pick = cursor;
    for (MoveEntry* e = cursor + 1; e < end; ++e)
        if (e->score > pick->score) pick = e;
    std::swap(*pick, *cursor);
}

// Swaps the largest key of keys[0..count) (unsigned, the first of equals) and its entry to the
// front; keys[i] belongs to cursor[i]. Returns the runner-up's move, the likely next pick
// (0 if none).
inline Move selectByKey(uint32_t* keys, MoveEntry* cursor, int count) {
    // Values kept in registers; a runner-up key of 0 names nobody, which only skips a fetch.
    int pick = 0, second = 0;
    uint32_t bestKey = keys[0], secondKey = 0;
    for (int i = 1; i < count; ++i) {
        const uint32_t k = keys[i];
        if (k > bestKey) {
            second = pick;
            secondKey = bestKey;
            pick = i;
            bestKey = k;
        } else if (k > secondKey) {
            second = i;
            secondKey = k;
        }
    }
    std::swap(keys[0], keys[pick]);
    std::swap(cursor[0], cursor[pick]);
    if (second == 0) second = pick;
    return secondKey ? cursor[second].move : Move(0);
}

// Builds the history keys of every entry from the cursor on, once per node. The offset keeps
// keys of quiet moves with small counters positive, so the unsigned order is the signed one.
inline void buildHistoryKeys(uint32_t* keys, const MoveEntry* cursor, const MoveEntry* end,
                             const int32_t* counters) {
    for (const MoveEntry* e = cursor; e < end; ++e, ++keys)
        *keys = uint32_t(counters[e->move & 0xFFF] + e->score + HISTORY_KEY_OFFSET);
}

// selectByScore that also names the runner-up's move (0 if none).
inline Move selectByScoreWithNext(MoveEntry* cursor, MoveEntry* end) {
    MoveEntry* pick = cursor;
    MoveEntry* second = nullptr;
    int bestScore = cursor->score, secondScore = INT32_MIN;
    for (MoveEntry* e = cursor + 1; e < end; ++e) {
        const int score = e->score;
        if (score > bestScore) {
            second = pick;
            secondScore = bestScore;
            pick = e;
            bestScore = score;
        } else if (score > secondScore) {
            second = e;
            secondScore = score;
        }
    }
    std::swap(*pick, *cursor);
    if (second == cursor) second = pick;
    return second ? second->move : Move(0);
}

// The next move of a full-width node: by ordering score while it is a capture-range score,
// then by history key. `keys` is null until the history phase begins and afterwards points at
// the key of the cursor entry; the caller advances it with the cursor. Returns a guess at the
// move after it (the runner-up), for fetching its table bucket early.
inline Move selectNextMove(MoveEntry* cursor, MoveEntry* end, uint32_t*& keys,
                           uint32_t* orderKeys, const int32_t* counters) {
    if (keys) return selectByKey(keys, cursor, int(end - cursor));
    const Move next = selectByScoreWithNext(cursor, end);
    if (cursor->score >= ORDER_HISTORY_THRESHOLD) return next;
    keys = orderKeys;
    buildHistoryKeys(keys, cursor, end, counters);
    return selectByKey(keys, cursor, int(end - cursor));
}

// Score and ordering values the searches write into list entries.
constexpr OrderScore ORDER_HASH_MOVE = 30000;
constexpr OrderScore ORDER_KILLER1 = -9998;
constexpr OrderScore ORDER_KILLER2 = -9999;
constexpr int QUIESCE_KILLER1_BONUS = 1500;
constexpr int QUIESCE_KILLER2_BONUS = 1000;

// Full-width nodes: the hash move first, the killers just above the quiet range.
inline void rescoreFullWidth(MoveEntry* list, MoveEntry* end, Move hashMove, Move killer1,
                             Move killer2) {
    for (MoveEntry* e = list; e < end; ++e) {
        if (e->move == hashMove)
            e->score = ORDER_HASH_MOVE;
        else if (e->move == killer1)
            e->score = ORDER_KILLER1;
        else if (e->move == killer2)
            e->score = ORDER_KILLER2;
    }
}

// A cutoff by a quiet or castling move makes it this ply's first killer.
inline bool isKillerKind(Move m) { return moveKind(m) == MOVE_QUIET || isCastling(m); }

inline void recordKiller(PlyRecord& ply, Move m) {
    if (m != ply.killer1) {
        ply.killer2 = ply.killer1;
        ply.killer1 = m;
    }
}

}  // namespace vostil
