// A labelled data record of a loaded file, and the lines records index into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "labels/reading_rules.h"
#include "labels/status.h"

namespace jcamp {

// A label's name, kept where it was read (the label's own line, which the
// record's document owns) or a constant text; never owned by the record.
class LabelName {
 public:
  LabelName() = default;
  explicit LabelName(const char* text) : text_(text) {}
  const char* get() const { return text_; }
  bool operator==(std::nullptr_t) const { return text_ == nullptr; }
  bool operator!=(std::nullptr_t) const { return text_ != nullptr; }

 private:
  const char* text_ = nullptr;
};

// One "##NAME=value" record: the label name (normalised: upper case, without
// blanks, "-", "/" and "_"; "COMMENT" for "##=") and the lines that hold its
// value, firstLine .. firstLine + lineCount - 1 of the line table.
struct LabelRecord {
  uint32_t firstLine = 0;
  uint32_t lineCount = 0;
  LabelName name;
};

// Whether the record's (normalised) name is name.
inline bool hasName(const LabelRecord& record, const char* name) {
  return record.name != nullptr && std::strcmp(record.name.get(), name) == 0;
}

// The lines a document's records index into. Lines are NUL-terminated and
// writable in place.
struct LineView {
  char* const* lines = nullptr;
  uint32_t count = 0;
};

// What the label readers need besides a record: the lines of its document and
// the rules it is read by. Each document owns its own, so documents may be
// built on several threads at once.
struct ReadContext {
  LineView lines;
  ReadingRules rules;
};

// The record's value text: its first value line, or null when the record has
// no line or its first line lies outside lines.
char* valueText(const LineView& lines, const LabelRecord& record);
inline char* valueText(const ReadContext& context, const LabelRecord& record) {
  return valueText(context.lines, record);
}
// The same for a record a block may lack: null without one.
inline const char* valueTextOf(const ReadContext& context, const LabelRecord* record) {
  return record != nullptr ? valueText(context, *record) : nullptr;
}

}  // namespace jcamp
