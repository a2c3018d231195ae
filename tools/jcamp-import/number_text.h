// Values as text: the library's getData text, and the shortest round trip.
#pragma once

#include <cstddef>

// Room for the longest text either function writes: both may write past the
// end they return, never past kNumberTextMax bytes.
constexpr size_t kNumberTextMax = 64;

// getData's text of a value that is not missing: the float widened to
// double, six decimals ("%f"). Writes into out, returns the end.
char* writeFixedText(char* out, float value);

// The shortest text that reads back to the same float; nothing for NaN
// (a missing value). Returns the end.
char* writeShortestText(char* out, float value);
