#include "platform/message_box.h"

#include <mutex>

namespace jcamp::platform {
namespace {

// The handler and its context change together: a box shown on one thread
// while another installs a handler gets the old pair or the new, never a mix.
struct InstalledHandler {
  MessageBoxHandler handler = nullptr;
  void* context = nullptr;
};

std::mutex gHandlerLock;
InstalledHandler gInstalled;

InstalledHandler installedHandler() {
  const std::lock_guard<std::mutex> guard(gHandlerLock);
  return gInstalled;
}

}  // namespace

void setMessageBoxHandler(MessageBoxHandler handler, void* context) {
  const std::lock_guard<std::mutex> guard(gHandlerLock);
  gInstalled.handler = handler;
  gInstalled.context = handler ? context : nullptr;
}

int32_t showMessageBox(const std::string& text, uint32_t type) {
  // Called outside the lock: the handler may install another one, and boxes of
  // imports on other threads need not wait for this one's answer.
  const InstalledHandler installed = installedHandler();
  if (installed.handler) return installed.handler(text.c_str(), type, installed.context);
  return showDefaultMessageBox(text, type);
}

}  // namespace jcamp::platform
