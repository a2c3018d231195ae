#include "file_list.h"

#include <algorithm>

namespace {

constexpr size_t kMessageSize = 1024;  // far more than the nine fields need
constexpr size_t kNumberColumns = 5;   // the first fields, right-aligned
constexpr const char* kHeader[] = {"FILE",   "SAMPLES", "X",     "Y",      "FIRST X",
                                   "LAST X", "TABLE",   "TITLE", "ORIGIN", "OWNER"};
constexpr size_t kColumns = sizeof kHeader / sizeof kHeader[0];
constexpr const char* kGap = "  ";

using Row = std::vector<std::string>;

Row splitFields(const std::string& file, const std::string& text) {
  Row row{file, std::string()};
  for (char c : text) {
    if (c == '\t') {
      row.emplace_back();
    } else {
      row.back().push_back(c);
    }
  }
  return row;
}

void appendCell(std::string& line, const std::string& text, size_t width, bool right) {
  const std::string pad(width > text.size() ? width - text.size() : 0, ' ');
  line += right ? pad + text : text + pad;
}

void printLine(std::FILE* out, std::string line) {
  line.erase(line.find_last_not_of(' ') + 1);
  std::fprintf(out, "%s\n", line.c_str());
}

}  // namespace

bool listFiles(JcampLibrary& library, const std::vector<std::string>& files, std::FILE* out) {
  std::vector<Row> rows{Row(std::begin(kHeader), std::end(kHeader))};
  std::vector<std::string> refusals(1);  // empty for the header and usable files
  std::string message(kMessageSize, '\0');
  for (const std::string& file : files) {
    const int32_t status =
        library.checkFileName(file.c_str(), &message[0], static_cast<uint32_t>(message.size()));
    Row row = splitFields(file, message.c_str());
    if (status == JCAMP_HEADER_OK && row.size() == kColumns) {
      rows.push_back(std::move(row));
      refusals.emplace_back();
    } else {
      rows.push_back(Row{file});
      refusals.push_back("refused (status " + std::to_string(status) + "): " + message.c_str());
    }
  }

  std::vector<size_t> widths(kColumns, 0);
  for (const Row& row : rows) {
    for (size_t column = 0; column < row.size(); ++column) {
      widths[column] = std::max(widths[column], row[column].size());
    }
  }
  bool allUsable = true;
  for (size_t i = 0; i < rows.size(); ++i) {
    std::string line;
    appendCell(line, rows[i][0], widths[0], false);
    if (!refusals[i].empty()) {
      printLine(out, line + kGap + refusals[i]);
      allUsable = false;
      continue;
    }
    for (size_t column = 1; column < kColumns; ++column) {
      line += kGap;
      appendCell(line, rows[i][column], widths[column], column <= kNumberColumns);
    }
    printLine(out, line);
  }
  return allUsable;
}
