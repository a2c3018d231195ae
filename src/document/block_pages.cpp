#include "document/block_pages.h"

#include "document/jcamp_document.h"
#include "labels/variable_list.h"

namespace jcamp {
namespace {

// A table whose values this reading makes a row of.
bool isRowTable(const LabelRecord& label, const ReadContext& context) {
  if (hasName(label, "XYDATA") || hasName(label, "XYPOINTS") || hasName(label, "DATATABLE"))
    return true;
  return context.rules.peakTables && hasName(label, "PEAKTABLE") &&
         listsXyPairs(valueText(context, label));
}

// Pages that begin at the given labels; the last runs to `end`.
std::vector<LabelRange> pagesFrom(const std::vector<uint32_t>& starts, uint32_t end) {
  std::vector<LabelRange> pages(starts.size());
  for (size_t i = 0; i < starts.size(); ++i) {
    pages[i] = {starts[i], i + 1 < starts.size() ? starts[i + 1] : end};
  }
  return pages;
}

}  // namespace

OwnLabelWalk::OwnLabelWalk(const JcampDocument& document, uint32_t s, LabelRange range,
                           const std::vector<uint32_t>& spanAfter, bool jumpInner)
    : document_(document),
      spanAfter_(spanAfter),
      at_(range.first),
      end_(range.end),
      inner_(jumpInner ? s + 1 : document.spanCount) {
  const LabelRecord* const labels = document.labels.get();
  while (inner_ < document.spanCount && document.spans[inner_].firstLabel < &labels[at_]) {
    inner_ = spanAfter[inner_];
  }
}

bool OwnLabelWalk::next(uint32_t& index) {
  const LabelRecord* const labels = document_.labels.get();
  while (at_ < end_) {
    if (inner_ < document_.spanCount && document_.spans[inner_].firstLabel == &labels[at_]) {
      at_ = static_cast<uint32_t>(document_.spans[inner_].lastLabel - labels) + 1;
      inner_ = spanAfter_[inner_];
      continue;
    }
    index = at_++;
    return true;
  }
  return false;
}

BlockPages blockPages(const JcampDocument& document, uint32_t s,
                      const std::vector<uint32_t>& spanAfter) {
  BlockPages result;
  const BlockSpan& span = document.spans[s];
  if (span.firstLabel == nullptr || span.lastLabel == nullptr) return result;
  const LabelRecord* const labels = document.labels.get();
  const auto first = static_cast<uint32_t>(span.firstLabel - labels);
  const auto end = static_cast<uint32_t>(span.lastLabel - labels) + 1;
  std::vector<uint32_t> pageLabels;
  std::vector<uint32_t> tables;
  OwnLabelWalk walk(document, s, {first, end}, spanAfter, true);
  for (uint32_t i = 0; walk.next(i);) {
    if (hasName(labels[i], "PAGE")) pageLabels.push_back(i);
    if (isRowTable(labels[i], document.context)) tables.push_back(i);
  }
  if (!pageLabels.empty()) {
    result.head = {first, pageLabels.front()};
    result.pages = pagesFrom(pageLabels, end);
  } else if (tables.size() > 1) {
    // Each table takes the labels since the one before it.
    result.head = {first, tables.front()};
    for (size_t t = tables.size() - 1; t > 0; --t) tables[t] = tables[t - 1] + 1;
    result.pages = pagesFrom(tables, end);
  }
  return result;
}

}  // namespace jcamp
