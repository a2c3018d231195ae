// Module-level operations behind the exports that need no handle.
#pragma once

#include <cstdint>

#include "labels/reading_rules.h"

namespace jcamp {

// Runs the header scan on fileName and returns its status (100 when usable),
// copying the reader's message, cut to fit and NUL-terminated, into message.
// The rules are those of a reading mode (kModeHostCompatible, kModeStandard).
int32_t checkFile(const char* fileName, const ReadingRules& rules, char* message,
                  uint32_t messageSize);

}  // namespace jcamp
