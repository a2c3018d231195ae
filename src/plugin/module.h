// Module-level operations behind the exports that need no handle.
#pragma once

#include <cstdint>

namespace jcamp {

// Runs the header scan on fileName and returns its status (100 when usable),
// copying the reader's message, cut to fit and NUL-terminated, into message.
int32_t checkFile(const char* fileName, char* message, uint32_t messageSize);

}  // namespace jcamp
