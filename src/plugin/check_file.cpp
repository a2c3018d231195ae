#include <cstring>
#include <string>

#include "plugin/module.h"

namespace jcamp {
namespace {

void copyCut(const std::string& text, char* message, uint32_t messageSize) {
  if (message == nullptr || messageSize == 0) return;
  const size_t length = text.size() < messageSize - 1 ? text.size() : messageSize - 1;
  std::memcpy(message, text.data(), length);
  message[length] = '\0';
}

}  // namespace

int32_t checkFile(const char* fileName, char* message, uint32_t messageSize) {
  // The header scan is not in place yet: every file reads as unreadable.
  (void)fileName;
  copyCut("General file IO error", message, messageSize);
  return 0;
}

}  // namespace jcamp
