// The header scan: the shape of a file from the labels of its first data block.
#include <cstring>

#include "labels/ascii_case.h"
#include "labels/variable_list.h"
#include "scan/jcamp_reader.h"
#include "scan/whole_number.h"

namespace jcamp {
namespace {

constexpr int32_t kTitleLength = 28;
constexpr int32_t kOriginLength = 28;
constexpr int32_t kOwnerLength = 24;
constexpr int32_t kTypeLength = 36;
constexpr int32_t kCountLength = 8;
constexpr int32_t kNumberLength = JcampReader::kValueCapacity;
constexpr int32_t kLinkedFirstBlock = 2;

bool equalsIgnoringCase(const char* text, const char* upperCase) {
  for (; *upperCase != '\0'; ++text, ++upperCase) {
    if (upperAscii(*text) != *upperCase) return false;
  }
  return *text == '\0';
}

}  // namespace

int32_t JcampReader::scanHeader() {
  yNames.clear();
  clearStatus();
  lineEnd = '\0';
  knownKindStart_ = -1;
  if (openFile() == 0) {
    if (fileLength_ == 0) {
      fail(kStatusFormatError);
    } else {
      scanFile();
    }
  }
  closeFile();
  if (status == kStatusOk) fillEntry();
  return status;
}

// Steps after the file is open and known to be non-empty; 0 or 1.
int32_t JcampReader::scanFile() {
  if (findLabel("##TITLE=", kTypeLength, 0, ValueMode::kSkip, SearchScope::kFile, 1) != 0) {
    // No title anywhere: not a JCAMP-DX file.
    if (status == kStatusUnexpectedEnd) fail(kStatusFormatError);
    return 1;
  }
  sampleCount = 1;
  dataStart_ = static_cast<int32_t>(absolutePosition());
  bool linked = false;
  if (readDataType(linked) != 0) return 1;
  if (linked) {
    if (findLabel("##BLOCKS=", kCountLength, dataStart_, ValueMode::kRead, SearchScope::kBlock,
                  1) != 0) {
      return 1;
    }
    sampleCount = leadingInteger(value_);
    if (sampleCount < 1) return fail(kStatusIllegalBlocks, {sampleCount});
    firstDataBlock = kLinkedFirstBlock;
    if (findLabel("##TITLE=", kTypeLength, dataStart_, ValueMode::kSkip, SearchScope::kFile,
                  kLinkedFirstBlock) != 0) {
      return 1;
    }
    dataStart_ = static_cast<int32_t>(absolutePosition());
  } else {
    if (countBlocks() != 0) return 1;
    firstDataBlock = sampleCount == 1 ? 1 : kLinkedFirstBlock;
  }
  if (firstSample == FirstSample::kFirstTableBlock && findFirstTableBlock() != 0) return 1;
  if (scanBlockHeader() != 0) return 1;
  // An NTUPLES block's pages may give their count in their variables.
  const bool paged = rules.ntuplesPages && findTableKind() == kTableKindNTuples;
  clearStatus();
  nPoints = 0;
  if (findLabel("##NPOINTS=", kCountLength, dataStart_, ValueMode::kRead, SearchScope::kBlock,
                firstDataBlock) == 0) {
    nPoints = leadingInteger(value_);
  } else if (!paged || status != kStatusLabelMissing) {
    return 1;
  }
  clearStatus();
  if (readConcentrationNames() != 0) return 1;
  if (scanXyTable() != 0) return 1;
  return tableKind_ == kTableKindNTuples ? readPageShape() : 0;
}

// Whether the first block links the data blocks that follow: its ##DATATYPE=
// is "LINK" (under looseLabelNames in any case). Under dataTypeOptional a
// block without ##DATATYPE= links when it gives ##BLOCKS=.
int32_t JcampReader::readDataType(bool& linked) {
  if (findLabel("##DATATYPE=", kTypeLength, dataStart_, ValueMode::kRead, SearchScope::kBlock, 1) ==
      0) {
    linked = rules.looseLabelNames ? equalsIgnoringCase(value_, "LINK")
                                   : std::strcmp(value_, "LINK") == 0;
    return 0;
  }
  if (!rules.dataTypeOptional || status != kStatusLabelMissing) return 1;
  clearStatus();
  linked = findLabel("##BLOCKS=", kCountLength, dataStart_, ValueMode::kSkip, SearchScope::kBlock,
                     1) == 0;
  if (!linked && status != kStatusLabelMissing) return 1;
  clearStatus();
  return 0;
}

// Each further ##TITLE= up to the end of the file is one more block.
int32_t JcampReader::countBlocks() {
  while (findLabel("##TITLE=", kTypeLength, absolutePosition(), ValueMode::kSkip,
                   SearchScope::kFile, 1) == 0) {
    ++sampleCount;
  }
  // Running into the end of the file is how the count ends; anything else is an error.
  if (status != kStatusUnexpectedEnd) return 1;
  clearStatus();
  return 0;
}

int32_t JcampReader::scanBlockHeader() {
  if (findLabel("##TITLE=", kTitleLength, int64_t{dataStart_} - titleLabelLength_, ValueMode::kRead,
                SearchScope::kBlock, firstDataBlock) != 0) {
    return 1;
  }
  title_ = value_;
  if (readOptionalText("##ORIGIN=", kOriginLength, origin_) != 0) return 1;
  if (readOptionalText("##OWNER=", kOwnerLength, owner_) != 0) return 1;
  if (readAbscissaLimit("##FIRSTX=", firstX_, firstXText_) != 0) return 1;
  return readAbscissaLimit("##LASTX=", lastX_, lastXText_);
}

// ##FIRSTX= or ##LASTX= as a whole number, and as written. Under peakTables a
// table of pairs gives its own abscissas, so there they may be missing; so
// may they where NTUPLES pages give theirs (under ntuplesPages).
int32_t JcampReader::readAbscissaLimit(const char* label, int32_t& whole, std::string& text) {
  if (findLabel(label, kNumberLength, dataStart_, ValueMode::kRead, SearchScope::kBlock,
                firstDataBlock) == 0) {
    whole = leadingInteger(value_);
    text = value_;
    return 0;
  }
  if (!(rules.peakTables || rules.ntuplesPages) || status != kStatusLabelMissing) return 1;
  const int32_t kind = findTableKind();
  const bool pairs = kind == kTableKindXyPoints || kind == kTableKindPeakTable;
  if (!(pairs && rules.peakTables) && kind != kTableKindNTuples) {
    return fail(kStatusLabelMissing, {label, firstDataBlock});
  }
  clearStatus();
  whole = 0;
  text.clear();
  return 0;
}

// A label the block may leave out: its value, or empty when it is missing.
int32_t JcampReader::readOptionalText(const char* label, int32_t maxLength, std::string& text) {
  if (findLabel(label, maxLength, dataStart_, ValueMode::kRead, SearchScope::kBlock,
                firstDataBlock) == 0) {
    text = value_;
    return 0;
  }
  if (status != kStatusLabelMissing) return 1;
  clearStatus();
  text.clear();
  return 0;
}

void JcampReader::fillEntry() const {
  if (entry == nullptr) return;
  entry->xCount = nPoints;
  entry->yCount = yCount;
  entry->sampleCount = sampleCount;
  entry->tableKind = tableKind_;
  entry->firstX = firstX_;
  entry->lastX = lastX_;
  entry->firstXText = firstXText_;
  entry->lastXText = lastXText_;
  entry->title = title_;
  entry->origin = origin_;
  entry->owner = owner_;
  entry->yNames = yNames;
  entry->scannedStamp = bytes_->stamp();
  if (!entry->measured) {
    entry->measured = true;
    entry->firstXCount = nPoints;
    entry->firstYCount = yCount;
    entry->firstSampleCount = sampleCount;
  }
}

}  // namespace jcamp
