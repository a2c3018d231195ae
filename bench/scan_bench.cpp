// Times the header scan on folders of JCAMP-DX files and on single large
// files, and counts the windows it reads.
//
//   scan_bench [--runs N] PATH...
//
// A folder is one set (every regular file in it, each scanned once per run);
// a file is a set of its own. Each set is timed over N runs (default 5) and
// the median is reported, next to a floor: reading every byte of the same
// files in 64 KiB blocks and counting line breaks.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "scan/jcamp_reader.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

struct Set {
  std::string name;
  std::vector<std::string> files;
  double bytes = 0;
};

struct ScanTotals {
  int64_t windowReads = 0;
  int64_t bytesRead = 0;
  std::map<int32_t, int> statuses;
};

ScanTotals scanAll(const Set& set) {
  ScanTotals totals;
  for (const std::string& file : set.files) {
    jcamp::JcampFileInfo entry(file);
    jcamp::JcampReader reader(jcamp::kHostCompatibleRules, jcamp::FirstSample::kFirstBlock, &entry);
    ++totals.statuses[reader.scanHeader()];
    totals.windowReads += reader.windowReads();
    totals.bytesRead += reader.bytesRead();
  }
  return totals;
}

// Reads every byte and counts line breaks: what any reader of the whole file pays.
int64_t readAll(const Set& set) {
  static char buffer[1 << 16];
  int64_t breaks = 0;
  for (const std::string& file : set.files) {
    jcamp::platform::ScopedFile handle(file.c_str());
    int32_t count;
    while ((count = jcamp::platform::readBytes(handle.handle(), buffer, sizeof buffer)) > 0) {
      breaks += std::count(buffer, buffer + count, '\n');
    }
  }
  return breaks;
}

template <typename Work>
double medianSeconds(int runs, Work work) {
  std::vector<double> seconds;
  for (int run = 0; run < runs; ++run) {
    const auto start = Clock::now();
    work();
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::sort(seconds.begin(), seconds.end());
  return seconds[seconds.size() / 2];
}

Set setOf(const std::string& path) {
  Set set;
  set.name = fs::path(path).filename().string();
  if (fs::is_directory(path)) {
    for (const auto& item : fs::directory_iterator(path)) {
      if (item.is_regular_file() && item.path().filename() != "set.json") {
        set.files.push_back(item.path().string());
      }
    }
    std::sort(set.files.begin(), set.files.end());
    set.name = fs::path(path).filename().string() + "/";
  } else {
    set.files.push_back(path);
  }
  for (const std::string& file : set.files) set.bytes += static_cast<double>(fs::file_size(file));
  return set;
}

std::string describe(const std::map<int32_t, int>& statuses) {
  std::string text;
  for (const auto& [status, count] : statuses) {
    text += (text.empty() ? "" : " ") + std::to_string(status) + "x" + std::to_string(count);
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else {
      paths.push_back(argv[i]);
    }
  }
  if (paths.empty()) {
    std::fprintf(stderr, "usage: scan_bench [--runs N] FOLDER_OR_FILE...\n");
    return 2;
  }
  std::printf("%-26s %6s %8s %10s %9s %12s %10s %12s %9s  %s\n", "set", "files", "MB", "files/s",
              "MB/s", "floor MB/s", "windows", "windows/MB", "read/size", "statuses");
  for (const std::string& path : paths) {
    const Set set = setOf(path);
    if (set.files.empty()) continue;
    const ScanTotals totals = scanAll(set);  // also warms the page cache
    const double scan = medianSeconds(runs, [&] { scanAll(set); });
    volatile int64_t sink = 0;
    const double floor = medianSeconds(runs, [&] { sink = sink + readAll(set); });
    const double megabytes = set.bytes / 1e6;
    std::printf("%-26s %6zu %8.2f %10.0f %9.1f %12.1f %10lld %12.1f %9.3f  %s\n", set.name.c_str(),
                set.files.size(), megabytes, static_cast<double>(set.files.size()) / scan,
                megabytes / scan, megabytes / floor, static_cast<long long>(totals.windowReads),
                static_cast<double>(totals.windowReads) / megabytes,
                static_cast<double>(totals.bytesRead) / set.bytes,
                describe(totals.statuses).c_str());
  }
  return 0;
}
