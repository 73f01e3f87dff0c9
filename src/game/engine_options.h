// The options an interface may set: the table's size, its clearing, and whether the engine
// answers from its book. The table changes only while the engine thread is parked: a request
// made during a search waits for the next applyTableRequests.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

namespace vostil {

// Off, the engine never answers from its book (the book is still loaded and kept).
extern std::atomic<bool> ownBook;

// A table of `mb` MiB: clamped to the table's limits and rounded down to a power of two.
void requestHashSize(long long mb);
// xboard's "memory": `mb` MiB for every table the engine has; the transposition table gets
// what the other tables leave.
void requestMemoryTotal(long long mb);
// Empties the table; the book's entries stay.
void requestHashClear();

// Every option as the engine starts, requests dropped: for another conversation in the same
// process (the engine thread parked).
void resetEngineOptions();

// The whole number an option's value holds, blanks around it allowed; one too large to read
// becomes the largest (or most negative) number. False for a value that is no number.
bool readOptionNumber(std::string_view value, long long& number);

// Carries out the requests made since the last call. The caller has stopped any search; this
// waits for the engine thread to be parked. Returns null, or the line (no line feed) that tells
// the user a size could not be had and the old table stays.
const char* applyTableRequests();

}  // namespace vostil
