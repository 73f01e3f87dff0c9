// Picking the next move of a node's list without sorting it: the searches take the highest
// ordering score first, and once only quiet-range moves are left they switch to keys built
// from the history counters.
#pragma once

#include <algorithm>
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

// The index of the largest of count values (the first of equals) and of the runner-up (-1 when
// count is 1). Each value is packed above its inverted index, so that one unsigned comparison
// orders by value and then by position; the scan keeps the two largest with min and max and
// no branch on the data, whose new leaders no predictor can foresee. rankAt(i) is the value
// made unsigned with its order kept.
struct TopTwo {
    int pick;
    int second;
};

template <class RankAt>
inline TopTwo topTwo(int count, RankAt rankAt) {
    const auto packed = [rankAt](int i) { return (uint64_t(uint32_t(rankAt(i))) << 32) | uint32_t(~i); };
    uint64_t best = packed(0), second = 0;  // a packed value is never 0: its index bits are not all set
    for (int i = 1; i < count; ++i) {
        const uint64_t v = packed(i);
        second = std::max(second, std::min(v, best));
        best = std::max(best, v);
    }
    return {int(~uint32_t(best)), second ? int(~uint32_t(second)) : -1};
}

// A signed ordering score as an unsigned rank in the same order.
inline uint32_t scoreRank(int score) { return uint32_t(score) ^ 0x80000000u; }

// After swapping the pick to the front: the runner-up's move, the likely next pick (0 if none).
inline Move runnerUpMove(const MoveEntry* cursor, TopTwo t) {
    const int second = t.second == 0 ? t.pick : t.second;
    return second < 0 ? Move(0) : cursor[second].move;
}

// Swaps the largest key of keys[0..count) (unsigned, the first of equals) and its entry to the
// front; keys[i] belongs to cursor[i]. Returns the runner-up's move.
inline Move selectByKey(uint32_t* keys, MoveEntry* cursor, int count) {
    const TopTwo t = topTwo(count, [keys](int i) { return keys[i]; });
    std::swap(keys[0], keys[t.pick]);
    std::swap(cursor[0], cursor[t.pick]);
    return runnerUpMove(cursor, t);
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
    const TopTwo t = topTwo(int(end - cursor), [cursor](int i) { return scoreRank(cursor[i].score); });
    std::swap(cursor[0], cursor[t.pick]);
    return runnerUpMove(cursor, t);
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
