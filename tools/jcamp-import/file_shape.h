// A file's shape as the library's header scan measures it (checkFileNameMode).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jcamp_library.h"

struct FileShape {
  int32_t status = 0;  // JCAMP_HEADER_OK, or the scan's status of a refusal
  std::string reason;  // why it is refused
  // The nine fields of a usable file: samples, X count, Y count, first X,
  // last X, table, title, origin, owner.
  std::vector<std::string> fields;

  bool usable() const { return status == JCAMP_HEADER_OK && fields.size() == kFields; }
  static constexpr size_t kFields = 9;
  enum Field { kSamples, kXCount, kYCount, kFirstX, kLastX, kTable, kTitle, kOrigin, kOwner };
};

// The shape of file under the reading mode.
FileShape measureFile(JcampLibrary& library, const std::string& file, int32_t mode);
