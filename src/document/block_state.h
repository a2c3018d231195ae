// Whole-state operations on a JcampBlock for the data-block step: compare two
// blocks bit for bit, fingerprint one, copy one with its arrays.
#pragma once

#include <cstdint>

#include "labels/jcamp_block.h"

namespace jcamp {

// True when every field and every array entry is the same, bit for bit.
bool sameBlockState(const JcampBlock& a, const JcampBlock& b);

// A hash of the scalar fields and of a few array entries: blocks that are the
// same have the same fingerprint.
uint64_t blockFingerprint(const JcampBlock& block);

// Makes to a copy of from, arrays included. Throws std::bad_alloc.
void copyBlockState(const JcampBlock& from, JcampBlock& to);

// Entries held by the block's arrays (what a copy allocates).
uint64_t blockArrayEntries(const JcampBlock& block);

}  // namespace jcamp
