#include "file_shape.h"

namespace {

constexpr uint32_t kMessageSize = 1024;  // far more than the nine fields need

}  // namespace

FileShape measureFile(JcampLibrary& library, const std::string& file, int32_t mode) {
  FileShape shape;
  std::string message(kMessageSize, '\0');
  shape.status = library.checkFileNameMode(file.c_str(), mode, &message[0], kMessageSize);
  message.resize(message.find('\0'));
  if (shape.status != JCAMP_HEADER_OK) {
    shape.reason = message;
    return shape;
  }
  shape.fields.emplace_back();
  for (const char c : message) {
    if (c == '\t') {
      shape.fields.emplace_back();
    } else {
      shape.fields.back().push_back(c);
    }
  }
  return shape;
}
