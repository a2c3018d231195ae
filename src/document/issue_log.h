// What the tables raised while several blocks shared one state: blocks that
// join the state at different times each take only what was raised after
// they joined, without the state keeping one copy of it per block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "labels/sample_warnings.h"

namespace jcamp {

class IssueLog {
 public:
  // The position a block joining now starts from.
  size_t position() const { return events_; }

  // Records what one label raised (check flags, warnings, and the line of the
  // first of them, 0 when unknown).
  void add(uint32_t checks, uint32_t warnings, uint32_t line);

  // Adds to issues what was raised from position `from` on, as if each event
  // had been noted in turn: bits are or-ed, and the first known line stays.
  void foldInto(size_t from, SampleDiagnostics& issues) const;

 private:
  static constexpr int kBits = 32;
  size_t events_ = 0;
  // Per bit, one past the last event that raised it (0: none did).
  size_t lastCheck_[kBits] = {};
  size_t lastWarning_[kBits] = {};
  // The events that knew their line, in order: (event, line).
  std::vector<std::pair<size_t, uint32_t>> lines_;
};

}  // namespace jcamp
