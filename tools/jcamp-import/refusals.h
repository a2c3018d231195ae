// Why the library refused a file, in words a person can act on.
#pragma once

#include <cstdint>
#include <string>

#include "file_shape.h"
#include "jcamp_library.h"

// The first file added: every later one must have its shape.
struct FirstFile {
  std::string path;
  FileShape shape;
};

// The reason addFileName refused file with result, read under mode: for a
// header the scan refuses, its message and status, the operating system's
// reason when the file cannot be opened, and (in the host-compatible mode)
// what the standard mode makes of it; for a shape that differs, both shapes.
std::string refusalReason(JcampLibrary& library, const std::string& file, int32_t result,
                          int32_t mode, const FirstFile& first);

// Why the operating system cannot read file ("No such file or directory",
// "Is a directory", "Permission denied"), or "" when it can.
std::string systemReason(const std::string& file);
