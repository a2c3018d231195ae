// Which tabular form the first data block carries its spectrum in.
#include "labels/variable_list.h"
#include "scan/jcamp_reader.h"

namespace jcamp {
namespace {

constexpr char kNtuplesUnsupported[] = "NTUPLES files are not supported";
constexpr char kPeakListUnsupported[] = "Peak tables of %s are not supported";
constexpr char kAssignmentsUnsupported[] = "Peak assignments are not supported";
constexpr char kNoTable[] = "No ##XYDATA=, ##XYPOINTS= or ##PEAK TABLE=(XY..XY) table in any block";

}  // namespace

int32_t JcampReader::scanXyTable() {
  // The X range must be there too, whatever the table.
  for (const char* label : {"##FIRSTX=", "##LASTX="}) {
    int32_t whole = 0;
    std::string text;
    if (readAbscissaLimit(label, whole, text) != 0) return 1;
  }
  tableKind_ = findTableKind();
  if (tableKind_ == kTableKindNone) return fail(kStatusNoXyTable);
  clearStatus();
  return 0;
}

// A block with both tables counts as ##XYDATA=. Under peakTables an
// ##XYDATA=(XY..XY) table holds pairs, and ##PEAK TABLE=(XY..XY) is one too.
int32_t JcampReader::findTableKind() {
  if (knownKindStart_ == dataStart_) return knownKind_;
  knownKind_ = searchTableKind();
  knownKindStart_ = dataStart_;
  return knownKind_;
}

int32_t JcampReader::searchTableKind() {
  const auto find = [this](const char* label, ValueMode mode) {
    return findLabel(label, kValueCapacity, dataStart_, mode, SearchScope::kBlock,
                     firstDataBlock) == 0;
  };
  if (!rules.peakTables) {
    if (find("##XYDATA=", ValueMode::kSkip)) return kTableKindXyData;
    if (find("##XYPOINTS=", ValueMode::kSkip)) return kTableKindXyPoints;
  } else {
    if (find("##XYDATA=", ValueMode::kRead)) {
      return listsXyPairs(value_) ? kTableKindXyPoints : kTableKindXyData;
    }
    if (find("##XYPOINTS=", ValueMode::kSkip)) return kTableKindXyPoints;
    if (find("##PEAKTABLE=", ValueMode::kRead) && listsXyPairs(value_)) return kTableKindPeakTable;
  }
  // Under ntuplesPages an NTUPLES block's pages are its tables.
  if (rules.ntuplesPages &&
      (find("##NTUPLES=", ValueMode::kSkip) || find("##DATATABLE=", ValueMode::kSkip))) {
    return kTableKindNTuples;
  }
  return kTableKindNone;
}

// With FirstSample::kFirstTableBlock the first block with a data table is the first sample;
// blocks before it (a structure, peak assignments, NTUPLES pages of a form
// not read) are passed over. A file without one is refused with what it
// holds instead.
int32_t JcampReader::findFirstTableBlock() {
  const int32_t firstStart = dataStart_;
  const int32_t firstNumber = firstDataBlock;
  std::string unreadPages;  // why the first NTUPLES block passed over is not read
  for (;;) {
    const int32_t kind = findTableKind();
    if (kind == kTableKindNTuples) {
      std::string why;
      if (pagesUnread(why) != 0) return 1;
      clearStatus();
      if (why.empty()) return 0;
      if (unreadPages.empty()) unreadPages = why;
    } else if (kind != kTableKindNone) {
      clearStatus();
      return 0;
    }
    if (findLabel("##TITLE=", kValueCapacity, dataStart_, ValueMode::kSkip, SearchScope::kFile,
                  firstDataBlock) != 0) {
      break;
    }
    dataStart_ = static_cast<int32_t>(absolutePosition());
    ++firstDataBlock;
  }
  dataStart_ = firstStart;
  firstDataBlock = firstNumber;
  const auto holds = [this](const char* label) {
    return findLabel(label, kValueCapacity, 0, ValueMode::kRead, SearchScope::kFile,
                     firstDataBlock) == 0;
  };
  std::string reason = kNoTable;
  if (!unreadPages.empty()) {
    reason = unreadPages;
  } else if (holds("##NTUPLES=")) {
    reason = kNtuplesUnsupported;
  } else if (holds("##PEAKTABLE=")) {
    const std::string list = value_;
    reason = formatMessage(kPeakListUnsupported, {list.substr(0, list.find(')') + 1)});
  } else if (holds("##PEAKASSIGNMENTS=")) {
    reason = kAssignmentsUnsupported;
  }
  status = kStatusNoXyTable;
  message = reason;
  return 1;
}

}  // namespace jcamp
