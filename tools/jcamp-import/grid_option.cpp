#include "grid_option.h"

#include <charconv>
#include <cstring>
#include <vector>

namespace {

std::vector<std::string> splitAtColons(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t colon; (colon = text.find(':', start)) != std::string::npos; start = colon + 1) {
    parts.push_back(text.substr(start, colon - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// The whole text as a number, whatever the locale.
template <typename Number>
bool readNumber(const std::string& text, Number& number) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, number);
  return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

}  // namespace

bool parseGridOption(const std::string& text, JcampGrid& grid, std::string& error) {
  grid = JcampGrid{};
  grid.size = sizeof grid;
  error = "--grid takes first, overlap or FIRST:LAST:COUNT[:UNITS], not '" + text + "'";
  if (text == "first" || text == "overlap") {
    grid.policy = text == "first" ? JCAMP_GRID_FIRST : JCAMP_GRID_OVERLAP;
    return true;
  }
  const std::vector<std::string> parts = splitAtColons(text);
  if (parts.size() < 3 || parts.size() > 4) return false;
  if (!readNumber(parts[0], grid.first) || !readNumber(parts[1], grid.last) ||
      !readNumber(parts[2], grid.count)) {
    return false;
  }
  if (grid.count < 1 || grid.count > JCAMP_GRID_MOST_POINTS) {
    error = "--grid: COUNT runs from 1 to " + std::to_string(JCAMP_GRID_MOST_POINTS);
    return false;
  }
  if (grid.count > 1 && grid.first == grid.last) {
    error = "--grid: FIRST and LAST are the same X for more than one point";
    return false;
  }
  if (parts.size() == 4) {
    if (parts[3].size() >= sizeof grid.units) {
      error = "--grid: UNITS are at most " + std::to_string(sizeof grid.units - 1) + " characters";
      return false;
    }
    std::memcpy(grid.units, parts[3].c_str(), parts[3].size() + 1);
  }
  grid.policy = JCAMP_GRID_EXPLICIT;
  error.clear();
  return true;
}
