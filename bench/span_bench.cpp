// Data blocks of files whose blocks lack ##END=: each such block runs to the
// end of the file and sees every later label. Builds 1k to 8k such blocks
// (in memory, 10 points each; every third one fails its ##FIRSTY= check, so
// that blocks differ in what their tables raised) and, for comparison, the
// same blocks with their ENDs; prints the median time of buildDataBlocks, and
// of a whole import of the file without ENDs through the importer
// (addFileName and importData) in each reading mode. With --each-span the
// blocks are also filled span by span, which takes time quadratic in the blocks.
//
//   span_bench [--each-span] [RUNS]

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench_timing.h"
#include "document/jcamp_document.h"
#include "document/line_table.h"
#include "platform/message_box.h"
#include "plugin/jcamp_importer.h"

namespace {

std::string blocks(int count, bool ended) {
  std::string text;
  for (int b = 0; b < count; ++b) {
    text += "##TITLE=block " + std::to_string(b) +
            "\n##JCAMP-DX=4.24\n##DATA TYPE=INFRARED SPECTRUM\n##XUNITS=1/CM\n##YUNITS=ABSORBANCE\n"
            "##XFACTOR=1\n##YFACTOR=0.001\n##FIRSTX=1000\n##LASTX=1900\n##NPOINTS=10\n"
            "##FIRSTY=" +
            (b % 3 == 0 ? "0.2" : "0.1") +
            "\n##XYDATA=(X++(Y..Y))\n1000 100 110 120 130 140\n1500 150 160 170 180 190\n";
    if (ended) text += "##END=\n";
  }
  return text;
}

double timeBuild(const std::string& text, jcamp::SpanFill fill, int runs, uint32_t& built) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    jcamp::JcampDocument document(jcamp::kHostCompatibleRules, jcamp::LabelScope::kWholeSpan);
    document.lineTable = std::make_unique<jcamp::LineTable>(document.context.rules);
    document.lineTable->loadText(text.data(), text.size());
    document.lineTable->normalizeLines();
    if (document.buildLabels() != jcamp::kStatusOk || document.buildBlocks() != jcamp::kStatusOk) {
      std::exit(1);
    }
    const bench::Clock::time_point start = bench::Clock::now();
    if (document.buildDataBlocks(fill) != jcamp::kStatusOk) std::exit(1);
    times.push_back(bench::secondsSince(start));
    built = document.dataBlockCount;
  }
  return bench::median(times);
}

// addFileName and importData of the text written to a file, in a reading mode.
double timeImport(const std::string& text, int mode, int runs) {
  const std::string path = "/tmp/span_bench_" + std::to_string(getpid()) + ".jdx";
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  jcamp::platform::setMessageBoxHandler([](const char*, uint32_t, void*) { return 1; }, nullptr);
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    jcamp::JcampImporter importer;
    const bench::Clock::time_point start = bench::Clock::now();
    if (importer.setReadingMode(mode) != 0 || importer.addFileName(path.c_str()) != 0 ||
        importer.importData() != 0) {
      std::exit(1);
    }
    times.push_back(bench::secondsSince(start));
  }
  std::remove(path.c_str());
  return bench::median(times);
}

}  // namespace

int main(int argc, char** argv) {
  bool eachSpan = false;
  int runs = 5;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--each-span") == 0) {
      eachSpan = true;
    } else {
      runs = std::max(1, std::atoi(argv[i]));
    }
  }
  std::printf("%8s %12s %14s %13s %13s%s\n", "blocks", "with END s", "without END s",
              "import host s", "import std s", eachSpan ? "  span by span s" : "");
  for (int count : {1000, 2000, 4000, 8000}) {
    uint32_t built = 0;
    const double ended = timeBuild(blocks(count, true), jcamp::SpanFill::kAuto, runs, built);
    const std::string open = blocks(count, false);
    const double unended = timeBuild(open, jcamp::SpanFill::kAuto, runs, built);
    std::printf("%8u %12.4f %14.4f %13.4f %13.4f", built, ended, unended,
                timeImport(open, jcamp::kModeHostCompatible, runs),
                timeImport(open, jcamp::kModeStandard, runs));
    if (eachSpan) std::printf("  %15.4f", timeBuild(open, jcamp::SpanFill::kEachSpan, 1, built));
    std::printf("\n");
  }
  std::printf("peak resident memory: %.1f MB\n", bench::peakResidentBytes() / 1e6);
  return 0;
}
