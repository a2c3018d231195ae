// libFuzzer target: the whole path through the exported functions. The
// input's last four bytes steer the run (reading mode, grid policy, one file
// or two, where the second begins, the answers to the message box); the bytes
// before them are the file or files. Every getter is asked, in range and just
// outside it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_file.h"
#include "jcampimport.h"

namespace {

constexpr size_t kControlBytes = 4;
constexpr int32_t kMostIndexes = 8;  // indexes asked from each end of a range

struct Control {
  int32_t mode = JCAMP_MODE_HOST_COMPATIBLE;
  bool twoFiles = false;
  bool sameFileTwice = false;
  bool badModeFirst = false;
  int32_t grid = JCAMP_GRID_NONE;
  bool gridUnits = false;  // an explicit grid in 1/CM rather than the first row's units
  size_t split = 0;
  uint32_t answers = 0;  // one bit per message box: OK or Cancel
};

Control readControl(const uint8_t* control, size_t bodySize) {
  Control c;
  c.mode = control[0] & 1 ? JCAMP_MODE_STANDARD : JCAMP_MODE_HOST_COMPATIBLE;
  c.twoFiles = (control[0] & 2) != 0;
  c.sameFileTwice = (control[0] & 4) != 0;
  c.badModeFirst = (control[0] & 8) != 0;
  c.grid = (control[0] >> 4) & 3;
  c.gridUnits = (control[0] & 64) != 0;
  c.split = bodySize * control[1] / 256;
  c.answers = uint32_t{control[2]} | uint32_t{control[3]} << 8;
  return c;
}

int32_t answerBox(const char* text, uint32_t type, void* context) {
  auto* answers = static_cast<uint32_t*>(context);
  const int32_t answer = (*answers & 1) != 0 ? 2 : 1;
  *answers = *answers >> 1 | (*answers & 1) << 15;
  // Touch the whole text, so that the sanitizers see its bytes.
  return text != nullptr && std::strlen(text) > 0 && type != 0 ? answer : 1;
}

// Indexes 0.., the last ones and one past each end.
std::vector<int32_t> probeIndexes(int32_t count) {
  std::vector<int32_t> indexes = {-1, count, INT32_MIN, INT32_MAX};
  for (int32_t i = 0; i < std::min(count, kMostIndexes); ++i) indexes.push_back(i);
  for (int32_t i = std::max(kMostIndexes, count - kMostIndexes); i < count; ++i) {
    indexes.push_back(i);
  }
  return indexes;
}

volatile uint32_t sink;

void readEverything(uint32_t handle) {
  int32_t samples = 0;
  int32_t variables = 0;
  int32_t files = 0;
  getNumberOfSamples(handle, &samples);
  getNumberOfVariables(handle, &variables);
  getNoOfFiles(handle, &files);
  std::vector<char> buffer(1 << 16);
  uint32_t seen = 0;
  for (int32_t f : probeIndexes(files)) {
    getFileName(handle, f, buffer.data());
    seen += static_cast<uint32_t>(std::strlen(buffer.data()));
  }
  for (int32_t v : probeIndexes(variables)) {
    if (getVariableName(handle, v, buffer.data()) == JCAMP_OK) {
      seen += static_cast<uint32_t>(std::strlen(buffer.data()));
    }
  }
  const int32_t rowLength = std::min(std::max(variables, 0), 4096);
  std::vector<float> row(static_cast<size_t>(rowLength) + 1);
  for (int32_t s : probeIndexes(samples)) {
    if (getSampleName(handle, s, buffer.data()) == JCAMP_OK) {
      seen += static_cast<uint32_t>(std::strlen(buffer.data()));
    }
    for (int32_t v : probeIndexes(variables)) {
      if (getData(handle, s, v, buffer.data()) == JCAMP_OK) seen += buffer[0];
    }
    getValues(handle, s, 0, rowLength, row.data());
    getValues(handle, s, std::max(variables - 1, 0), 2, row.data());
    JcampSampleInfo info{};
    info.size = sizeof info;
    if (getSampleInfo(handle, s, &info) == JCAMP_OK) seen += info.checkFlags + info.warnings;
  }
  sink = seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kControlBytes) return 0;
  static FuzzFile first("first");
  static FuzzFile second("second");
  const size_t body = size - kControlBytes;
  Control control = readControl(data + body, body);
  const size_t firstSize = control.twoFiles ? control.split : body;
  const char* firstPath = first.write(data, firstSize);
  const char* secondPath =
      control.sameFileTwice ? firstPath : second.write(data + firstSize, body - firstSize);
  setMessageBoxHandler(answerBox, &control.answers);

  char message[256];
  checkFileNameMode(firstPath, control.mode, message, sizeof message);
  checkFileNameMode(secondPath, control.mode, nullptr, 0);

  uint32_t handle = 0;
  if (openHandleUDI(&handle) != JCAMP_OK) __builtin_trap();
  if (control.badModeFirst) setReadingMode(handle, 7);
  setReadingMode(handle, control.mode);
  if (control.grid != JCAMP_GRID_NONE) {
    // Refused in the host-compatible mode; resampling in the standard one.
    JcampGrid grid{};
    grid.size = sizeof grid;
    grid.policy = control.grid;
    grid.first = 4000;
    grid.last = 0;
    grid.count = 401;
    std::strcpy(grid.units, control.gridUnits ? "1/CM" : "");
    setGrid(handle, &grid);
  }
  addFileName(handle, firstPath);
  if (control.twoFiles || control.sameFileTwice) addFileName(handle, secondPath);
  readEverything(handle);  // before the import: every getter answers "not ready"
  importData(handle);
  readEverything(handle);
  // A second import reads the files again, and a file added after it is listed only.
  if (control.answers & 0x100) {
    addFileName(handle, firstPath);
    importData(handle);
    readEverything(handle);
  }
  if (closeHandleUDI(handle) != JCAMP_OK) __builtin_trap();
  setMessageBoxHandler(nullptr, nullptr);
  return 0;
}
