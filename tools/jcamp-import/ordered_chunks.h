// Work cut into chunks that threads make at once and the calling thread takes
// in order: the text of a matrix's rows made on every core, written on one.
#pragma once

#include <cstddef>
#include <functional>

// Threads for making chunks: the machine's cores, capped by JCAMP_THREADS as
// the library's own reading is.
unsigned chunkThreads();

// Runs make(i, slot) for every chunk i below count on `threads` threads, and
// take(i, slot) on the calling thread in order of i as soon as chunk i is
// made. slot (below `slots`) is where chunk i keeps what it made until it is
// taken: at most `slots` chunks are made ahead of the one taken. Once make or
// take returns false no further chunk starts, and the call returns false when
// the chunks under way are done. With one thread everything runs on the
// calling thread, chunk after chunk. Neither function may throw.
bool forChunksInOrder(size_t count, unsigned threads, size_t slots,
                      const std::function<bool(size_t chunk, size_t slot)>& make,
                      const std::function<bool(size_t chunk, size_t slot)>& take);
