// jcamp-import --list: each file's shape, or why the library refuses it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "jcamp_library.h"

// Prints the usable files in aligned columns under a header line (samples,
// X count, Y count, first and last X, table, title, origin, owner, and the
// file last, so that long paths keep the columns readable), then one line
// per refused file with the reason. Under the standard mode first and last X
// are as written and text is UTF-8. Returns true when every file is usable.
bool listFiles(JcampLibrary& library, const std::vector<std::string>& files, int32_t mode,
               std::FILE* out);
