#include "table_writer.h"

namespace {

// The length of the UTF-8 sequence that starts at text[i], or 0 when none does.
size_t sequenceLength(std::string_view text, size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;  // the first continuation byte's range
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

bool isValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t length = sequenceLength(text, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

}  // namespace

std::string asUtf8(std::string_view text) {
  if (isValidUtf8(text)) return std::string(text);
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | byte >> 6));
      out.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
    }
  }
  return out;
}

void TableWriter::field(std::string_view text) {
  separate();
  if (format_.utf8) {
    converted_ = asUtf8(text);
    text = converted_;
  }
  if (format_.tsv) {
    // TSV has no quoting: a tab or line break inside a name becomes a blank.
    for (const char c : text) out_.put(c == '\t' || c == '\r' || c == '\n' ? ' ' : c);
    return;
  }
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out_.append(text);
    return;
  }
  out_.put('"');
  for (const char c : text) {
    if (c == '"') out_.put('"');
    out_.put(c);
  }
  out_.put('"');
}

void TableWriter::endRow() {
  out_.put('\n');
  rowStarted_ = false;
}
