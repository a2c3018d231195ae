#include <charconv>
#include <cstring>
#include <string>

#include "document/row_model.h"
#include "plugin/module.h"
#include "scan/jcamp_reader.h"

namespace jcamp {
namespace {

constexpr char kFieldSeparator = '\t';

void copyCut(const std::string& text, char* message, uint32_t messageSize) {
  if (message == nullptr || messageSize == 0) return;
  const size_t length = text.size() < messageSize - 1 ? text.size() : messageSize - 1;
  std::memcpy(message, text.data(), length);
  message[length] = '\0';
}

void appendNumber(std::string& out, int32_t number) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, number);
  out.append(digits, result.ptr);
  out.push_back(kFieldSeparator);
}

// A text field: tabs and line breaks would split the line, so they become blanks.
void appendText(std::string& out, const std::string& text) {
  for (char c : text) out.push_back(c == '\t' || c == '\r' || c == '\n' ? ' ' : c);
}

const char* tableName(int32_t tableKind) {
  switch (tableKind) {
    case kTableKindXyPoints:
      return "XYPOINTS";
    case kTableKindPeakTable:
      return "PEAK TABLE";
    case kTableKindNTuples:
      return "NTUPLES";
    default:
      return "XYDATA";
  }
}

// samples, X count, Y count, first X, last X, table, title, origin, owner.
// First and last X are whole numbers, or under roundTripNames as written.
std::string describeShape(const JcampFileInfo& entry, const ReadingRules& rules) {
  std::string out;
  for (int32_t number : {entry.sampleCount, entry.xCount, entry.yCount}) appendNumber(out, number);
  if (rules.roundTripNames) {
    for (const std::string* text : {&entry.firstXText, &entry.lastXText}) {
      appendText(out, *text);
      out.push_back(kFieldSeparator);
    }
  } else {
    appendNumber(out, entry.firstX);
    appendNumber(out, entry.lastX);
  }
  out += tableName(entry.tableKind);
  out.push_back(kFieldSeparator);
  appendText(out, entry.title);
  out.push_back(kFieldSeparator);
  appendText(out, entry.origin);
  out.push_back(kFieldSeparator);
  appendText(out, entry.owner);
  return out;
}

}  // namespace

int32_t checkFile(const char* fileName, const ReadingRules& rules, char* message,
                  uint32_t messageSize) {
  if (fileName == nullptr) {
    copyCut(statusText(kStatusIoError), message, messageSize);
    return kStatusIoError;
  }
  JcampFileInfo entry(fileName);
  JcampReader reader(rules, RowModel::of(rules).firstSample(), &entry);
  const int32_t status = reader.scanHeader();
  copyCut(status == kStatusOk ? describeShape(entry, rules) : reader.message, message, messageSize);
  return status;
}

}  // namespace jcamp
