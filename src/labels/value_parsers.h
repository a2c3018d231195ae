// Parsers of label values and table tokens. They read like formatted stream
// extraction in the classic locale (longest valid prefix; a failed extraction
// leaves its target and fails the rest), never look at the process locale,
// never allocate and never throw. A null text reads as an empty one.
#pragma once

#include <cstdint>

namespace jcamp {

uint32_t parseUnsigned(const char* text);  // empty: 0
int32_t parseInt(const char* text);        // empty: 0
float parseFloat(const char* text);        // empty: kUnsetValue
double parseDouble(const char* text);      // empty: kUnsetValue widened
void parseFloatPair(const char* text, float values[2]);
void parseChamber(const char* text, char code[5], float values[3]);
void parseDate(const char* text, uint32_t& year, uint32_t& month, uint32_t& day);
void parseTime(const char* text, uint32_t& hour, uint32_t& minute, float& seconds);
void parseLongDate(const char* text, uint32_t& year, uint32_t& month, uint32_t& day, uint32_t& hour,
                   uint32_t& minute, float& seconds, int32_t& zone);

}  // namespace jcamp
