// Which tabular form the first data block carries its spectrum in.
#include "scan/jcamp_reader.h"

namespace jcamp {

int32_t JcampReader::scanXyTable() {
  // The X range must be there too, whatever the table.
  for (const char* label : {"##FIRSTX=", "##LASTX="}) {
    if (findLabel(label, kValueCapacity, dataStart_, ValueMode::kRead, SearchScope::kBlock,
                  firstDataBlock) != 0) {
      return 1;
    }
  }
  // A block with both tables counts as ##XYDATA=.
  if (findLabel("##XYDATA=", kValueCapacity, dataStart_, ValueMode::kSkip, SearchScope::kBlock,
                firstDataBlock) == 0) {
    tableKind_ = kTableKindXyData;
    return 0;
  }
  if (findLabel("##XYPOINTS=", kValueCapacity, dataStart_, ValueMode::kSkip, SearchScope::kBlock,
                firstDataBlock) == 0) {
    tableKind_ = kTableKindXyPoints;
    clearStatus();
    return 0;
  }
  return fail(kStatusNoXyTable);
}

}  // namespace jcamp
