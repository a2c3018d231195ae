#include "document/line_table.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

// Machines without SSE2 split lines a word at a time.
// JCAMP_PORTABLE_LINE_SCAN picks that path on any machine, so that the test
// suites can run it too.
#if defined(__SSE2__) && !defined(JCAMP_PORTABLE_LINE_SCAN)
#define JCAMP_LINE_SCAN_SSE2 1
#include <emmintrin.h>
#endif

#include "labels/ascii_case.h"
#include "platform/file_io.h"
#include "platform/worker_pool.h"

namespace jcamp {
namespace {

constexpr uint32_t kLinesPerRun = 16384;        // lines normalised by one thread at a time
constexpr size_t kTextSplitInParts = 4u << 20;  // texts this long are cut by several threads
constexpr char kEndOfInput = 26;                // Ctrl-Z: a text-mode read stops here
constexpr uint32_t kReadChunk = 1u << 20;       // small enough to be scanned while in cache
// A line's entry in isLabel_ from its cutting to its normalising: still to be
// normalised, or (a plain line) normalised already, a label line or not.
constexpr char kLineRaw = 0;
constexpr char kLineTrimmed = 2;
constexpr char kLineLabel = 3;

// Zeroed bytes after the text's final NUL. The scans of a line read whole words
// or blocks up to the one that holds its NUL: up to 15 bytes past it, which
// stay inside the buffer.
constexpr size_t kPadding = 16;

#if !defined(JCAMP_LINE_SCAN_SSE2)
// Word-wise scans, for machines without SSE2.
constexpr uint64_t kEachByte = 0x0101010101010101u;
constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;

// Eight bytes with the first one lowest, whatever the machine's byte order.
// (Compilers turn this into one load on little-endian machines.)
uint64_t loadWord(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return uint64_t{b[0]} | uint64_t{b[1]} << 8 | uint64_t{b[2]} << 16 | uint64_t{b[3]} << 24 |
         uint64_t{b[4]} << 32 | uint64_t{b[5]} << 40 | uint64_t{b[6]} << 48 | uint64_t{b[7]} << 56;
}

// 0x80 in exactly the bytes of word that equal c (no carries between bytes).
uint64_t bytesEqualTo(uint64_t word, char c) {
  const uint64_t x = word ^ (kEachByte * static_cast<unsigned char>(c));
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

uint32_t countFlags(uint64_t flags) {
  return static_cast<uint32_t>(((flags >> 7) * kEachByte) >> 56);
}

// Index of the lowest flagged byte; flags is not 0.
uint32_t firstFlag(uint64_t flags) {
  return countFlags((flags - 1) & ~flags & (kEachByte << 7));
}
#endif

#if defined(JCAMP_LINE_SCAN_SSE2)
// Bytes looked at together by the block scans.
constexpr ptrdiff_t kBlock = 16;

__m128i loadBlock(const char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The sum of a tally's sixteen byte counts.
size_t sumOfTally(__m128i tally) {
  const __m128i sums = _mm_sad_epu8(tally, _mm_setzero_si128());
  return static_cast<size_t>(_mm_cvtsi128_si32(sums)) +
         static_cast<size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
}

// The bytes equal to c or d in [begin, end) counted a block at a time: each
// match subtracts 1 (0xFF) from its byte's tally, summed before it wraps.
size_t countBytes(const char* begin, const char* end, char c, char d) {
  size_t count = 0;
  const __m128i cs = _mm_set1_epi8(c);
  const __m128i ds = _mm_set1_epi8(d);
  while (end - begin >= kBlock) {
    __m128i tally = _mm_setzero_si128();
    for (int round = 0; round < 255 && end - begin >= kBlock; ++round, begin += kBlock) {
      const __m128i block = loadBlock(begin);
      const __m128i matches = _mm_or_si128(_mm_cmpeq_epi8(block, cs), _mm_cmpeq_epi8(block, ds));
      tally = _mm_sub_epi8(tally, matches);
    }
    count += sumOfTally(tally);
  }
  for (; begin < end; ++begin) count += *begin == c || *begin == d ? 1 : 0;
  return count;
}

// countBytes up to the first Ctrl-Z in [begin, end), found in the same pass;
// *stop receives that Ctrl-Z, or end.
size_t countBytesToEndOfInput(const char* begin, const char* end, char c, char d,
                              const char** stop) {
  size_t count = 0;
  const __m128i cs = _mm_set1_epi8(c);
  const __m128i ds = _mm_set1_epi8(d);
  const __m128i ends = _mm_set1_epi8(kEndOfInput);
  while (end - begin >= kBlock) {
    const char* const roundStart = begin;
    __m128i tally = _mm_setzero_si128();
    __m128i ended = _mm_setzero_si128();
    for (int round = 0; round < 255 && end - begin >= kBlock; ++round, begin += kBlock) {
      const __m128i block = loadBlock(begin);
      const __m128i matches = _mm_or_si128(_mm_cmpeq_epi8(block, cs), _mm_cmpeq_epi8(block, ds));
      tally = _mm_sub_epi8(tally, matches);
      ended = _mm_or_si128(ended, _mm_cmpeq_epi8(block, ends));
    }
    if (_mm_movemask_epi8(ended) != 0) {
      // The input ends in this round: count again up to there.
      const auto* at =
          static_cast<const char*>(std::memchr(roundStart, kEndOfInput, begin - roundStart));
      *stop = at;
      return count + countBytes(roundStart, at, c, d);
    }
    count += sumOfTally(tally);
  }
  for (; begin < end; ++begin) {
    if (*begin == kEndOfInput) break;
    count += *begin == c || *begin == d ? 1 : 0;
  }
  *stop = begin;
  return count;
}
#endif

size_t countLineFeeds(const char* begin, const char* end) {
#if defined(JCAMP_LINE_SCAN_SSE2)
  return countBytes(begin, end, '\n', '\n');
#else
  size_t count = 0;
  for (; end - begin >= 8; begin += 8) count += countFlags(bytesEqualTo(loadWord(begin), '\n'));
  for (; begin < end; ++begin) count += *begin == '\n' ? 1 : 0;
  return count;
#endif
}

bool isBlankOrEnd(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == kEndOfInput;
}

// Every CR and LF: at least the number of line ends.
size_t countLineBreaks(const char* begin, const char* end) {
#if defined(JCAMP_LINE_SCAN_SSE2)
  return countBytes(begin, end, '\n', '\r');
#else
  size_t count = 0;
  for (; end - begin >= 8; begin += 8) {
    const uint64_t word = loadWord(begin);
    count += countFlags(bytesEqualTo(word, '\n') | bytesEqualTo(word, '\r'));
  }
  for (; begin < end; ++begin) count += *begin == '\n' || *begin == '\r' ? 1 : 0;
  return count;
#endif
}

// The line breaks in [begin, end) up to the first Ctrl-Z, which *stop
// receives (end when there is none); with SSE2 in one pass.
size_t countBreaksToEndOfInput(const char* begin, const char* end, bool anyBreak,
                               const char** stop) {
#if defined(JCAMP_LINE_SCAN_SSE2)
  return countBytesToEndOfInput(begin, end, '\n', anyBreak ? '\r' : '\n', stop);
#else
  const auto* found = static_cast<const char*>(std::memchr(begin, kEndOfInput, end - begin));
  *stop = found != nullptr ? found : end;
  return anyBreak ? countLineBreaks(begin, *stop) : countLineFeeds(begin, *stop);
#endif
}

// The line breaks of [begin, end) in order, a block of bytes at a time: LF
// only, or (anyBreak) CR and LF. Bytes at and after end are never reported.
// With SSE2 it also tells whether a line is plain: without a tab, '$' or NUL,
// so that trimming it needs no second look at its bytes.
class BreakFinder {
 public:
  BreakFinder(char* begin, char* end, bool anyBreak)
      : block_(begin), end_(end), anyBreak_(anyBreak) {
    load();
  }

  // The first break at or after from, or end; plain: no tab, '$' or NUL
  // lies between from and it (always false without SSE2). from is never
  // before the block where the last search ended.
  char* next(const char* from, bool& plain) {
    const ptrdiff_t offset = from - block_;
    uint32_t after = offset >= kStep ? 0 : ~uint32_t{0} << offset;  // bits at and after from
    uint32_t special = 0;
    for (;;) {
      while (matches_ != 0) {
        const auto bit = static_cast<uint32_t>(__builtin_ctz(matches_));
        matches_ &= matches_ - 1;
        char* at = block_ + bit;
        if (at >= from) {
          special |= specials_ & after & ((uint32_t{1} << bit) - 1);
          plain = special == 0;
          return at;
        }
      }
      special |= specials_ & after;
      after = ~uint32_t{0};
      if (block_ + kStep >= end_) {
        plain = special == 0;
        return end_;
      }
      block_ += kStep;
      load();
    }
  }

 private:
#if defined(JCAMP_LINE_SCAN_SSE2)
  static constexpr ptrdiff_t kStep = kBlock;
#else
  static constexpr ptrdiff_t kStep = 8;
#endif

#if defined(JCAMP_LINE_SCAN_SSE2)
  static bool isSpecial(char c) {
    return static_cast<signed char>(c) < '\n' || c == '$';
  }
#endif

  void load() {
    const ptrdiff_t left = end_ - block_;
    if (left >= kStep) {
#if defined(JCAMP_LINE_SCAN_SSE2)
      const __m128i block = loadBlock(block_);
      const __m128i feeds = _mm_cmpeq_epi8(block, _mm_set1_epi8('\n'));
      const __m128i breaks =
          anyBreak_ ? _mm_or_si128(feeds, _mm_cmpeq_epi8(block, _mm_set1_epi8('\r'))) : feeds;
      // Below '\n' are NUL and tab (and other controls, which a plain
      // line may lack too); bytes from 0x80 on count as below as well.
      const __m128i specials = _mm_or_si128(_mm_cmplt_epi8(block, _mm_set1_epi8('\n')),
                                            _mm_cmpeq_epi8(block, _mm_set1_epi8('$')));
      matches_ = static_cast<uint32_t>(_mm_movemask_epi8(breaks));
      specials_ = static_cast<uint32_t>(_mm_movemask_epi8(specials));
#else
      matches_ = wordMatches(block_);
      specials_ = ~0u;
#endif
      return;
    }
    // The last bytes one by one: what follows them may be more of the file.
    matches_ = 0;
#if defined(JCAMP_LINE_SCAN_SSE2)
    specials_ = 0;
#else
    specials_ = ~0u;  // without SSE2 no line counts as plain
#endif
    for (ptrdiff_t i = 0; i < left; ++i) {
      if (block_[i] == '\n' || (anyBreak_ && block_[i] == '\r')) matches_ |= 1u << i;
#if defined(JCAMP_LINE_SCAN_SSE2)
      if (isSpecial(block_[i])) specials_ |= 1u << i;
#endif
    }
  }

#if !defined(JCAMP_LINE_SCAN_SSE2)
  // One bit per byte of the word at p that is a break.
  uint32_t wordMatches(const char* p) const {
    const uint64_t word = loadWord(p);
    uint64_t flags = bytesEqualTo(word, '\n') | (anyBreak_ ? bytesEqualTo(word, '\r') : 0);
    uint32_t bits = 0;
    for (int i = 0; flags != 0; ++i, flags >>= 8) bits |= (flags & 0x80) != 0 ? 1u << i : 0;
    return bits;
  }
#endif

  char* block_;
  char* const end_;
  const bool anyBreak_;
  uint32_t matches_ = 0;
  uint32_t specials_ = 0;  // tabs, '$' and NULs of the block
};

// Where the input ends (at the first Ctrl-Z) and how many line feeds it holds,
// taken piece by piece as the bytes arrive; and whether it ended early: text
// after the Ctrl-Z, or fewer bytes than the file holds.
class InputExtent {
 public:
  void take(const char* piece, size_t size) {
    if (ended_) return;
    const auto* stop = static_cast<const char*>(std::memchr(piece, kEndOfInput, size));
    const size_t used = stop != nullptr ? static_cast<size_t>(stop - piece) : size;
    feeds_ += countLineFeeds(piece, piece + used);
    length_ += used;
    ended_ = stop != nullptr;
    if (ended_) early_ = !std::all_of(stop, piece + size, isBlankOrEnd);
  }
  void cameUpShort() { early_ = true; }
  bool ended() const { return ended_; }
  bool early() const { return early_; }
  size_t length() const { return length_; }
  size_t feeds() const { return feeds_; }

 private:
  size_t length_ = 0;
  size_t feeds_ = 0;
  bool ended_ = false;
  bool early_ = false;
};

// Room for size bytes of text, a final NUL and the padding. The text part is
// left uninitialised: it is overwritten at once.
std::unique_ptr<char[]> textBuffer(uint64_t size) {
  if (size > std::numeric_limits<size_t>::max() / 2) throw std::bad_alloc();
  auto buffer = std::unique_ptr<char[]>(new char[static_cast<size_t>(size) + 1 + kPadding]);
  std::memset(buffer.get() + size, 0, 1 + kPadding);
  return buffer;
}

// Reads the file up to its measured length or its first Ctrl-Z; false when it
// cannot be measured. A read error ends the input, as it would end a stream.
bool readWholeFile(platform::FileHandle file, std::unique_ptr<char[]>& buffer,
                   InputExtent& extent) {
  const int64_t length = platform::fileLength(file);
  if (length < 0) return false;
  buffer = textBuffer(static_cast<uint64_t>(length));
  const size_t size = static_cast<size_t>(length);
  size_t done = 0;
  while (done < size && !extent.ended()) {
    const uint32_t want = static_cast<uint32_t>(std::min<size_t>(size - done, kReadChunk));
    const int32_t got = platform::readBytes(file, buffer.get() + done, want);
    if (got <= 0) break;
    extent.take(buffer.get() + done, static_cast<size_t>(got));
    done += static_cast<size_t>(got);
  }
  if (done < size) extent.cameUpShort();
  // A file that came up short leaves no unread bytes for the word-wise scans.
  std::memset(buffer.get() + done, 0, size - done);
  return true;
}

// The first '\0', tab or '$' at or after p, a block or a word at a time.
char* findTrimStop(char* p) {
#if defined(JCAMP_LINE_SCAN_SSE2)
  const __m128i nul = _mm_setzero_si128();
  const __m128i tab = _mm_set1_epi8('\t');
  const __m128i dollar = _mm_set1_epi8('$');
  for (;; p += kBlock) {
    const __m128i block = loadBlock(p);
    const __m128i stops =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, nul), _mm_cmpeq_epi8(block, tab)),
                     _mm_cmpeq_epi8(block, dollar));
    const auto found = static_cast<uint32_t>(_mm_movemask_epi8(stops));
    if (found != 0) return p + __builtin_ctz(found);
  }
#else
  for (;; p += 8) {
    const uint64_t word = loadWord(p);
    const uint64_t stops =
        bytesEqualTo(word, '\0') | bytesEqualTo(word, '\t') | bytesEqualTo(word, '$');
    if (stops != 0) return p + firstFlag(stops);
  }
#endif
}

// Upper-cases the name between "##" and "=" (or the line's end) and drops its
// blanks, "-", "/" and "_"; then drops the blanks right after the "=".
void normalizeLabelName(char* line) {
  char* read = line + 2;
  char* write = read;
  for (; *read != '\0' && *read != '='; ++read) {
    const char c = upperAscii(*read);
    if (!isLabelNameFiller(c)) *write++ = c;
  }
  if (*read != '=') {
    *write = '\0';
    return;
  }
  *write++ = '=';
  ++read;
  while (*read == ' ') ++read;
  if (write != read) std::memmove(write, read, std::strlen(read) + 1);
}

// Whether the label at line ("##...") is ##TITLE=, its name read as
// normalizeLabelName reads it.
bool namesTitle(const char* line) {
  const char* p = line + 2;
  for (const char* title = "TITLE="; *title != '\0'; ++p) {
    if (*p == '\0') return false;
    if (isLabelNameFiller(*p)) continue;
    if (upperAscii(*p) != *title++) return false;
  }
  return true;
}

// Ends the line that starts at start right after its last byte before end
// that is not a blank.
void endBeforeTrailingBlanks(char* start, char* end) {
  while (end > start && end[-1] == ' ') --end;
  *end = '\0';
}

// Tabs become blanks, leading blanks go (by moving the line's start), the line
// is cut at its first "$$", trailing blanks go. One pass over the line: only
// tabs and '$' stop it, blanks inside the line stay as they are.
char* trimLine(char* line) {
  char* p = line;
  while (*p == ' ' || *p == '\t') ++p;
  char* const start = p;
  for (;;) {
    p = findTrimStop(p);
    if (*p == '\t') {
      *p++ = ' ';
    } else if (*p == '$' && p[1] != '$') {
      ++p;
    } else {
      break;  // the end of the line, or a comment
    }
  }
  endBeforeTrailingBlanks(start, p);
  return start;
}

// Normalises the name of a label line; whether line is one.
bool normalizeIfLabel(char* line) {
  const bool label = isLabelLine(line);
  if (label) normalizeLabelName(line);
  return label;
}

}  // namespace

Status LineTable::loadLines(const char* path) {
  freeLines();
  platform::ScopedFile file(path);
  if (!file.isOpen()) return kStatusOpenFailed;
  try {
    InputExtent extent;
    if (!readWholeFile(file.handle(), text_, extent)) return kStatusOpenFailed;
    textStart_ = text_.get();
    endedEarly_ = extent.early();
    return splitLines(extent.length(), extent.feeds());
  } catch (const std::bad_alloc&) {
    freeLines();
    return kStatusNoMemoryToRead;
  }
}

Status LineTable::loadText(const char* text, size_t size) {
  freeLines();
  try {
    text_ = textBuffer(size);
    if (size > 0) std::memcpy(text_.get(), text, size);
    return useText(text_.get(), size);
  } catch (const std::bad_alloc&) {
    freeLines();
    return kStatusNoMemoryToRead;
  }
}

Status LineTable::useText(char* text, size_t size) {
  static_assert(kTextPadding >= 1 + kPadding, "a final NUL and the word-wise scans' padding");
  if (text != text_.get()) freeLines();
  try {
    textStart_ = text;
    const size_t parts = size >= kTextSplitInParts ? platform::WorkerPool::threadsHere() : 1;
    return splitInParts(size, parts);
  } catch (const std::bad_alloc&) {
    freeLines();
    return kStatusNoMemoryToRead;
  }
}

void LineTable::allocateLines(size_t count) {
  lines_ = platform::allocateLargeArray<char*>(count);
  if (!lines_) throw std::bad_alloc();
}

// Cuts the text, textStart_[0, size), into lines in place, in up to `threads`
// parts that each begin a line and go to a thread each: every part finds its
// end of input (a Ctrl-Z) and counts its breaks, then cuts its lines, and the
// parts' lines are joined in order.
Status LineTable::splitInParts(size_t size, size_t threads) {
  char* const text = textStart_;
  char* const textEnd = text + size;
  std::vector<TextPart> parts;
  parts.reserve(threads);
  for (char* begin = text; parts.size() < threads;) {
    char* end = textEnd;
    if (parts.size() + 1 < threads) {
      char* const from = std::max(begin, text + size / threads * (parts.size() + 1));
      if (auto* feed = static_cast<char*>(std::memchr(from, '\n', textEnd - from))) end = feed + 1;
    }
    TextPart part;
    part.begin = begin;
    part.end = end;
    parts.push_back(part);
    if (end == textEnd) break;
    begin = end;
  }
  // The input ends at the first Ctrl-Z: the parts after it go.
  platform::WorkerPool::forEachHere(parts.size(), [&](size_t k) {
    TextPart& part = parts[k];
    const char* stop = nullptr;
    part.breaks = countBreaksToEndOfInput(part.begin, part.end, rules_.anyLineEnd, &stop);
    part.stopped = stop != part.end;
    part.end = const_cast<char*>(stop);
  });
  size_t kept = 0;
  size_t breaks = 0;
  while (kept < parts.size()) {
    parts[kept].firstLine = breaks;
    breaks += parts[kept].breaks;
    if (parts[kept++].stopped) {
      endedEarly_ = !std::all_of(parts[kept - 1].end, textEnd, isBlankOrEnd);
      break;
    }
  }
  if (breaks >= std::numeric_limits<uint32_t>::max()) throw std::bad_alloc();
  allocateLines(breaks + 1);
  isLabel_.resize(breaks + 1);
  platform::WorkerPool::forEachHere(kept, [&](size_t k) {
    TextPart& part = parts[k];
    part.lines = splitPart(part.begin, part.end, k + 1 == kept, lines_.get() + part.firstLine,
                           isLabel_.data() + part.firstLine, part.cut);
  });
  // Under anyLineEnd a CR LF is two breaks but one line: the parts close up.
  count_ = 0;
  bool cut = false;
  for (size_t k = 0; k < kept && !cut; ++k) {
    const TextPart& part = parts[k];
    if (part.firstLine != count_) {
      std::memmove(lines_.get() + count_, lines_.get() + part.firstLine,
                   part.lines * sizeof(char*));
      std::memmove(isLabel_.data() + count_, isLabel_.data() + part.firstLine, part.lines);
    }
    count_ += static_cast<uint32_t>(part.lines);
    cut = part.cut;
  }
  isLabel_.resize(count_);
  if (cut || endedEarly_) cutLine_ = count_;
  return kStatusOk;
}

// Cuts the input, text_[0, length) holding feeds line feeds, into lines in
// place; the byte after the input is free for a final NUL.
Status LineTable::splitLines(size_t length, size_t feeds) {
  char* const begin = textStart_;
  // A line per line break, and one for the rest after the last break.
  const size_t breaks = rules_.anyLineEnd ? countLineBreaks(begin, begin + length) : feeds;
  if (breaks >= std::numeric_limits<uint32_t>::max()) throw std::bad_alloc();
  allocateLines(breaks + 1);
  isLabel_.resize(breaks + 1);
  bool cut = false;
  count_ = static_cast<uint32_t>(
      splitPart(begin, begin + length, true, lines_.get(), isLabel_.data(), cut));
  isLabel_.resize(count_);
  if (cut || endedEarly_) cutLine_ = count_;
  return kStatusOk;
}

// Cuts [begin, end) into lines in place, their starts into out: each line that
// a break ends, and, in the final part, the one after the last break (a
// part that is not final ends right after a line feed). Stops after a line
// too long for the line buffer (cut). Returns the lines written.
size_t LineTable::splitPart(char* begin, char* end, bool final, char** out, char* states,
                            bool& cut) const {
  const bool anyBreak = rules_.anyLineEnd;
  BreakFinder finder(begin, end, anyBreak);
  size_t count = 0;
  for (char* p = begin; final || p != end;) {
    bool plain = false;
    char* lineEnd = finder.next(p, plain);
    const bool last = lineEnd == end;
    // A CR right before a LF goes with it: as part of the break, or dropped.
    const bool crLf = !last && lineEnd[0] == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n';
    char* next = lineEnd + (crLf ? 2 : 1);
    if (!anyBreak && !last && lineEnd > p && lineEnd[-1] == '\r') --lineEnd;
    out[count] = p;
    states[count++] = kLineRaw;
    if (cutsLine(p, lineEnd)) {
      cut = true;
      return count;
    }
    *lineEnd = '\0';
    if (plain) {
      // Trimmed and named now, while its bytes are at hand: only blanks at
      // either end can go.
      char* start = p;
      while (*start == ' ') ++start;
      endBeforeTrailingBlanks(start, lineEnd);
      out[count - 1] = start;
      states[count - 1] = normalizeIfLabel(start) ? kLineLabel : kLineTrimmed;
    }
    if (last) break;
    p = next;
  }
  return count;
}

// A line too long for the line buffer keeps what fits, and nothing further is
// read; true when line [begin, end) is such a line.
bool LineTable::cutsLine(char* begin, const char* end) const {
  if (rules_.anyLineLength || end - begin < static_cast<ptrdiff_t>(kLineBufferSize)) return false;
  begin[kLineBufferSize - 1] = '\0';
  return true;
}

void LineTable::normalizeLine(uint32_t i) {
  char* line = trimLine(lines_[i]);
  lines_[i] = line;
  isLabel_[i] = normalizeIfLabel(line) ? 1 : 0;
}

bool LineTable::takeLabelLines(std::vector<uint32_t>& out) {
  bool listed = isLabel_.size() == count_;
  try {
    out.clear();
    for (uint32_t i = 0; listed && i < count_; ++i) {
      if (isLabel_[i] != 0) out.push_back(i);
    }
  } catch (const std::bad_alloc&) {
    listed = false;
  }
  isLabel_ = std::vector<char>();
  return listed;
}

void LineTable::normalizeLines() {
  // Plain lines were normalised as they were cut; the others are done here.
  if (isLabel_.size() != count_) isLabel_.assign(count_, kLineRaw);
  const auto normalize = [this](uint32_t i) {
    if (isLabel_[i] == kLineRaw) {
      normalizeLine(i);
    } else {
      isLabel_[i] = isLabel_[i] == kLineLabel ? 1 : 0;
    }
  };
  // Lines are independent: runs of them go to the threads at hand. The
  // block-wise scans read up to 15 bytes past a line's end, so the lines that
  // end that close to the next run, which another thread rewrites, wait until
  // the runs are done. They are found before any line start moves.
  const size_t runs = (count_ + kLinesPerRun - 1) / kLinesPerRun;
  std::vector<uint32_t> tails(runs);  // the first line of each run's tail
  for (size_t run = 0; run < runs; ++run) {
    const auto first = static_cast<uint32_t>(run * kLinesPerRun);
    const auto end = static_cast<uint32_t>(std::min<size_t>(count_, first + kLinesPerRun));
    uint32_t tail = end;
    while (end < count_ && tail > first &&
           lines_[end] - lines_[tail] < static_cast<ptrdiff_t>(kPadding)) {
      --tail;
    }
    tails[run] = tail;
  }
  platform::WorkerPool::forEachHere(runs, [&](size_t run) {
    for (auto i = static_cast<uint32_t>(run * kLinesPerRun); i < tails[run]; ++i) normalize(i);
  });
  for (size_t run = 0; run < runs; ++run) {
    const auto end = static_cast<uint32_t>(std::min<size_t>(count_, (run + 1) * kLinesPerRun));
    for (uint32_t i = tails[run]; i < end; ++i) normalize(i);
  }
}

uint32_t LineTable::passOverTextBeforeTitle(bool& passedOver) {
  passedOver = false;
  uint32_t title = 0;
  for (; title < count_; ++title) {
    char* const marks = std::strstr(lines_[title], "##");
    if (marks == nullptr || !namesTitle(marks)) continue;
    if (marks != lines_[title]) {
      passedOver = true;
      normalizeLabelName(marks);
      lines_[title] = marks;
      if (title < isLabel_.size()) isLabel_[title] = 1;
    }
    break;
  }
  if (title == count_) return count_;
  passedOver = passedOver || title > 0;
  for (uint32_t i = 0; i < title; ++i) {
    lines_[i] += std::strlen(lines_[i]);
    if (i < isLabel_.size()) isLabel_[i] = 0;
  }
  return title;
}

uint64_t LineTable::heldBytes() const {
  const auto sumRun = [this](size_t run) {
    const auto end = static_cast<uint32_t>(std::min<size_t>(count_, (run + 1) * kLinesPerRun));
    uint64_t sum = 0;
    for (auto i = static_cast<uint32_t>(run * kLinesPerRun); i < end; ++i) {
      sum += std::strlen(lines_[i]) + 1;
    }
    return sum;
  };
  const size_t runs = (count_ + kLinesPerRun - 1) / kLinesPerRun;
  uint64_t total = 0;
  try {
    std::vector<uint64_t> sums(runs, 0);
    platform::WorkerPool::forEachHere(runs, [&](size_t run) { sums[run] = sumRun(run); });
    for (const uint64_t sum : sums) total += sum;
  } catch (const std::bad_alloc&) {
    // No room for the runs' sums: one thread adds them all.
    total = 0;
    for (size_t run = 0; run < runs; ++run) total += sumRun(run);
  }
  return total;
}

void LineTable::freeLines() {
  lines_.reset();
  isLabel_ = std::vector<char>();
  text_.reset();
  textStart_ = nullptr;
  count_ = 0;
  cutLine_ = 0;
  endedEarly_ = false;
}

}  // namespace jcamp
