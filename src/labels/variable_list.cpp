#include "labels/variable_list.h"

#include "labels/ascii_case.h"

namespace jcamp {

bool listsXyPairs(const char* variableList) {
  if (variableList == nullptr) return false;
  const char* want = "(XY..XY)";
  for (const char* p = variableList; *p != '\0' && *want != '\0'; ++p) {
    if (*p == ' ' || *p == '\t') continue;
    const char c = upperAscii(*p);
    if (c != *want) return false;
    ++want;
  }
  return *want == '\0';
}

}  // namespace jcamp
