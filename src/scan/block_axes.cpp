#include "scan/block_axes.h"

#include <cstring>
#include <string_view>

#include "labels/ascii_case.h"
#include "labels/data_types.h"
#include "labels/value_parsers.h"
#include "labels/variable_list.h"

namespace jcamp {
namespace {

// Label names beyond this length are none this scan looks for.
constexpr size_t kLongestName = 64;

struct OpenBlock {
  BlockAxis axis;
  bool table = false;
};

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

bool isLineBreak(char c) {
  return c == '\n' || c == '\r';
}

bool isSeparator(char c) {
  return isBlank(c) || c == '-' || c == '/' || c == '_';
}

// Whether position `at` of text starts a line, blanks aside.
bool startsLine(const char* text, const char* at) {
  while (at > text && isBlank(at[-1])) --at;
  return at == text || isLineBreak(at[-1]);
}

// The value from `from` to the end of its line or a "$$" comment, blanks trimmed.
std::string valueFrom(const char* from, const char* end) {
  const char* stop = from;
  while (stop < end && !isLineBreak(*stop) &&
         !(stop[0] == '$' && stop + 1 < end && stop[1] == '$')) {
    ++stop;
  }
  while (from < stop && isBlank(*from)) ++from;
  while (stop > from && isBlank(stop[-1])) --stop;
  return std::string(from, stop);
}

// The labels this scan reads, by their compared names.
enum class Label {
  kOther,
  kTitle,
  kEnd,
  kXUnits,
  kFirstX,
  kLastX,
  kNPoints,
  kObserveFrequency,
  kDataType,
  kXyData,
  kXyPoints,
  kPeakTable
};

struct NamedLabel {
  std::string_view name;
  Label label;
};

constexpr NamedLabel kLabels[] = {
    {"TITLE", Label::kTitle},
    {"END", Label::kEnd},
    {"XUNITS", Label::kXUnits},
    {"FIRSTX", Label::kFirstX},
    {"LASTX", Label::kLastX},
    {"NPOINTS", Label::kNPoints},
    {".OBSERVEFREQUENCY", Label::kObserveFrequency},
    {"DATATYPE", Label::kDataType},
    {"XYDATA", Label::kXyData},
    {"XYPOINTS", Label::kXyPoints},
    {"PEAKTABLE", Label::kPeakTable},
};

Label labelNamed(std::string_view name) {
  for (const NamedLabel& known : kLabels) {
    if (known.name == name) return known.label;
  }
  return Label::kOther;
}

void applyLabel(OpenBlock& block, Label label, std::string& value) {
  BlockAxis& axis = block.axis;
  switch (label) {
    case Label::kXUnits:
      axis.xUnits = value;
      break;
    case Label::kFirstX:
      axis.firstX = parseDouble(value.c_str());
      break;
    case Label::kLastX:
      axis.lastX = parseDouble(value.c_str());
      break;
    case Label::kNPoints:
      axis.nPoints = parseUnsigned(value.c_str());
      break;
    case Label::kObserveFrequency:
      axis.observeFrequency = parseDouble(value.c_str());
      break;
    case Label::kDataType:
      axis.dataType = classifyDataType(value.data());
      break;
    case Label::kXyData:
    case Label::kXyPoints:
      block.table = true;
      axis.pairs = label == Label::kXyPoints || listsXyPairs(value.c_str());
      axis.peakTable = false;
      break;
    case Label::kPeakTable:
      if (!listsXyPairs(value.c_str())) break;
      block.table = true;
      axis.pairs = true;
      axis.peakTable = true;
      break;
    default:
      break;
  }
}

}  // namespace

std::vector<BlockAxis> scanBlockAxes(const char* text, size_t size) {
  std::vector<OpenBlock> blocks;  // every block, in the order of its title
  std::vector<size_t> open;       // the blocks not ended, innermost last
  const char* const end = text + size;
  const char* at = text;
  char name[kLongestName + 1];
  std::string value;
  while (at < end) {
    const auto* hash =
        static_cast<const char*>(std::memchr(at, '#', static_cast<size_t>(end - at)));
    if (hash == nullptr || hash + 1 >= end) break;
    at = hash + 1;
    if (hash[1] != '#' || !startsLine(text, hash)) continue;
    const char* c = hash + 2;
    size_t length = 0;
    for (; c < end && *c != '=' && !isLineBreak(*c) && length <= kLongestName; ++c) {
      if (!isSeparator(*c)) name[length++] = upperAscii(*c);
    }
    if (c >= end || *c != '=') continue;
    at = c + 1;
    const Label label = labelNamed(std::string_view(name, length));
    if (label == Label::kOther) continue;
    if (label == Label::kTitle) {
      open.push_back(blocks.size());
      blocks.emplace_back();
    } else if (label == Label::kEnd) {
      if (!open.empty()) open.pop_back();
    } else if (!open.empty()) {
      value = valueFrom(c + 1, end);
      applyLabel(blocks[open.back()], label, value);
    }
  }
  std::vector<BlockAxis> axes;
  for (OpenBlock& block : blocks) {
    if (block.table) axes.push_back(std::move(block.axis));
  }
  return axes;
}

}  // namespace jcamp
