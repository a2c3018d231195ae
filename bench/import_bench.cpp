// Imports JCAMP-DX files through the exported functions of the loaded library,
// as a host does, and reports throughput and peak memory.
//   import_bench [--library PATH] [--no-values] [--standard] [--grid GRID] FILE_OR_DIR...

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "grid_option.h"
#include "jcamp_library.h"

namespace fs = std::filesystem;

namespace {

using bench::Clock;
using bench::secondsSince;

std::vector<std::string> expandFiles(const std::vector<std::string>& arguments) {
  std::vector<std::string> files;
  for (const std::string& argument : arguments) {
    if (!fs::is_directory(argument)) {
      files.push_back(argument);
      continue;
    }
    std::vector<std::string> inDirectory;
    for (const auto& entry : fs::directory_iterator(argument)) {
      const std::string extension = entry.path().extension().string();
      if (entry.is_regular_file() && (extension == ".jdx" || extension == ".dx")) {
        inDirectory.push_back(entry.path().string());
      }
    }
    std::sort(inDirectory.begin(), inDirectory.end());
    files.insert(files.end(), inDirectory.begin(), inDirectory.end());
  }
  return files;
}

int32_t answerOk(const char* text, uint32_t, void*) {
  std::fprintf(stderr, "message box: %s\n", text);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string libraryPath = JcampLibrary::executableDirectory() + JcampLibrary::defaultFileName();
  bool readValues = true;
  bool standard = false;
  JcampGrid grid{};
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    std::string error;
    if (std::strcmp(argv[i], "--library") == 0 && i + 1 < argc) {
      libraryPath = argv[++i];
    } else if (std::strcmp(argv[i], "--no-values") == 0) {
      readValues = false;
    } else if (std::strcmp(argv[i], "--standard") == 0) {
      standard = true;
    } else if (std::strcmp(argv[i], "--grid") == 0 && i + 1 < argc) {
      // The grid needs the standard reading.
      standard = true;
      if (!parseGridOption(argv[++i], grid, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
      }
    } else {
      arguments.push_back(argv[i]);
    }
  }
  const std::vector<std::string> files = expandFiles(arguments);
  if (files.empty()) {
    std::fprintf(stderr,
                 "usage: import_bench [--library PATH] [--no-values] [--standard] [--grid GRID] "
                 "FILE_OR_DIR...\n");
    return 2;
  }
  uintmax_t totalBytes = 0;
  uintmax_t largestFile = 0;
  for (const std::string& file : files) {
    const uintmax_t size = fs::file_size(file);
    totalBytes += size;
    largestFile = std::max(largestFile, size);
  }

  JcampLibrary library;
  if (!library.load(libraryPath)) {
    std::fprintf(stderr, "%s\n", library.error().c_str());
    return 1;
  }
  library.setMessageBoxHandler(answerOk, nullptr);
  uint32_t handle = 0;
  if (library.openHandleUDI(&handle) != JCAMP_OK) return 1;
  if (standard && library.setReadingMode(handle, JCAMP_MODE_STANDARD) != JCAMP_OK) return 1;
  if (grid.policy != JCAMP_GRID_NONE && library.setGrid(handle, &grid) != JCAMP_OK) return 1;

  const Clock::time_point start = Clock::now();
  for (const std::string& file : files) {
    const int32_t result = library.addFileName(handle, file.c_str());
    if (result != JCAMP_OK) {
      std::fprintf(stderr, "%s refused: %d (%s)\n", file.c_str(), result, describeResult(result));
      return 1;
    }
  }
  const double addSeconds = secondsSince(start);
  const Clock::time_point importStart = Clock::now();
  const int32_t imported = library.importData(handle);
  const double importSeconds = secondsSince(importStart);
  if (imported != JCAMP_OK) {
    std::fprintf(stderr, "importData: %d (%s)\n", imported, describeResult(imported));
    return 1;
  }
  int32_t samples = 0;
  int32_t variables = 0;
  library.getNumberOfSamples(handle, &samples);
  library.getNumberOfVariables(handle, &variables);

  double readSeconds = 0;
  if (readValues) {
    const Clock::time_point readStart = Clock::now();
    char buffer[4096];
    size_t characters = 0;
    for (int32_t s = 0; s < samples; ++s) {
      for (int32_t v = 0; v < variables; ++v) {
        library.getData(handle, s, v, buffer);
        characters += std::strlen(buffer);
      }
    }
    readSeconds = secondsSince(readStart);
    std::printf("read back: %zu characters\n", characters);
  }
  library.closeHandleUDI(handle);

  const double megabytes = static_cast<double>(totalBytes) / 1e6;
  const double scanAndImport = addSeconds + importSeconds;
  const double matrixMegabytes = 4.0 * samples * static_cast<double>(variables) / 1e6;
  const double peak = bench::peakResidentBytes() / 1e6;
  std::printf("files %zu, %.1f MB, %d samples x %d variables\n", files.size(), megabytes, samples,
              variables);
  std::printf("addFileName (header scans): %.3f s, %.0f files/s\n", addSeconds,
              files.size() / addSeconds);
  std::printf("importData: %.3f s\n", importSeconds);
  std::printf("scan + import: %.3f s, %.1f MB/s, %.0f samples/s\n", scanAndImport,
              megabytes / scanAndImport, samples / scanAndImport);
  if (readValues) {
    std::printf("getData for every value: %.3f s, %.2f M values/s\n", readSeconds,
                samples * static_cast<double>(variables) / readSeconds / 1e6);
  }
  std::printf("peak memory %.1f MB = %.2f x (largest file %.1f MB + matrix %.1f MB)\n", peak,
              peak / (largestFile / 1e6 + matrixMegabytes), largestFile / 1e6, matrixMegabytes);
  return 0;
}
