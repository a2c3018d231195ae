// The header scan: the shape of a file from the labels of its first data block.
#include <cstring>

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

}  // namespace

int32_t JcampReader::scanHeader() {
  yNames.clear();
  clearStatus();
  lineEnd = '\0';
  if (openFile() == 0) {
    if (fileLength_ == 0) {
      fail(kStatusFormatError);
    } else {
      scanFile();
    }
  }
  closeFile();
  if (status == kReaderOk) fillEntry();
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
  if (findLabel("##DATATYPE=", kTypeLength, dataStart_, ValueMode::kRead, SearchScope::kBlock, 1) !=
      0) {
    return 1;
  }
  if (std::strcmp(value_, "LINK") == 0) {
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
  if (scanBlockHeader() != 0) return 1;
  if (findLabel("##NPOINTS=", kCountLength, dataStart_, ValueMode::kRead, SearchScope::kBlock,
                firstDataBlock) != 0) {
    return 1;
  }
  nPoints = leadingInteger(value_);
  if (readConcentrationNames() != 0) return 1;
  return scanXyTable();
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
  if (findLabel("##FIRSTX=", kNumberLength, dataStart_, ValueMode::kRead, SearchScope::kBlock,
                firstDataBlock) != 0) {
    return 1;
  }
  firstX_ = leadingInteger(value_);
  if (findLabel("##LASTX=", kNumberLength, dataStart_, ValueMode::kRead, SearchScope::kBlock,
                firstDataBlock) != 0) {
    return 1;
  }
  lastX_ = leadingInteger(value_);
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
  entry->title = title_;
  entry->origin = origin_;
  entry->owner = owner_;
  entry->yNames = yNames;
}

}  // namespace jcamp
