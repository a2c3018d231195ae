// Writes rows of fields as CSV (RFC 4180 quoting) or TSV into an output
// buffer, as they come.
#pragma once

#include <string>
#include <string_view>

#include "output_buffer.h"

struct TableFormat {
  bool tsv = false;
  // Text fields as UTF-8: bytes that are not valid UTF-8 are read as Latin-1.
  bool utf8 = false;
};

class TableWriter {
 public:
  TableWriter(OutputBuffer& out, TableFormat format) : out_(out), format_(format) {}

  // A text field, quoted or cleaned as the format needs.
  void field(std::string_view text);
  // A field that needs neither quoting nor conversion (a number): written
  // into the buffer by write(char* at) -> end, at most `most` bytes.
  template <typename Write>
  void plainField(size_t most, Write write) {
    separate();
    char* at = out_.reserve(most);
    out_.advance(static_cast<size_t>(write(at) - at));
  }
  // count such fields at once: field i written by write(i, char* at) -> end,
  // at most `most` bytes each.
  template <typename Write>
  void plainFields(size_t count, size_t most, Write write) {
    constexpr size_t kBatch = 1024;  // fields whose room is asked for at once
    const char separator = format_.tsv ? '\t' : ',';
    for (size_t first = 0; first < count; first += kBatch) {
      const size_t end = first + kBatch < count ? first + kBatch : count;
      char* const start = out_.reserve((end - first) * (most + 1));
      char* at = start;
      for (size_t i = first; i < end; ++i) {
        if (rowStarted_) *at++ = separator;
        rowStarted_ = true;
        at = write(i, at);
      }
      out_.advance(static_cast<size_t>(at - start));
    }
  }
  void endRow();

 private:
  void separate() {
    if (rowStarted_) out_.put(format_.tsv ? '\t' : ',');
    rowStarted_ = true;
  }

  OutputBuffer& out_;
  TableFormat format_;
  bool rowStarted_ = false;
  std::string converted_;
};

// text as UTF-8: unchanged when it is valid UTF-8, else each byte as Latin-1.
std::string asUtf8(std::string_view text);
