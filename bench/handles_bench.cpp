// Opening and closing many handles through the exports of the loaded library:
// 100,000 opened, then all closed, then opened again into the freed numbers.
// Prints the median time of each phase.
//
//   handles_bench [LIBRARY] [RUNS]

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_timing.h"
#include "jcamp_library.h"

namespace {

constexpr uint32_t kHandles = 100000;

}  // namespace

int main(int argc, char** argv) {
  JcampLibrary lib;
  const std::string path =
      argc > 1 ? argv[1] : JcampLibrary::executableDirectory() + JcampLibrary::defaultFileName();
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  if (!lib.load(path)) {
    std::fprintf(stderr, "%s\n", lib.error().c_str());
    return 1;
  }
  std::vector<double> open, close, reopen;
  std::vector<uint32_t> handles(kHandles);
  for (int run = 0; run < runs; ++run) {
    bench::Clock::time_point start = bench::Clock::now();
    for (uint32_t& handle : handles) {
      if (lib.openHandleUDI(&handle) != JCAMP_OK) return 1;
    }
    open.push_back(bench::secondsSince(start));
    start = bench::Clock::now();
    for (uint32_t handle : handles) {
      if (lib.closeHandleUDI(handle) != JCAMP_OK) return 1;
    }
    close.push_back(bench::secondsSince(start));
    start = bench::Clock::now();
    for (uint32_t& handle : handles) lib.openHandleUDI(&handle);
    for (uint32_t handle : handles) lib.closeHandleUDI(handle);
    reopen.push_back(bench::secondsSince(start));
  }
  std::printf(
      "%u handles: open %.4f s, close %.4f s, open and close again %.4f s (medians of %d)\n",
      kHandles, bench::median(open), bench::median(close), bench::median(reopen), runs);
  return 0;
}
