#include <stddef.h>

#include "glue.h"

/* Length of the UTF-8 sequence that starts at s, or 0 when it is not one
   (overlong forms, surrogates and code points past U+10FFFF included). */
static size_t utf8_sequence(const unsigned char* s) {
  const unsigned char c = s[0];
  size_t length;
  unsigned int lowest;
  unsigned int point;
  size_t i;
  if (c < 0xC2 || c > 0xF4) return 0;
  length = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  lowest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
  point = c & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
  for (i = 1; i < length; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    point = (point << 6) | (s[i] & 0x3F);
  }
  if (point < lowest || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF)) return 0;
  return length;
}

SEXP jcamp_r_text(const char* text) {
  const unsigned char* s = (const unsigned char*)text;
  int ascii = 1;
  while (*s != 0) {
    if (*s < 0x80) {
      ++s;
      continue;
    }
    ascii = 0;
    const size_t length = utf8_sequence(s);
    if (length == 0) return Rf_mkCharCE(text, CE_LATIN1);
    s += length;
  }
  return Rf_mkCharCE(text, ascii ? CE_NATIVE : CE_UTF8);
}
