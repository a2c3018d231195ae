#include "plugin/file_messages.h"

#include "platform/message_box.h"

namespace jcamp {
namespace {

bool askToGoOn(const std::string& text) {
  return platform::showMessageBox(text, platform::kMessageBoxOkCancelExclamation) ==
         platform::kAnswerOk;
}

}  // namespace

bool goOnWithoutFile(const std::string& path, const std::string& reason) {
  return askToGoOn("Reading file " + path + ":\n" + reason +
                   "\n\nImport will continue without data from this file!");
}

bool goOnWithoutBlocks(const std::string& path, const std::vector<std::string>& blocks) {
  if (blocks.empty()) return true;
  std::string text = "Reading file " + path + ":\n";
  for (const std::string& line : blocks) text += line + "\n";
  return askToGoOn(text + "\nImport will continue without these blocks!");
}

}  // namespace jcamp
