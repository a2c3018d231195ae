// The lines of one JCAMP-DX file, loaded whole and brought into normal form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "labels/label_record.h"
#include "labels/reading_rules.h"
#include "platform/large_blocks.h"

namespace jcamp {

// A line holds at most kLineBufferSize - 1 characters; a longer line is cut
// there and ends the table.
constexpr uint32_t kLineBufferSize = 128;

// Whether a line starts a labelled record ("##name=value").
inline bool isLabelLine(const char* line) {
  return line[0] == '#' && line[1] == '#';
}

// The file is read as a text file is on Windows, on every platform: a CR right
// before a LF is dropped, a lone CR stays in its line, a Ctrl-Z ends the input.
// Every line is read, so a file ending in a line feed has one more, empty line.
// Under the rules anyLineEnd and anyLineLength a lone CR ends a line too, and
// no line is cut.
//
// All lines live in one buffer holding the file's bytes; each line is a
// NUL-terminated, writable string inside it. Later stages may change a line in
// place or advance its start, but never lengthen it.
class LineTable {
 public:
  explicit LineTable(const ReadingRules& rules) : rules_(rules) {}

  // Fills the table with the lines of the file at path, as they stand before
  // normalizeLines (a plain line, without tab, '$' or control byte, may be
  // normalised already as it is cut): kStatusOk, kStatusOpenFailed, or
  // kStatusNoMemoryToRead (the table is then empty).
  Status loadLines(const char* path);
  // The same from bytes in memory.
  Status loadText(const char* text, size_t size);
  // The same from bytes the caller holds, used in place: size bytes followed
  // by at least kTextPadding zero bytes, changed by the table and its later
  // stages, and kept by the caller as long as the table.
  static constexpr size_t kTextPadding = 17;
  Status useText(char* text, size_t size);

  // Tabs to blanks, leading blanks off, "$$" comments off, trailing blanks off,
  // and label names ("##name=") in upper case without blanks, "-", "/" and "_".
  void normalizeLines();
  // After normalizeLines: finds the first ##TITLE= label, also one that other
  // text precedes in its line (that text goes, the label is normalised), and
  // empties every line before it; the lines keep their numbers. Returns the
  // title's line, or count() when there is none (nothing is changed then);
  // passedOver tells whether any text or line went.
  uint32_t passOverTextBeforeTitle(bool& passedOver);
  // After normalizeLines: the lines that start with "##", in order; those are
  // the label lines. They are handed over once, so that line starts may move
  // afterwards. False when the lines were not normalised (or were handed over
  // already) or there is no memory to list them.
  bool takeLabelLines(std::vector<uint32_t>& out);

  void freeLines();

  uint32_t count() const { return count_; }
  char* line(uint32_t index) const { return lines_[index]; }
  // Advances the start of a line to a position inside it; only after the
  // label lines were taken. Lines apart may move on different threads.
  void setLineStart(uint32_t index, char* start) { lines_[index] = start; }
  LineView view() const { return LineView{lines_.get(), count_}; }
  // The bytes the lines hold as they now are, each with its final NUL.
  uint64_t heldBytes() const;
  // The line (from 1) where the input stopped before the end of the file: a
  // line cut at 127 characters, a Ctrl-Z before more text, a read that came up
  // short. 0 when the whole file was read.
  uint32_t cutLine() const { return cutLine_; }

 private:
  // A stretch of the text that begins a line, cut into lines by one thread.
  struct TextPart {
    char* begin = nullptr;
    char* end = nullptr;
    bool stopped = false;  // a Ctrl-Z ends the input in this part, at end
    size_t breaks = 0;     // line feeds, or under anyLineEnd CRs and LFs
    size_t firstLine = 0;  // where its lines go in lines_
    size_t lines = 0;
    bool cut = false;  // its last line was too long: nothing after it is read
  };
  // Room for count line starts; throws std::bad_alloc when there is none.
  void allocateLines(size_t count);
  Status splitLines(size_t length, size_t feeds);
  Status splitInParts(size_t size, size_t threads);
  // states receives each line's entry for isLabel_.
  size_t splitPart(char* begin, char* end, bool final, char** out, char* states, bool& cut) const;
  bool cutsLine(char* begin, const char* end) const;
  // Trims line i and normalises its label name.
  void normalizeLine(uint32_t i);

  ReadingRules rules_;
  bool endedEarly_ = false;  // the input stopped before the file's end
  uint32_t cutLine_ = 0;
  std::unique_ptr<char[]> text_;       // the file's bytes, then a final NUL and zeroed padding
  char* textStart_ = nullptr;          // text_, or the caller's bytes
  platform::LargeArray<char*> lines_;  // count_ starts of lines inside text_
  std::vector<char> isLabel_;          // per line: see kLineRaw; after normalizeLines 1 or 0
  uint32_t count_ = 0;
};

}  // namespace jcamp
