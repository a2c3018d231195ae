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

// Walks the labels of span s in a range that are its own, jumping over the
// spans it encloses (spanAfter gives, for each span, the first later span
// that begins after it ends). Without jumpInner every label in the range is
// the span's.
class OwnLabelWalk {
 public:
  OwnLabelWalk(const JcampDocument& document, uint32_t s, LabelRange range,
               const std::vector<uint32_t>& spanAfter, bool jumpInner);
  // The next own label's index; false at the range's end.
  bool next(uint32_t& index);

 private:
  const JcampDocument& document_;
  const std::vector<uint32_t>& spanAfter_;
  uint32_t at_;
  uint32_t end_;
  uint32_t inner_;  // the next span that may lie inside this one
};

// The pages of span s. Its own labels are those outside the spans it
// encloses; spanAfter gives, for each span, the first later span that begins
// after it ends.
BlockPages blockPages(const JcampDocument& document, uint32_t s,
                      const std::vector<uint32_t>& spanAfter);

}  // namespace jcamp
