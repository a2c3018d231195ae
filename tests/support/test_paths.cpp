#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace testpaths {
namespace {

std::string fromEnvironment(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

std::string executableDirectory() {
  std::error_code error;
#if defined(_WIN32)
  return std::string();
#else
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.parent_path().string() + "/";
#endif
}

// The regular files under dir (a folder's own, or all below it) that keep, sorted.
template <typename Iterator, typename Keep>
std::vector<std::string> sortedFiles(const std::string& dir, Keep keep) {
  std::vector<std::string> files;
  std::error_code error;
  if (dir.empty() || !fs::is_directory(fs::u8path(dir), error)) return files;
  for (const auto& entry : Iterator(fs::u8path(dir))) {
    if (entry.is_regular_file() && keep(entry.path())) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

std::string dataFile(const std::string& name) {
  return fromEnvironment("JCAMP_TEST_DATA", JCAMP_TEST_DATA_DIR) + "/" + name;
}

std::string exampleFile(const std::string& name) {
  return fromEnvironment("JCAMP_EXAMPLES", JCAMP_EXAMPLES_DIR) + "/" + name;
}

std::string corpusDir() {
  const std::string dir = fromEnvironment("JCAMP_CORPUS", JCAMP_CORPUS_DIR);
  std::error_code error;
  return fs::is_directory(fs::u8path(dir), error) ? dir : std::string();
}

std::vector<std::string> generatedSets() {
  std::vector<std::string> sets = sortedFiles<fs::recursive_directory_iterator>(
      fromEnvironment("JCAMP_GENERATED", JCAMP_GENERATED_DIR),
      [](const fs::path& path) { return path.filename() == "truth.tsv"; });
  for (std::string& set : sets) set = fs::u8path(set).parent_path().string();
  std::sort(sets.begin(), sets.end());
  return sets;
}

std::vector<std::string> corpusFiles() {
  return sortedFiles<fs::recursive_directory_iterator>(corpusDir(), [](const fs::path& path) {
    return path.filename() != "MANIFEST.tsv" && path.filename() != "README.md";
  });
}

std::vector<std::string> filesIn(const std::string& dir) {
  return sortedFiles<fs::directory_iterator>(
      dir, [](const fs::path& path) { return path.extension() == ".jdx"; });
}

std::string libraryPath() {
  return fromEnvironment("JCAMP_LIBRARY", (executableDirectory() + JCAMP_LIBRARY_FILE).c_str());
}

std::string scratchDir() {
  static std::atomic<int> counter{0};
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "test";
  std::replace(name.begin(), name.end(), '/', '_');
  const fs::path dir =
      fs::temp_directory_path() / "jcamp-tests" /
      (name + "." + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
       "." + std::to_string(counter++));
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string();
}

std::string writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return path;
}

std::vector<std::string> writeFiles(const std::vector<std::string>& texts) {
  const std::string dir = scratchDir();
  std::vector<std::string> paths;
  for (size_t i = 0; i < texts.size(); ++i) {
    paths.push_back(writeFile(dir + "/f" + std::to_string(i) + ".jdx", texts[i]));
  }
  return paths;
}

}  // namespace testpaths
