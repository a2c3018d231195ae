// The table of an NTUPLES page (##DATA TABLE=) and the variables it names:
// ##SYMBOL=, ##VAR_DIM=, ##FIRST=, ##LAST= and ##FACTOR= give one comma-
// separated field per variable, and the page's variable list picks two of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "labels/jcamp_block.h"
#include "labels/label_record.h"

namespace jcamp {

// What a page's variable list names: an X++(Y..Y) table such as
// "(X++(R..R))" or "(F2++(Y..Y))", a table of pairs such as "(XY..XY)", or
// another form (kOther: "(XYM..XYM)", no list at all).
struct PageTableForm {
  enum Kind { kOther, kIncrements, kPairs };
  Kind kind = kOther;
  std::string x;  // the symbols of its X and Y variables, in upper case
  std::string y;
};
// symbols: the ##SYMBOL= list, which tells how "(F1Y..F1Y)" splits (null: one
// character each).
PageTableForm pageTableForm(const char* variableList, const char* symbols);

// Field `column` (from 0) of a comma-separated list, without blanks around
// it; empty past the last field or for a null list.
std::string_view listField(const char* list, int32_t column);

// The column of symbol in the ##SYMBOL= list, compared without case; -1 when absent.
int32_t symbolColumn(const char* symbols, std::string_view symbol);

// Decodes a page's ##DATA TABLE= with the variables as the block stands:
// X from the X variable's ##FIRST=, ##LAST= and ##FACTOR=, Y scaled by its
// variable's ##FACTOR= (a factor the list leaves empty is 1: such values are
// written as they are), the point count from the page's ##NPOINTS=, else the
// Y variable's ##VAR_DIM=, else the table itself. A table of another form, or
// an X++(Y..Y) table whose X variable lacks ##FIRST= or ##LAST=, is left
// unread (JcampBlock::unreadTable). Returns kStatusOk or kStatusNoMemoryToRead.
Status readPageTable(JcampBlock& block, const LabelRecord& record, const ReadContext& context);

// Why the block's unread table is not read, in a few words ("peak
// assignments are not read"); empty when it has none.
std::string unreadTableReason(const JcampBlock& block, const ReadContext& context);

// The page's text as the sample name shows it: ##PAGE= without blanks ("N=1",
// "T=12.5"), or for a page without one (or with an empty one), "N=" and its
// number from 1.
std::string pageText(const JcampBlock& block, const ReadContext& context, int32_t page);

}  // namespace jcamp
