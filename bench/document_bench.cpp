// Loads one JCAMP-DX file into a JcampDocument (readFile, buildLabels,
// buildBlocks) several times; prints the throughput of each step and of the
// three together, and the process's peak memory relative to the file size.
//
//   document_bench FILE [RUNS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "bench_timing.h"
#include "document/jcamp_document.h"

namespace {

using bench::Clock;
using bench::median;
using bench::peakResidentBytes;
using bench::secondsSince;

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [RUNS]\n", argv[0]);
    return 2;
  }
  const char* path = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  std::error_code error;
  const double fileBytes = static_cast<double>(std::filesystem::file_size(path, error));
  if (error || fileBytes <= 0) {
    std::fprintf(stderr, "cannot measure %s\n", path);
    return 1;
  }
  const double startBytes = peakResidentBytes();

  std::vector<double> read, labels, blocks, total;
  uint32_t lineCount = 0, labelCount = 0, spanCount = 0;
  for (int run = 0; run < runs; ++run) {
    jcamp::JcampDocument document(jcamp::kHostCompatibleRules, jcamp::LabelScope::kWholeSpan);
    const Clock::time_point start = Clock::now();
    if (document.readFile(path) != jcamp::kStatusOk) {
      std::fprintf(stderr, "readFile failed on %s\n", path);
      return 1;
    }
    read.push_back(secondsSince(start));
    Clock::time_point step = Clock::now();
    if (document.buildLabels() != jcamp::kStatusOk) return 1;
    labels.push_back(secondsSince(step));
    step = Clock::now();
    if (document.buildBlocks() != jcamp::kStatusOk) return 1;
    blocks.push_back(secondsSince(step));
    total.push_back(secondsSince(start));
    lineCount = document.context.lines.count;
    labelCount = document.labelCount;
    spanCount = document.spanCount;
  }

  const double megabytes = fileBytes / 1e6;
  std::printf("file        %s: %.2f MB, %u lines, %u labels, %u spans\n", path, megabytes,
              lineCount, labelCount, spanCount);
  std::printf("runs        %d (medians)\n", runs);
  std::printf("readFile    %8.1f ms  %8.0f MB/s\n", median(read) * 1e3, megabytes / median(read));
  std::printf("buildLabels %8.1f ms  %8.0f MB/s\n", median(labels) * 1e3,
              megabytes / median(labels));
  std::printf("buildBlocks %8.1f ms  %8.0f MB/s\n", median(blocks) * 1e3,
              megabytes / median(blocks));
  std::printf("all three   %8.1f ms  %8.0f MB/s (best %.0f MB/s)\n", median(total) * 1e3,
              megabytes / median(total), megabytes / *std::min_element(total.begin(), total.end()));
  const double peak = peakResidentBytes();
  std::printf("peak memory %.1f MB = %.2f x file size (%.2f x above the %.1f MB at start)\n",
              peak / 1e6, peak / fileBytes, (peak - startBytes) / fileBytes, startBytes / 1e6);
  return 0;
}
