#include "file_list.h"

#include <algorithm>

#include "file_shape.h"
#include "refusals.h"
#include "table_writer.h"

namespace {

constexpr const char* kHeader[] = {"SAMPLES", "X",     "Y",      "FIRST X", "LAST X",
                                   "TABLE",   "TITLE", "ORIGIN", "OWNER",   "FILE"};
constexpr size_t kColumns = sizeof kHeader / sizeof kHeader[0];
constexpr size_t kNumberColumns = 5;  // the first ones, right-aligned
constexpr const char* kGap = "  ";

using Row = std::vector<std::string>;

void appendCell(std::string& line, const std::string& text, size_t width, bool right) {
  const std::string pad(width > text.size() ? width - text.size() : 0, ' ');
  line += right ? pad + text : text + pad;
}

void printLine(std::FILE* out, std::string line) {
  line.erase(line.find_last_not_of(' ') + 1);
  std::fprintf(out, "%s\n", line.c_str());
}

}  // namespace

bool listFiles(JcampLibrary& library, const std::vector<std::string>& files, int32_t mode,
               std::FILE* out) {
  const bool utf8 = mode == JCAMP_MODE_STANDARD;
  std::vector<Row> rows{Row(std::begin(kHeader), std::end(kHeader))};
  std::vector<std::string> refusals;
  const FirstFile none;
  for (const std::string& file : files) {
    FileShape shape = measureFile(library, file, mode);
    if (shape.usable()) {
      Row row = std::move(shape.fields);
      row.push_back(file);
      for (std::string& cell : row) cell = utf8 ? asUtf8(cell) : cell;
      rows.push_back(std::move(row));
    } else {
      refusals.push_back("refused: " + file + ": " +
                         refusalReason(library, file, JCAMP_BAD_HEADER, mode, none));
    }
  }
  std::vector<size_t> widths(kColumns, 0);
  for (const Row& row : rows) {
    for (size_t column = 0; column < kColumns; ++column) {
      widths[column] = std::max(widths[column], row[column].size());
    }
  }
  for (const Row& row : rows) {
    std::string line;
    for (size_t column = 0; column < kColumns; ++column) {
      if (column > 0) line += kGap;
      appendCell(line, row[column], widths[column], column < kNumberColumns);
    }
    printLine(out, line);
  }
  for (const std::string& refusal : refusals) printLine(out, refusal);
  return refusals.empty();
}
