// Folders: the current directory, whether a folder exists, and the files a
// wildcard pattern finds in one.
#pragma once

#include <string>
#include <vector>

namespace jcamp::platform {

// The separator between a folder and a name in the paths this platform gives.
#if defined(_WIN32)
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// The process's current directory; empty when it cannot be had.
std::string currentDirectory();
bool setCurrentDirectory(const std::string& folder);
bool isDirectory(const std::string& path);
// Whether two folder texts name the same folder as the file system compares
// names: ignoring case on Windows, exactly elsewhere.
bool sameFolderName(const std::string& a, const std::string& b);

// The names of the plain files in folder (which ends with kPathSeparator)
// that match pattern ("*.JDX"; as the file system matches it: ignoring case
// on Windows and here too), leaving out hidden entries and folders.
std::vector<std::string> findFiles(const std::string& folder, const std::string& pattern);

}  // namespace jcamp::platform
