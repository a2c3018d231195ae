#include "scan/block_axes.h"

#include <cstring>

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

void applyLabel(OpenBlock& block, const std::string& name, std::string& value) {
  BlockAxis& axis = block.axis;
  if (name == "XUNITS") {
    axis.xUnits = value;
  } else if (name == "FIRSTX") {
    axis.firstX = parseDouble(value.c_str());
  } else if (name == "LASTX") {
    axis.lastX = parseDouble(value.c_str());
  } else if (name == "NPOINTS") {
    axis.nPoints = parseUnsigned(value.c_str());
  } else if (name == ".OBSERVEFREQUENCY") {
    axis.observeFrequency = parseDouble(value.c_str());
  } else if (name == "DATATYPE") {
    axis.dataType = classifyDataType(value.data());
  } else if (name == "XYDATA" || name == "XYPOINTS") {
    block.table = true;
    axis.pairs = name == "XYPOINTS" || listsXyPairs(value.c_str());
    axis.peakTable = false;
  } else if (name == "PEAKTABLE" && listsXyPairs(value.c_str())) {
    block.table = true;
    axis.pairs = true;
    axis.peakTable = true;
  }
}

}  // namespace

std::vector<BlockAxis> scanBlockAxes(const char* text, size_t size) {
  std::vector<OpenBlock> blocks;  // every block, in the order of its title
  std::vector<size_t> open;       // the blocks not ended, innermost last
  const char* const end = text + size;
  const char* at = text;
  std::string name;
  std::string value;
  while (at < end) {
    const auto* hash =
        static_cast<const char*>(std::memchr(at, '#', static_cast<size_t>(end - at)));
    if (hash == nullptr || hash + 1 >= end) break;
    at = hash + 1;
    if (hash[1] != '#' || !startsLine(text, hash)) continue;
    const char* c = hash + 2;
    name.clear();
    for (; c < end && *c != '=' && !isLineBreak(*c) && name.size() <= kLongestName; ++c) {
      if (!isSeparator(*c)) name += *c >= 'a' && *c <= 'z' ? static_cast<char>(*c - 'a' + 'A') : *c;
    }
    if (c >= end || *c != '=') continue;
    value = valueFrom(c + 1, end);
    at = c + 1;
    if (name == "TITLE") {
      open.push_back(blocks.size());
      blocks.emplace_back();
    } else if (name == "END") {
      if (!open.empty()) open.pop_back();
    } else if (!open.empty()) {
      applyLabel(blocks[open.back()], name, value);
    }
  }
  std::vector<BlockAxis> axes;
  for (OpenBlock& block : blocks) {
    if (block.table) axes.push_back(std::move(block.axis));
  }
  return axes;
}

}  // namespace jcamp
