// The floats a file's rows take in the matrix, bounded by what the file can
// hold: a header may claim any number of blocks and points, but the file's
// bytes bound what it can fill.
#pragma once

#include <cstdint>

#include "platform/large_blocks.h"

namespace jcamp {

// Elements any file may ask for, and per byte of the file beyond that. A real
// file holds at most about one value per byte (the public corpus: 1.5 at
// most); compressed repeats can hold more, which the table decoders allow up
// to 16 values per character. Rows beyond the blocks a file holds, and points
// beyond those its table holds, are filled with 0 or "missing": a little of
// that is a damaged file, gigabytes of it a hostile header.
constexpr int64_t kElementsAlwaysGranted = int64_t{1} << 18;
constexpr int64_t kElementsPerFileByte = 16;
// Value blocks beyond this many floats are refused as absurd.
constexpr int64_t kMostBlockElements = INT32_MAX;

// Whether a file of fileLength bytes may plausibly fill that many elements.
bool fitsFile(int64_t elements, int64_t fileLength);

using ValueBlock = platform::LargeArray<float>;

// rows x columns floats, uninitialised; null for an empty, absurd or failed
// request, or one far beyond what a file of fileLength bytes can hold.
ValueBlock allocateValues(int32_t rows, int32_t columns, int64_t fileLength);

}  // namespace jcamp
