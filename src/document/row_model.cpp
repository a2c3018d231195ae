#include "document/row_model.h"

#include <algorithm>

#include "document/jcamp_document.h"
#include "document/matrix_rows.h"
#include "labels/data_types.h"
#include "labels/page_tables.h"

namespace jcamp {
namespace {

// A block's sample description, else its title; null when neither has text.
const char* givenName(const JcampBlock& block, const ReadContext& context) {
  for (const LabelRecord* record : {block.sampleDescription, block.title}) {
    const char* text = valueTextOf(context, record);
    if (text != nullptr && *text != '\0') return text;
  }
  return nullptr;
}

// text cut to at most limit bytes, never inside a UTF-8 character.
void cutName(std::string& text, size_t limit) {
  if (text.size() <= limit) return;
  size_t end = limit;
  // Back to the start of a UTF-8 character: continuation bytes are 10xxxxxx.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
}

// A page's block is named by its title first: its sample description
// describes the whole block.
const char* pageBlockName(const JcampBlock& block, const ReadContext& context) {
  const char* title = valueTextOf(context, block.title);
  return title != nullptr && *title != '\0' ? title : givenName(block, context);
}

// The rows hosts rely on: sample j of a file holds its data block j, for as
// many samples as the header counts blocks, whatever the blocks hold. Blocks
// the file lacks give rows of zeros. A block without a name adds none, so the
// names of later samples move up.
class HeaderRows final : public RowModel {
 public:
  FirstSample firstSample() const override { return FirstSample::kFirstBlock; }
  LabelScope labelScope() const override { return LabelScope::kWholeSpan; }
  uint32_t candidates(uint32_t, int32_t counted) const override { return atLeastZero(counted); }
  bool givesRow(const JcampBlock&) const override { return true; }
  uint32_t rowsAtLeast(int32_t counted) const override { return atLeastZero(counted); }
  bool rowsFromHeader() const override { return true; }

  std::vector<std::string> rowNames(const JcampDocument& document, const std::vector<MatrixRow>&,
                                    int32_t counted, const std::string&) const override {
    std::vector<std::string> names;
    const uint32_t named = std::min(atLeastZero(counted), document.dataBlockCount);
    for (uint32_t k = 0; k < named; ++k) {
      const char* name = givenName(document.dataBlocks[k], document.context);
      if (name != nullptr) names.emplace_back(name);
    }
    return names;
  }

 private:
  static uint32_t atLeastZero(int32_t count) {
    return count > 0 ? static_cast<uint32_t>(count) : 0;
  }
};

// The rows of the standard reading: one for every data block that holds a
// data table, each with a name of its own; blocks before the first such
// block (a structure, peak assignments) and blocks that hold none give no row.
class TableRows final : public RowModel {
 public:
  FirstSample firstSample() const override { return FirstSample::kFirstTableBlock; }
  LabelScope labelScope() const override { return LabelScope::kOwnLabels; }
  uint32_t candidates(uint32_t held, int32_t) const override { return held; }
  bool givesRow(const JcampBlock& block) const override {
    return block.tableForm == kTableFormXyData || block.tableForm == kTableFormXyPoints;
  }
  uint32_t rowsAtLeast(int32_t) const override { return 0; }
  bool rowsFromHeader() const override { return false; }

  std::vector<std::string> rowNames(const JcampDocument& document,
                                    const std::vector<MatrixRow>& rows, int32_t,
                                    const std::string& path) const override {
    std::vector<std::string> names;
    names.reserve(rows.size());
    for (const MatrixRow& row : rows) names.push_back(ownRowName(document, row, path));
    return names;
  }
};

}  // namespace

const RowModel& RowModel::of(const ReadingRules& rules) {
  static const HeaderRows kHeaderRows;
  static const TableRows kTableRows;
  if (rules.rowsForBlocks) return kTableRows;
  return kHeaderRows;
}

std::string ownRowName(const JcampDocument& document, const MatrixRow& row,
                       const std::string& path) {
  const int32_t page = row.diagnostics.page;
  const char* given = nullptr;
  if (row.block != nullptr) {
    given = page >= 0 ? pageBlockName(*row.block, document.context)
                      : givenName(*row.block, document.context);
  }
  std::string name;
  if (given != nullptr) {
    name = given;
  } else {
    const size_t slash = path.find_last_of("/\\");
    name = (slash == std::string::npos ? path : path.substr(slash + 1)) + " block " +
           std::to_string(row.diagnostics.block + 1);
  }
  if (page < 0 || row.block == nullptr) {
    cutName(name, kNameLimit);
    return name;
  }
  // The page stays whole at the end, so that the name tells it.
  std::string suffix = " [" + pageText(*row.block, document.context, page) + "]";
  cutName(suffix, kNameLimit);
  cutName(name, kNameLimit - suffix.size());
  return name + suffix;
}

}  // namespace jcamp
