#include "document/issue_log.h"

#include <algorithm>

namespace jcamp {
namespace {

void markBits(uint32_t bits, size_t event, size_t* last) {
  for (int b = 0; bits != 0; ++b, bits >>= 1) {
    if ((bits & 1u) != 0) last[b] = event + 1;
  }
}

uint32_t bitsSince(size_t from, const size_t* last, int count) {
  uint32_t bits = 0;
  for (int b = 0; b < count; ++b) {
    if (last[b] > from) bits |= uint32_t{1} << b;
  }
  return bits;
}

}  // namespace

void IssueLog::add(uint32_t checks, uint32_t warnings, uint32_t line) {
  if ((checks | warnings | line) == 0) return;
  markBits(checks, events_, lastCheck_);
  markBits(warnings, events_, lastWarning_);
  if (line != 0) lines_.emplace_back(events_, line);
  ++events_;
}

void IssueLog::foldInto(size_t from, SampleDiagnostics& issues) const {
  issues.checkFlags |= bitsSince(from, lastCheck_, kBits);
  issues.warnings |= bitsSince(from, lastWarning_, kBits);
  if (issues.line != 0) return;
  const auto first = std::lower_bound(
      lines_.begin(), lines_.end(), from,
      [](const std::pair<size_t, uint32_t>& event, size_t at) { return event.first < at; });
  if (first != lines_.end()) issues.line = first->second;
}

}  // namespace jcamp
