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

struct JcampReader::PageLists {
  std::string symbols, dims, firsts, lasts, table;
};

// Why the first page of an NTUPLES block with these lists is not read; empty
// when it is.
std::string JcampReader::whyPagesUnread(const PageLists& lists) {
  const PageTableForm form = pageTableForm(lists.table.c_str(), lists.symbols.c_str());
  if (form.kind == PageTableForm::kOther) {
    return lists.table.empty()
               ? kNoPageTable
               : formatMessage(kPageFormUnread, {lists.table.substr(0, lists.table.find(')') + 1)});
  }
  if (form.kind == PageTableForm::kIncrements) {
    const int32_t x = symbolColumn(lists.symbols.c_str(), form.x);
    if (listField(lists.firsts.c_str(), x).empty() || listField(lists.lasts.c_str(), x).empty()) {
      return formatMessage(kPageXUnplaced, {form.x});
    }
  }
  return std::string();
}

int32_t JcampReader::readPageLists(PageLists& lists) {
  return readOptionalText("##SYMBOL=", kValueCapacity, lists.symbols) != 0 ||
                 readOptionalText("##VARDIM=", kValueCapacity, lists.dims) != 0 ||
                 readOptionalText("##FIRST=", kValueCapacity, lists.firsts) != 0 ||
                 readOptionalText("##LAST=", kValueCapacity, lists.lasts) != 0 ||
                 readOptionalText("##DATATABLE=", kValueCapacity, lists.table) != 0
             ? 1
             : 0;
}

int32_t JcampReader::pagesUnread(std::string& why) {
  PageLists lists;
  if (readPageLists(lists) != 0) return 1;
  why = whyPagesUnread(lists);
  return 0;
}

int32_t JcampReader::readPageShape() {
  PageLists lists;
  if (readPageLists(lists) != 0) return 1;
  const std::string why = whyPagesUnread(lists);
  if (!why.empty()) {
    status = kStatusNoXyTable;
    message = why;
    return 1;
  }
  const PageTableForm form = pageTableForm(lists.table.c_str(), lists.symbols.c_str());
  const int32_t x = symbolColumn(lists.symbols.c_str(), form.x);
  const int32_t y = symbolColumn(lists.symbols.c_str(), form.y);
  const bool increments = form.kind == PageTableForm::kIncrements;
  if (nPoints == 0) nPoints = wholeField(lists.dims, y);
  if (nPoints == 0 && increments) nPoints = wholeField(lists.dims, x);
  // As a table without ##NPOINTS=, a page without a count gives no X variables.
  if (nPoints <= 0) {
    status = kStatusNoXyTable;
    message = kPageUncounted;
    return 1;
  }
  firstXText_.clear();
  lastXText_.clear();
  if (increments) {
    firstXText_ = listField(lists.firsts.c_str(), x);
    lastXText_ = listField(lists.lasts.c_str(), x);
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
