#include "labels/page_tables.h"

#include <cstring>

#include "labels/ascii_case.h"
#include "labels/data_types.h"
#include "labels/markers.h"
#include "labels/narrow_to_float.h"
#include "labels/table_readers.h"
#include "labels/value_parsers.h"
#include "labels/variable_list.h"

namespace jcamp {
namespace {

// Fields longer than this are no number or symbol a page table uses.
constexpr size_t kLongestField = 64;

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

// The field that starts at p and ends at the next ',' or the end, without blanks around it.
std::string_view fieldAt(const char* p) {
  while (isBlank(*p)) ++p;
  const char* end = std::strchr(p, ',');
  if (end == nullptr) end = p + std::strlen(p);
  while (end > p && isBlank(end[-1])) --end;
  return std::string_view(p, static_cast<size_t>(end - p));
}

// A variable list up to the parenthesis that closes its first one, in upper
// case and without blanks: "(X++(R..R)), XYDATA" gives "(X++(R..R))".
std::string compactList(const char* list) {
  std::string out;
  if (list == nullptr) return out;
  int depth = 0;
  for (const char* p = list; *p != '\0' && out.size() < kLongestField; ++p) {
    if (isBlank(*p)) continue;
    out.push_back(upperAscii(*p));
    if (*p == '(') ++depth;
    if (*p == ')' && --depth <= 0) break;
  }
  return out;
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// "(A++(B..B))": X symbol A, Y symbol B.
bool readIncrements(std::string_view list, PageTableForm& form) {
  const size_t open = list.find("++(");
  if (!startsWith(list, "(") || open == std::string_view::npos || open < 2) return false;
  const std::string_view rest = list.substr(open + 3);
  const size_t dots = rest.find("..");
  if (dots == 0 || dots == std::string_view::npos) return false;
  const std::string_view y = rest.substr(0, dots);
  if (rest.substr(dots + 2) != std::string(y) + "))") return false;
  form.kind = PageTableForm::kIncrements;
  form.x = std::string(list.substr(1, open - 1));
  form.y = std::string(y);
  return true;
}

// "(AB..AB)": A and B as the ##SYMBOL= list splits them, else one character each.
bool readPairs(std::string_view list, const char* symbols, PageTableForm& form) {
  const size_t dots = list.find("..");
  if (!startsWith(list, "(") || dots == std::string_view::npos || dots < 3) return false;
  const std::string_view both = list.substr(1, dots - 1);
  if (list.substr(dots + 2) != std::string(both) + ")") return false;
  for (size_t split = 1; split < both.size(); ++split) {
    if (symbolColumn(symbols, both.substr(0, split)) >= 0 &&
        symbolColumn(symbols, both.substr(split)) >= 0) {
      form.x = std::string(both.substr(0, split));
      form.y = std::string(both.substr(split));
      form.kind = PageTableForm::kPairs;
      return true;
    }
  }
  if (both.size() != 2) return false;
  form.x = std::string(1, both[0]);
  form.y = std::string(1, both[1]);
  form.kind = PageTableForm::kPairs;
  return true;
}

// Field `column` of a list as a number; kUnsetDouble when it holds none.
double numberAt(const char* list, int32_t column) {
  const std::string field(listField(list, column));
  return field.empty() ? kUnsetDouble : parseDouble(field.c_str());
}

double factorAt(const char* list, int32_t column) {
  const double factor = numberAt(list, column);
  return factor == kUnsetDouble ? 1.0 : factor;
}

uint32_t countAt(const char* list, int32_t column) {
  const std::string field(listField(list, column));
  return parseUnsigned(field.c_str());
}

// Whether an X++(Y..Y) page can place its points: its X variable has both limits.
bool placesPoints(const JcampBlock& block, const ReadContext& context, int32_t x) {
  return numberAt(valueTextOf(context, block.variableFirst), x) != kUnsetDouble &&
         numberAt(valueTextOf(context, block.variableLast), x) != kUnsetDouble;
}

}  // namespace

std::string_view listField(const char* list, int32_t column) {
  if (list == nullptr || column < 0) return {};
  const char* p = list;
  for (int32_t c = 0; c < column; ++c) {
    p = std::strchr(p, ',');
    if (p == nullptr) return {};
    ++p;
  }
  return fieldAt(p);
}

int32_t symbolColumn(const char* symbols, std::string_view symbol) {
  if (symbols == nullptr || symbol.empty()) return -1;
  const auto same = [symbol](std::string_view field) {
    if (field.size() != symbol.size()) return false;
    for (size_t i = 0; i < field.size(); ++i) {
      if (upperAscii(field[i]) != upperAscii(symbol[i])) return false;
    }
    return true;
  };
  int32_t column = 0;
  for (const char* p = symbols;; ++column) {
    if (same(fieldAt(p))) return column;
    p = std::strchr(p, ',');
    if (p == nullptr) return -1;
    ++p;
  }
}

PageTableForm pageTableForm(const char* variableList, const char* symbols) {
  const std::string list = compactList(variableList);
  PageTableForm form;
  if (!readIncrements(list, form) && !readPairs(list, symbols, form)) form = PageTableForm{};
  return form;
}

Status readPageTable(JcampBlock& block, const LabelRecord& record, const ReadContext& context) {
  // A page of two tables keeps the later.
  noteReplacedTable(block, record);
  const char* symbols = valueTextOf(context, block.variableSymbols);
  const PageTableForm form = pageTableForm(valueText(context, record), symbols);
  const int32_t x = symbolColumn(symbols, form.x);
  const int32_t y = symbolColumn(symbols, form.y);
  block.xVariable = x;
  const bool increments = form.kind == PageTableForm::kIncrements;
  if (form.kind == PageTableForm::kOther || (increments && !placesPoints(block, context, x))) {
    block.unreadTable = &record;
    return kStatusOk;
  }
  const char* dims = valueTextOf(context, block.variableDims);
  const char* firsts = valueTextOf(context, block.variableFirst);
  const char* factors = valueTextOf(context, block.variableFactors);
  block.xFactor = factorAt(factors, x);
  block.yFactor = factorAt(factors, y);
  if (block.nPoints == 0) block.nPoints = countAt(dims, y);
  if (block.nPoints == 0 && increments) block.nPoints = countAt(dims, x);
  if (increments) {
    block.firstX = numberAt(firsts, x);
    block.lastX = numberAt(valueTextOf(context, block.variableLast), x);
    const double firstY = numberAt(firsts, y);
    block.firstY = firstY == kUnsetDouble ? kUnsetValue : narrowToFloat(firstY);
    const Status status = readXyData(block, record, context);
    block.tableForm = kTableFormXyData;
    return status;
  }
  // A page of pairs may give no count: it holds what its table holds.
  const bool counted = block.nPoints > 0;
  const uint32_t countFlag = block.checkFlags & kCheckCount;
  const Status status = readXyPoints(block, record, context);
  block.tableForm = kTableFormXyPoints;
  if (!counted) {
    block.nPoints = block.tableLength;
    block.checkFlags = (block.checkFlags & ~uint32_t{kCheckCount}) | countFlag;
  }
  return status;
}

std::string unreadTableReason(const JcampBlock& block, const ReadContext& context) {
  const JcampBlock::Ref table = block.unreadTable;
  if (table == nullptr) return std::string();
  const char* value = valueText(context, *table);
  const std::string list = compactList(value);
  const bool pairs = context.rules.peakTables && listsXyPairs(value);
  bool pageForm = false;
  bool placed = false;
  if (hasName(*table, "DATATABLE") && context.rules.ntuplesPages) {
    const char* symbols = valueTextOf(context, block.variableSymbols);
    const PageTableForm form = pageTableForm(value, symbols);
    pageForm = form.kind != PageTableForm::kOther;
    placed = form.kind == PageTableForm::kPairs ||
             placesPoints(block, context, symbolColumn(symbols, form.x));
  }
  // A table that is read, noted for replacing an earlier one.
  const bool read = hasName(*table, "XYDATA") || hasName(*table, "XYPOINTS") ||
                    (hasName(*table, "PEAKTABLE") && pairs) || (pageForm && placed);
  if (read) return "the block holds several tables; only its last is read";
  if (hasName(*table, "PEAKASSIGNMENTS")) return "peak assignments are not read";
  if (hasName(*table, "PEAKTABLE")) {
    return context.rules.peakTables ? "a peak table of " + list + " is not read"
                                    : "peak tables are read in the standard mode only";
  }
  if (pageForm) return "its X variable has no ##FIRST= or ##LAST=";
  if (hasName(*table, "DATATABLE") && context.rules.ntuplesPages) {
    return "NTUPLES pages of " + (list.empty() ? std::string("no variable list") : list) +
           " are not read";
  }
  if (hasName(*table, "DATATABLE") || hasName(*table, "NTUPLES")) {
    return "NTUPLES are read in the standard mode only";
  }
  return "its ##" + std::string(table->name.get()) + "= table is not read";
}

std::string pageText(const JcampBlock& block, const ReadContext& context, int32_t page) {
  std::string text;
  if (const char* given = valueTextOf(context, block.page)) {
    for (const char* p = given; *p != '\0'; ++p) {
      if (!isBlank(*p)) text.push_back(*p);
    }
  }
  return text.empty() ? "N=" + std::to_string(page + 1) : text;
}

}  // namespace jcamp
