// The pages of a data block. Under ntuplesPages an NTUPLES block's ##PAGE=
// sections, and the tables of a block that holds several, each become a data
// block of its own. A page's labels are the block's head (every label before
// its first page) followed by its own; the last page's run to the block's end.
#pragma once

#include <cstdint>
#include <vector>

namespace jcamp {

class JcampDocument;

// Label indexes [first, end) of a document's labels.
struct LabelRange {
  uint32_t first = 0;
  uint32_t end = 0;
};

struct BlockPages {
  LabelRange head;
  std::vector<LabelRange> pages;  // none: the block is one data block
};

// The pages of span s. Its own labels are those outside the spans it
// encloses; spanAfter gives, for each span, the first later span that begins
// after it ends.
BlockPages blockPages(const JcampDocument& document, uint32_t s,
                      const std::vector<uint32_t>& spanAfter);

}  // namespace jcamp
