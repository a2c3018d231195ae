// Reads one JCAMP-DX file's values and names into its reader's value block and
// name lists; a file that cannot be read is reported in a message box.
#pragma once

#include <cstdint>

namespace jcamp {

class JcampReader;
struct JcampFileInfo;

// Whether the builder names the X and Y variables: an import takes them from
// its first file only, and naming thousands of abscissas per file is costly.
enum class VariableNaming { kName, kSkip };

// The caller has scanned the header on reader and allocated its value block
// (blockRows x blockColumns). Returns 1 when the file was read, or when reading
// it failed and the user chose OK (the value block is then released); 0 when
// it failed and the user chose Cancel.
int32_t buildMatrix(JcampReader& reader, const JcampFileInfo& entry,
                    VariableNaming naming = VariableNaming::kName);

// The builder's failure path for an allocation that failed around it: the
// "not enough memory" message, the value block released; 1 for OK, 0 for Cancel.
int32_t reportNoMemory(JcampReader& reader, const JcampFileInfo& entry);

// The words shown for a reader or document status.
const char* statusMessage(uint32_t status);

}  // namespace jcamp
