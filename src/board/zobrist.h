// The compiled-in hashing keys: 13 x 64 fixed 64-bit values, [PieceCode][Square].
#pragma once

#include <array>
#include <cstdint>

namespace vostil {

namespace detail {
// SplitMix64: a fixed, well-mixed sequence, so the keys are the same in every build.
constexpr uint64_t splitMix64(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

constexpr std::array<std::array<uint64_t, 64>, 13> makeZobristKeys() {
    std::array<std::array<uint64_t, 64>, 13> keys{};
    uint64_t state = 0x56A5D1F3C0DEB00Cull;
    for (auto& row : keys)
        for (auto& key : row) key = splitMix64(state);
    return keys;
}
}  // namespace detail

// Row 0 doubles as the en-passant key of a square and the castling-right keys
// (the king's target squares g1, c1, g8, c8).
inline constexpr std::array<std::array<uint64_t, 64>, 13> ZOBRIST = detail::makeZobristKeys();

}  // namespace vostil
