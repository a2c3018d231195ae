// Reads one JCAMP-DX file's values and names into its reader's value block and
// name lists; a file that cannot be read is reported in a message box.
#pragma once

#include <cstdint>

namespace jcamp {

class JcampReader;
class XGrid;
struct JcampFileInfo;

// Whether the builder names the X and Y variables: an import takes them from
// its first file only, and naming thousands of abscissas per file is costly.
enum class VariableNaming { kName, kSkip };

// The caller has scanned the header on reader and allocated its value block
// (blockRows x blockColumns). Returns 1 when the file was read, or when reading
// it failed and the user chose OK (the value block is then released); 0 when
// it failed and the user chose Cancel.
//
// matrixGrid is the matrix's X grid, which every block is compared with (the
// reader's diagnostics tell the outcome per row); when empty, or when none is
// given, the file's first block sets it. Under rowsForBlocks the builder
// decides the rows and allocates the value block itself (blockRows tells how
// many); blocks it refuses for their X grid are reported in one message box,
// whose Cancel also returns 0.
int32_t buildMatrix(JcampReader& reader, const JcampFileInfo& entry,
                    VariableNaming naming = VariableNaming::kName, XGrid* matrixGrid = nullptr);

// The two halves of buildMatrix. readMatrix returns 1 when the file was read,
// 0 when it failed (the reader then holds the status and message, no value
// block and no names); reportReadFailure shows the message box for such a file
// and reportRefusedBlocks the one for blocks left out; both return 1 for OK
// (or nothing to report), 0 for Cancel.
int32_t readMatrix(JcampReader& reader, const JcampFileInfo& entry, VariableNaming naming,
                   XGrid* matrixGrid);
int32_t reportReadFailure(const JcampReader& reader, const JcampFileInfo& entry);
int32_t reportRefusedBlocks(const JcampReader& reader, const JcampFileInfo& entry);

// The words shown for a reader or document status.
const char* statusMessage(uint32_t status);

}  // namespace jcamp
