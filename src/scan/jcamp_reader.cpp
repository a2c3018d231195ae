#include "scan/jcamp_reader.h"

#include <algorithm>
#include <cstddef>
#include <new>

#include "platform/large_pages.h"

namespace jcamp {
namespace {

// Indexed by status code; "%s", "%d" and "%c" are filled where the raising
// operation gives them.
constexpr const char* kMessages[kStatusCount] = {
    "General file IO error",
    "Label %s missing in block number %d",
    "General JCAMP format error",
    "Not enough memory to store the matrix",
    "Illegal character \"%c\" in line %d",
    "Unexpected end of file %s",
    "Illegal ##BLOCKS= value: %d",
    "Tabular data XYDATA or XYPOINTS required",
    "Unexpected label in line %d",
    "X names are required",
    "X name error: \"%s\" (must be number)",
    "First line too long in JCAMP-DX file",
    "Illegal number string \"%s\" in line %d",
    "Number string \"%s\" too long in line %d",
    "Illegal NPOINTS value in data block number %d",
    "JCAMP X-values are different from other files in group",
    "Format error in ##CONCENTRATIONS data",
};

}  // namespace

JcampReader::JcampReader(JcampFileInfo* fileEntry) : entry(fileEntry) {}

JcampReader::~JcampReader() {
  closeFile();
}

const char* JcampReader::messageText(int32_t code) {
  return code >= 0 && code < kStatusCount ? kMessages[code] : "";
}

int32_t JcampReader::fail(int32_t code, std::initializer_list<MessageArg> args) {
  status = code;
  message = formatMessage(messageText(code), args);
  return 1;
}

void JcampReader::clearStatus() {
  status = kReaderOk;
  message.clear();
}

void JcampReader::allocValueBlock(int32_t rows, int32_t columns) {
  valueBlock.reset();
  if (rows <= 0 || columns <= 0) return;
  const int64_t elements = int64_t{rows} * columns;
  constexpr auto kAddressable = static_cast<uint64_t>(PTRDIFF_MAX) / sizeof(float);
  if (elements > kMaxBlockElements || static_cast<uint64_t>(elements) > kAddressable) return;
  if (!fitsScannedFile(elements)) return;
  valueBlock.reset(new (std::nothrow) float[static_cast<size_t>(elements)]);
  if (valueBlock)
    platform::preferLargePages(valueBlock.get(), static_cast<size_t>(elements) * sizeof(float));
}

// A real file holds at most about one value per byte (the corpus: 1.5 at
// most); compressed repeats can hold more, which the table decoders allow up
// to 16 values per character. Rows beyond the blocks a file holds, and points
// beyond those its table holds, are filled with 0 or "missing": a little of
// that is a damaged file, gigabytes of it a hostile header.
bool JcampReader::fitsScannedFile(int64_t elements) const {
  const int64_t bytes = std::max<int64_t>(fileLength_, 0);
  return elements <= std::max(kElementsAlwaysGranted, bytes * kElementsPerFileByte);
}

std::unique_ptr<float[]> JcampReader::takeValueBlock() {
  return std::move(valueBlock);
}

}  // namespace jcamp
