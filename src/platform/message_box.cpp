#include "platform/message_box.h"

namespace jcamp::platform {
namespace {

MessageBoxHandler gHandler = nullptr;
void* gContext = nullptr;

}  // namespace

void setMessageBoxHandler(MessageBoxHandler handler, void* context) {
  gHandler = handler;
  gContext = handler ? context : nullptr;
}

int32_t showMessageBox(const std::string& text, uint32_t type) {
  if (gHandler) return gHandler(text.c_str(), type, gContext);
  return showDefaultMessageBox(text, type);
}

}  // namespace jcamp::platform
