#include "ui/split_path.h"

namespace jcamp::ui {

bool splitPath(std::string& path, bool keepDirectory, bool keepName, bool keepExtension,
               char separator) {
  if (path.empty()) return false;
  const size_t slash = path.rfind(separator);
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < nameStart) dot = path.size();
  std::string result;
  if (keepDirectory && slash != std::string::npos) {
    result = path.substr(0, keepName ? slash + 1 : slash);
  }
  if (keepName) result += path.substr(nameStart, dot - nameStart);
  if (keepExtension) result += path.substr(dot);
  path = result;
  return true;
}

}  // namespace jcamp::ui
