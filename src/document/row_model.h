// Which data blocks of a file become rows of the matrix, and how they are
// named: decided here and nowhere else. An import chooses its row model once,
// from its reading rules, and hands it to every step that depends on it: the
// header scan, the filling of the blocks, the planning of the rows, their
// names and the import's sample count.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/jcamp_document.h"
#include "labels/reading_rules.h"
#include "scan/jcamp_reader.h"

namespace jcamp {

struct MatrixRow;

class RowModel {
 public:
  virtual ~RowModel() = default;

  // The row model of a set of reading rules (their rowsForBlocks).
  static const RowModel& of(const ReadingRules& rules);

  // The block the header scan measures as the file's first sample.
  virtual FirstSample firstSample() const = 0;
  // How far a block's labels reach when its blocks are filled.
  virtual LabelScope labelScope() const = 0;
  // How many data blocks, from the first, may give rows, of a file whose
  // header counts `counted` blocks and that holds `held`.
  virtual uint32_t candidates(uint32_t held, int32_t counted) const = 0;
  // Whether a candidate block gives a row at all (before its X grid is judged).
  virtual bool givesRow(const JcampBlock& block) const = 0;
  // Rows the file gives at least: blocks the header counts but the file
  // lacks still give rows (of zeros).
  virtual uint32_t rowsAtLeast(int32_t counted) const = 0;
  // Whether the header's count of blocks is the file's count of rows, so
  // that its value block must hold them before the file is read; otherwise
  // the rows are known only once the blocks are planned.
  virtual bool rowsFromHeader() const = 0;
  // The sample names of the rows planned for a file read from path, whose
  // header counts `counted` blocks.
  virtual std::vector<std::string> rowNames(const JcampDocument& document,
                                            const std::vector<MatrixRow>& rows, int32_t counted,
                                            const std::string& path) const = 0;
};

// The name of a row that never shifts: the block's sample description, else
// its title, else "<file name> block <n>"; cut to kNameLimit bytes, never
// inside a UTF-8 character. A page's row is named by its block's title first,
// then " [<page>]" (page_tables.h: pageText), which the cut leaves whole.
constexpr size_t kNameLimit = 127;
std::string ownRowName(const JcampDocument& document, const MatrixRow& row,
                       const std::string& path);

}  // namespace jcamp
