// The shape of a file whose first data block holds NTUPLES pages (under
// ntuplesPages): the first page's points and X range, from the variables'
// lists, and every page of the file as a sample.
#include <algorithm>
#include <limits>

#include "labels/page_tables.h"
#include "scan/jcamp_reader.h"
#include "scan/whole_number.h"

namespace jcamp {
namespace {

constexpr char kPageFormUnread[] = "NTUPLES pages of %s are not read";
constexpr char kNoPageTable[] = "No ##DATA TABLE= in the NTUPLES block";
constexpr char kPageXUnplaced[] = "The NTUPLES variable %s has no ##FIRST= or ##LAST=";
constexpr char kPageUncounted[] = "The first NTUPLES page has no ##NPOINTS= or ##VAR_DIM=";

int32_t wholeField(const std::string& list, int32_t column) {
  return leadingInteger(std::string(listField(list.c_str(), column)).c_str());
}

}  // namespace

int32_t JcampReader::readBlockValue(const char* label, std::string& text) {
  text.clear();
  if (findLabel(label, kValueCapacity, dataStart_, ValueMode::kRead, SearchScope::kBlock,
                firstDataBlock) == 0) {
    text = value_;
    return 0;
  }
  if (status != kStatusLabelMissing) return 1;
  clearStatus();
  return 0;
}

int32_t JcampReader::readPageLists(std::string& symbols, std::string& dims, std::string& firsts,
                                   std::string& lasts, std::string& table) {
  return readBlockValue("##SYMBOL=", symbols) != 0 || readBlockValue("##VARDIM=", dims) != 0 ||
                 readBlockValue("##FIRST=", firsts) != 0 || readBlockValue("##LAST=", lasts) != 0 ||
                 readBlockValue("##DATATABLE=", table) != 0
             ? 1
             : 0;
}

int32_t JcampReader::pagesUnread(std::string& why) {
  std::string symbols, dims, firsts, lasts, table;
  if (readPageLists(symbols, dims, firsts, lasts, table) != 0) return 1;
  why.clear();
  const PageTableForm form = pageTableForm(table.c_str(), symbols.c_str());
  if (form.kind == PageTableForm::kOther) {
    why = table.empty() ? kNoPageTable
                        : formatMessage(kPageFormUnread, {table.substr(0, table.find(')') + 1)});
  } else if (form.kind == PageTableForm::kIncrements) {
    const int32_t x = symbolColumn(symbols.c_str(), form.x);
    if (listField(firsts.c_str(), x).empty() || listField(lasts.c_str(), x).empty()) {
      why = formatMessage(kPageXUnplaced, {form.x});
    }
  }
  return 0;
}

int32_t JcampReader::readPageShape() {
  std::string why;
  if (pagesUnread(why) != 0) return 1;
  if (!why.empty()) {
    status = kStatusNoXyTable;
    message = why;
    return 1;
  }
  std::string symbols, dims, firsts, lasts, table;
  if (readPageLists(symbols, dims, firsts, lasts, table) != 0) return 1;
  const PageTableForm form = pageTableForm(table.c_str(), symbols.c_str());
  const int32_t x = symbolColumn(symbols.c_str(), form.x);
  const int32_t y = symbolColumn(symbols.c_str(), form.y);
  const bool increments = form.kind == PageTableForm::kIncrements;
  if (nPoints == 0) nPoints = wholeField(dims, y);
  if (nPoints == 0 && increments) nPoints = wholeField(dims, x);
  // As a table without ##NPOINTS=, a page without a count gives no X variables.
  if (nPoints <= 0) {
    status = kStatusNoXyTable;
    message = kPageUncounted;
    return 1;
  }
  firstXText_.clear();
  lastXText_.clear();
  if (increments) {
    firstXText_ = listField(firsts.c_str(), x);
    lastXText_ = listField(lasts.c_str(), x);
  }
  firstX_ = leadingInteger(firstXText_.c_str());
  lastX_ = leadingInteger(lastXText_.c_str());
  return countPages();
}

// Every ##PAGE= of the file is a sample, in place of its NTUPLES block (a
// page without ##NTUPLES= counts as one block's).
int32_t JcampReader::countPages() {
  const auto count = [this](const char* label, int64_t& found) {
    found = 0;
    for (int64_t at = 0;
         findLabel(label, 0, at, ValueMode::kSkip, SearchScope::kFile, firstDataBlock) == 0;
         at = absolutePosition()) {
      ++found;
    }
    // Running into the end of the file is how the count ends; anything else is an error.
    if (status != kStatusUnexpectedEnd) return false;
    clearStatus();
    return true;
  };
  int64_t pages = 0;
  int64_t blocks = 0;
  if (!count("##PAGE=", pages) || !count("##NTUPLES=", blocks)) return 1;
  const int64_t paged = std::max<int64_t>(blocks, 1);
  if (pages > paged) {
    sampleCount = static_cast<int32_t>(std::min<int64_t>(int64_t{sampleCount} + pages - paged,
                                                         std::numeric_limits<int32_t>::max()));
  }
  return 0;
}

}  // namespace jcamp
