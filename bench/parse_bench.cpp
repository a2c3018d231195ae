// How fast the X++(Y..Y) line decoder and the number parsers run on their
// own: the ceiling for the table readers. Takes the ##XYDATA= lines of a
// JCAMP-DX file (write one with gen_jcamp.py --form difdup), decodes them a
// few times and prints tokens/s and MB/s.
//
//   parse_bench FILE [ROUNDS]
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "labels/asdf_decoder.h"
#include "labels/value_parsers.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Tables {
  std::string text;                 // every data line, NUL-terminated
  std::vector<size_t> lineStarts;   // offsets into text
  std::vector<size_t> tableStarts;  // index of each table's first line
  size_t bytes = 0;                 // line bytes with one line end each, as in the file
};

bool startsWith(const std::string& line, const char* prefix) {
  return line.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

Tables readTables(const char* fileName) {
  std::ifstream in(fileName, std::ios::binary);
  Tables tables;
  std::string line;
  bool inTable = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (startsWith(line, "##")) {
      inTable = startsWith(line, "##XYDATA=");
      if (inTable) tables.tableStarts.push_back(tables.lineStarts.size());
      continue;
    }
    if (!inTable) continue;
    tables.lineStarts.push_back(tables.text.size());
    tables.text += line;
    tables.text += '\0';
    tables.bytes += line.size() + 1;
  }
  return tables;
}

// Token starts: any character of a token but the digits that follow its first.
size_t countTokens(const Tables& tables) {
  size_t tokens = 0;
  jcamp::AsdfClass previous = jcamp::kAsdfEnd;
  for (const char c : tables.text) {
    const jcamp::AsdfClass kind = jcamp::asdfClassOf(c);
    const bool continues =
        kind == jcamp::kAsdfDigit && previous >= jcamp::kAsdfDigit && previous <= jcamp::kAsdfDup;
    if (kind != jcamp::kAsdfSeparator && kind != jcamp::kAsdfEnd && !continues) ++tokens;
    previous = kind;
  }
  return tokens;
}

struct Outcome {
  double seconds;
  uint64_t ordinates;
  double checksum;
};

// Decodes every table as a reader would: one scratch array per table, the
// DIF check value of a line replaced by the next line's first ordinate.
Outcome decodeAll(const Tables& tables, std::vector<float>& scratch) {
  const auto start = Clock::now();
  uint64_t ordinates = 0;
  double checksum = 0;
  const auto capacity = static_cast<uint32_t>(scratch.size());
  for (size_t t = 0; t < tables.tableStarts.size(); ++t) {
    const size_t first = tables.tableStarts[t];
    const size_t last =
        t + 1 < tables.tableStarts.size() ? tables.tableStarts[t + 1] : tables.lineStarts.size();
    uint32_t lastKind = jcamp::kTokenNone;
    uint32_t total = 0;
    double x = 0;
    for (size_t i = first; i < last; ++i) {
      const char* line = tables.text.data() + tables.lineStarts[i];
      uint64_t n =
          jcamp::decodeXyDataLine(line, x, scratch.data() + total, capacity - total, lastKind);
      n = std::min<uint64_t>(n, capacity - total);
      if (n > 0 && lastKind == jcamp::kTokenDif) --n;
      total += static_cast<uint32_t>(n);
    }
    ordinates += total;
    if (total > 0) checksum += scratch[total - 1] + x;
  }
  return {std::chrono::duration<double>(Clock::now() - start).count(), ordinates, checksum};
}

using bench::median;

// parseInt and parseDouble on the decimal texts of the decoded ordinates.
void benchParsers(const std::vector<float>& ordinates, int rounds) {
  std::string texts;
  std::vector<size_t> starts;
  for (const float value : ordinates) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<int32_t>(value)).ptr;
    starts.push_back(texts.size());
    texts.append(buffer, end);
    texts += '\0';
  }
  std::vector<double> intTimes, doubleTimes;
  int64_t intSum = 0;
  double doubleSum = 0;
  for (int r = 0; r < rounds; ++r) {
    auto start = Clock::now();
    for (const size_t s : starts) intSum += jcamp::parseInt(texts.data() + s);
    intTimes.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    start = Clock::now();
    for (const size_t s : starts) doubleSum += jcamp::parseDouble(texts.data() + s);
    doubleTimes.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  const double count = static_cast<double>(starts.size());
  std::printf("parseInt    %10.1f M tokens/s  %6.1f ns/token  (checksum %lld)\n",
              count / median(intTimes) / 1e6, median(intTimes) / count * 1e9,
              static_cast<long long>(intSum));
  std::printf("parseDouble %10.1f M tokens/s  %6.1f ns/token  (checksum %.6g)\n",
              count / median(doubleTimes) / 1e6, median(doubleTimes) / count * 1e9, doubleSum);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: %s FILE [ROUNDS]\n"
                 "FILE: a JCAMP-DX file with ##XYDATA= tables, e.g. from\n"
                 "  gen_jcamp.py --size large --form difdup --shape link --out /tmp/jcamp-bench\n",
                 argv[0]);
    return 2;
  }
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  const Tables tables = readTables(argv[1]);
  if (tables.lineStarts.empty()) {
    std::fprintf(stderr, "%s: no ##XYDATA= lines\n", argv[1]);
    return 1;
  }
  const size_t tokens = countTokens(tables);
  std::vector<float> scratch(1u << 20);

  std::vector<double> times;
  Outcome outcome{};
  for (int r = 0; r < rounds; ++r) {
    outcome = decodeAll(tables, scratch);
    times.push_back(outcome.seconds);
  }
  const double best = *std::min_element(times.begin(), times.end());
  const double middle = median(times);
  const double megabytes = static_cast<double>(tables.bytes) / 1e6;
  std::printf("%zu tables, %zu lines, %.2f MB of data lines, %zu tokens, %llu ordinates\n",
              tables.tableStarts.size(), tables.lineStarts.size(), megabytes, tokens,
              static_cast<unsigned long long>(outcome.ordinates));
  std::printf("decodeXyDataLine, median of %d (best):\n", rounds);
  std::printf("  %8.1f MB/s (%.1f)  %8.1f M tokens/s (%.1f)  %8.1f M ordinates/s  %.1f ns/token\n",
              megabytes / middle, megabytes / best, static_cast<double>(tokens) / middle / 1e6,
              static_cast<double>(tokens) / best / 1e6,
              static_cast<double>(outcome.ordinates) / middle / 1e6,
              middle / static_cast<double>(tokens) * 1e9);
  std::printf("  (checksum %.6g)\n", outcome.checksum);

  // The decoded ordinates of the last table, repeated to a few million tokens.
  const size_t lastTable = tables.tableStarts.back();
  uint32_t lastKind = jcamp::kTokenNone;
  double x = 0;
  std::vector<float> sample;
  for (size_t i = lastTable; i < tables.lineStarts.size(); ++i) {
    std::vector<float> values(4096);
    const uint64_t n = jcamp::decodeXyDataLine(tables.text.data() + tables.lineStarts[i], x,
                                               values.data(), 4096, lastKind);
    sample.insert(sample.end(), values.begin(), values.begin() + std::min<uint64_t>(n, 4096));
  }
  std::vector<float> ordinates;
  while (!sample.empty() && ordinates.size() < 2000000)
    ordinates.insert(ordinates.end(), sample.begin(), sample.end());
  benchParsers(ordinates, rounds);
  return 0;
}
