#include "labels/label_record.h"

namespace jcamp {

LineView currentLineTable;

char* valueText(const LabelRecord& record) {
  if (record.lineCount == 0 || record.firstLine >= currentLineTable.count) return nullptr;
  return currentLineTable.lines[record.firstLine];
}

}  // namespace jcamp
