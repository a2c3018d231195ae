#include "document/block_pages.h"

#include <cstring>

#include "document/jcamp_document.h"
#include "labels/variable_list.h"

namespace jcamp {
namespace {

bool named(const LabelRecord& label, const char* name) {
  return label.name != nullptr && std::strcmp(label.name.get(), name) == 0;
}

// A table whose values this reading makes a row of.
bool isRowTable(const LabelRecord& label, const ReadContext& context) {
  if (named(label, "XYDATA") || named(label, "XYPOINTS") || named(label, "DATATABLE")) return true;
  return context.rules.peakTables && named(label, "PEAKTABLE") &&
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
  uint32_t inner = s + 1;  // the next block that may lie inside this one
  for (uint32_t i = first; i < end; ++i) {
    if (inner < document.spanCount && document.spans[inner].firstLabel == &labels[i]) {
      i = static_cast<uint32_t>(document.spans[inner].lastLabel - labels);
      inner = spanAfter[inner];
      continue;
    }
    if (named(labels[i], "PAGE")) pageLabels.push_back(i);
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
