#include "refusals.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// What the standard mode makes of a file the host-compatible mode refuses.
std::string standardModeHint(JcampLibrary& library, const std::string& file,
                             const FileShape& refused) {
  const FileShape standard = measureFile(library, file, JCAMP_MODE_STANDARD);
  if (standard.usable()) {
    return standard.fields[FileShape::kTable] == "PEAK TABLE"
               ? "peak tables need the standard mode (leave out --host-compatible)"
               : "the standard mode reads it (leave out --host-compatible)";
  }
  return standard.reason != refused.reason ? standard.reason : std::string();
}

std::string countsOf(const FileShape& shape) {
  return shape.fields[FileShape::kXCount] + " X points and " + shape.fields[FileShape::kYCount] +
         " concentrations";
}

}  // namespace

std::string systemReason(const std::string& file) {
  struct stat info {};
  if (stat(file.c_str(), &info) != 0) return std::strerror(errno);
  if ((info.st_mode & S_IFMT) == S_IFDIR) return "Is a directory";
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (in == nullptr) return std::strerror(errno);
  std::fclose(in);
  return std::string();
}

std::string refusalReason(JcampLibrary& library, const std::string& file, int32_t result,
                          int32_t mode, const FirstFile& first) {
  const FileShape shape = measureFile(library, file, mode);
  if (result == JCAMP_SHAPE_MISMATCH && shape.usable() && first.shape.usable()) {
    return "it has " + countsOf(shape) + ", the first file (" + first.path + ") " +
           countsOf(first.shape);
  }
  if (result != JCAMP_BAD_HEADER || shape.usable()) return std::string();
  std::string reason = shape.reason + " (status " + std::to_string(shape.status) + ")";
  const std::string system = shape.status == 0 ? systemReason(file) : std::string();
  if (!system.empty()) reason += ": " + system;
  if (mode == JCAMP_MODE_HOST_COMPATIBLE) {
    const std::string hint = standardModeHint(library, file, shape);
    if (!hint.empty()) reason += "; " + hint;
  }
  return reason;
}
