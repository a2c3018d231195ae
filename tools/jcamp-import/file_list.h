// jcamp-import --list: each file's shape, or why the library refuses it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "jcamp_library.h"

// Prints one line per file, in aligned columns under a header line: samples,
// X count, Y count, first and last X, table, title, origin and owner, or
// "refused (status N): reason". Returns true when every file is usable.
bool listFiles(JcampLibrary& library, const std::vector<std::string>& files, std::FILE* out);
