#include <cstdio>

#include "platform/message_box.h"

namespace jcamp::platform {

// Without a window system the text goes to standard error and the import
// goes on, which is what the box's default button would do.
int32_t showDefaultMessageBox(const std::string& text, uint32_t /*type*/) {
  std::fprintf(stderr, "%s\n", text.c_str());
  std::fflush(stderr);
  return kAnswerOk;
}

}  // namespace jcamp::platform
