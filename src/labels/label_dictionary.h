// The labels a data block understands: each known label name stores its value
// into one field of the block; the three table labels decode their tables.
#pragma once

#include <cstdint>

#include "labels/jcamp_block.h"
#include "labels/label_record.h"

namespace jcamp {

// Applies one record to the block, by its normalised label name (exact
// comparison). Unknown labels change nothing. A label given twice stores its
// later value; a later table replaces the earlier one's arrays. The tables are
// decoded with the block's fields as they stand, through the context's lines. Returns kStatusOk, or
// kStatusNoMemoryToRead when a table's arrays cannot be allocated.
Status applyLabel(JcampBlock& block, const LabelRecord& record, const ReadContext& context);

// The name's row in the dictionary, 1 to kDictionarySize, or 0 for a label
// that applyLabel ignores.
constexpr uint32_t kDictionarySize = 59;
uint32_t dictionaryRow(const char* name);

}  // namespace jcamp
