#include "labels/label_record.h"

namespace jcamp {

char* valueText(const LineView& lines, const LabelRecord& record) {
  if (record.lineCount == 0 || record.firstLine >= lines.count) return nullptr;
  return lines.lines[record.firstLine];
}

}  // namespace jcamp
