// The whole document build of one JCAMP-DX file, decoding included: readFile,
// buildLabels, buildBlocks and buildDataBlocks, several times. Prints the
// median time of each step, ordinates per second of the decoding step and MB/s
// of the whole build.
//
//   decode_bench FILE [RUNS] [CONCENTRATIONS]

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

struct Steps {
  std::vector<double> load, labels, blocks, decode, total;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [RUNS] [CONCENTRATIONS]\n", argv[0]);
    return 2;
  }
  const char* path = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  const uint32_t concentrations = argc > 3 ? static_cast<uint32_t>(std::atoi(argv[3])) : 3;
  std::error_code error;
  const double fileBytes = static_cast<double>(std::filesystem::file_size(path, error));
  if (error || fileBytes <= 0) {
    std::fprintf(stderr, "cannot measure %s\n", path);
    return 1;
  }

  Steps steps;
  uint64_t ordinates = 0;
  uint32_t blockCount = 0, flagged = 0;
  for (int run = 0; run < runs; ++run) {
    jcamp::JcampDocument document(jcamp::kHostCompatibleRules, jcamp::LabelScope::kWholeSpan);
    const Clock::time_point start = Clock::now();
    if (document.readFile(path) != jcamp::kStatusOk) {
      std::fprintf(stderr, "readFile failed on %s\n", path);
      return 1;
    }
    steps.load.push_back(secondsSince(start));
    Clock::time_point step = Clock::now();
    if (document.buildLabels() != jcamp::kStatusOk) return 1;
    steps.labels.push_back(secondsSince(step));
    step = Clock::now();
    if (document.buildBlocks() != jcamp::kStatusOk) return 1;
    steps.blocks.push_back(secondsSince(step));
    step = Clock::now();
    document.concentrationCapacity = concentrations;
    if (document.buildDataBlocks() != jcamp::kStatusOk) {
      std::fprintf(stderr, "buildDataBlocks failed on %s\n", path);
      return 1;
    }
    steps.decode.push_back(secondsSince(step));
    steps.total.push_back(secondsSince(start));

    ordinates = 0;
    flagged = 0;
    blockCount = document.dataBlockCount;
    for (uint32_t k = 0; k < document.dataBlockCount; ++k) {
      ordinates += document.dataBlocks[k].tableLength;
      flagged += document.dataBlocks[k].checkFlags != 0 ? 1 : 0;
    }
  }

  const double megabytes = fileBytes / 1e6;
  const auto report = [&](const char* name, const std::vector<double>& times) {
    std::printf("%-15s %8.1f ms  %8.0f MB/s\n", name, median(times) * 1e3,
                megabytes / median(times));
  };
  std::printf("file            %s: %.2f MB, %u data blocks, %llu ordinates, %u blocks flagged\n",
              path, megabytes, blockCount, static_cast<unsigned long long>(ordinates), flagged);
  std::printf("runs            %d (medians)\n", runs);
  report("readFile", steps.load);
  report("buildLabels", steps.labels);
  report("buildBlocks", steps.blocks);
  report("buildDataBlocks", steps.decode);
  std::printf("  decoding      %8.1f M ordinates/s\n",
              static_cast<double>(ordinates) / median(steps.decode) / 1e6);
  std::printf("whole build     %8.1f ms  %8.0f MB/s (best %.0f MB/s), %.1f M ordinates/s\n",
              median(steps.total) * 1e3, megabytes / median(steps.total),
              megabytes / *std::min_element(steps.total.begin(), steps.total.end()),
              static_cast<double>(ordinates) / median(steps.total) / 1e6);
  const double peak = peakResidentBytes();
  std::printf("peak memory     %.1f MB = %.2f x file size\n", peak / 1e6, peak / fileBytes);
  return 0;
}
