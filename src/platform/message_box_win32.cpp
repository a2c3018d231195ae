#include <windows.h>

#include "platform/message_box.h"

namespace jcamp::platform {

int32_t showDefaultMessageBox(const std::string& text, uint32_t type) {
  return MessageBoxA(nullptr, text.c_str(), "jcampimport", type | MB_TASKMODAL);
}

}  // namespace jcamp::platform
