#include <dirent.h>
#include <fnmatch.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "platform/folders.h"

namespace jcamp::platform {

std::string currentDirectory() {
  char buffer[PATH_MAX + 1] = {};
  return ::getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string();
}

bool setCurrentDirectory(const std::string& folder) {
  return ::chdir(folder.c_str()) == 0;
}

bool isDirectory(const std::string& path) {
  struct stat info;
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool sameFolderName(const std::string& a, const std::string& b) {
  return a == b;
}

std::vector<std::string> findFiles(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    // A leading dot is what hides a file here.
    if (name.empty() || name[0] == '.') continue;
    if (::fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
    struct stat info;
    if (::stat((folder + name).c_str(), &info) != 0 || S_ISDIR(info.st_mode)) continue;
    names.push_back(name);
  }
  return names;
}

}  // namespace jcamp::platform
