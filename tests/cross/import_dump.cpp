// import_dump: many independent imports in one process, written as text that
// must be byte for byte the same on every build. Each line of JOBS is one
// import: a reading mode ("host" or "standard"), then the files, separated by
// tabs; "grid=GRID" for the standard mode onto a grid (as jcamp-import's
// --grid GRID). For each job it writes what jcamp-import would (refusals, message
// boxes, warnings, the matrix with each row's origin), the files as
// --list shows them, and a hash of each row's float bits, which the six
// decimals of the host-compatible texts would hide.
//   import_dump JOBS OUT
// Built for every platform; scripts/run-wine-tests.sh compares the Windows
// builds' output under Wine with the Linux build's.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "file_list.h"
#include "file_shape.h"
#include "grid_option.h"
#include "jcamp_library.h"
#include "matrix_writer.h"
#include "output_buffer.h"
#include "refusals.h"
#include "row_warnings.h"

namespace {

struct Job {
  int32_t mode = JCAMP_MODE_STANDARD;
  std::string gridText;  // the GRID of a grid job
  JcampGrid grid{sizeof(JcampGrid), JCAMP_GRID_NONE, 0, 0, 0, {}};
  std::vector<std::string> files;
};

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
    fields.push_back(line.substr(start, tab - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

// False, with a message, on a line that is no job.
bool readJobs(const char* path, std::vector<Job>& jobs) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "import_dump: cannot read %s\n", path);
    return false;
  }
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::vector<std::string> fields = splitTabs(line);
    Job job;
    std::string error;
    const bool grid = fields[0].compare(0, 5, "grid=") == 0;
    if (grid) job.gridText = fields[0].substr(5);
    if (fields.size() < 2 || (fields[0] != "host" && fields[0] != "standard" && !grid) ||
        (grid && !parseGridOption(job.gridText, job.grid, error))) {
      std::fprintf(stderr, "import_dump: not a job: %s %s\n", line.c_str(), error.c_str());
      return false;
    }
    job.mode = fields[0] == "host" ? JCAMP_MODE_HOST_COMPATIBLE : JCAMP_MODE_STANDARD;
    job.files.assign(fields.begin() + 1, fields.end());
    jobs.push_back(std::move(job));
  }
  return true;
}

// The message boxes of one import, answered OK (the file is left out).
int32_t noteMessageBox(const char* text, uint32_t /*type*/, void* context) {
  static_cast<std::string*>(context)->append("message: ").append(text).append("\n");
  return 1;
}

void put(std::FILE* out, const std::string& line) {
  std::fputs((line + "\n").c_str(), out);
}

// FNV-1a over the bits of the row's floats, as 16 hexadecimal digits.
std::string hashRow(const std::vector<float>& values) {
  uint64_t hash = 14695981039346656037u;
  for (const float value : values) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int byte = 0; byte < 4; ++byte, bits >>= 8) {
      hash = (hash ^ (bits & 0xFF)) * 1099511628211u;
    }
  }
  std::string text(16, '0');
  for (size_t digit = text.size(); digit-- > 0; hash >>= 4)
    text[digit] = "0123456789abcdef"[hash & 15];
  return text;
}

void writeRowHashes(JcampLibrary& library, uint32_t handle, std::FILE* out) {
  int32_t samples = 0;
  int32_t variables = 0;
  library.getNumberOfSamples(handle, &samples);
  library.getNumberOfVariables(handle, &variables);
  std::vector<float> values(static_cast<size_t>(variables > 0 ? variables : 0));
  for (int32_t s = 0; s < samples; ++s) {
    const int32_t result = library.getValues(handle, s, 0, variables, values.data());
    put(out, "row " + std::to_string(s) + ": " + std::to_string(result) + " " + hashRow(values));
  }
}

// One job, as jcamp-import --with-origin (and --host-compatible) runs it.
void runJob(JcampLibrary& library, const Job& job, std::FILE* out) {
  const bool host = job.mode == JCAMP_MODE_HOST_COMPATIBLE;
  listFiles(library, job.files, job.mode, out);
  ImportHandle handle(library);
  if (!handle.opened() || library.setReadingMode(handle.get(), job.mode) != JCAMP_OK) {
    put(out, "no handle");
    return;
  }
  if (job.grid.policy != JCAMP_GRID_NONE && library.setGrid(handle.get(), &job.grid) != JCAMP_OK) {
    put(out, "no grid");
    return;
  }
  MatrixRows rows;
  FirstFile first;
  for (const std::string& file : job.files) {
    const int32_t result = library.addFileName(handle.get(), file.c_str());
    if (result == JCAMP_OK) {
      if (rows.files.empty()) first = {file, measureFile(library, file, job.mode)};
      rows.files.push_back(file);
      continue;
    }
    put(out, "refused " + file + ": " + std::to_string(result) + " " +
                 refusalReason(library, file, result, job.mode, first));
  }
  std::string messages;
  library.setMessageBoxHandler(noteMessageBox, &messages);
  const int32_t result = library.importData(handle.get());
  library.setMessageBoxHandler(nullptr, nullptr);
  put(out, messages + "import: " + std::to_string(result));
  if (result != JCAMP_OK) return;
  int32_t samples = 0;
  library.getNumberOfSamples(handle.get(), &samples);
  rows.rows = readRowInfo(library, handle.get(), samples);
  for (const std::string& line : warningLines(rows.rows, rows.files, host)) {
    put(out, "warning: " + line);
  }
  for (const std::string& line : partialCoverageLines(rows.rows, rows.files)) {
    put(out, "note: " + line);
  }
  MatrixLayout layout;
  layout.hostCompatible = host;
  layout.withOrigin = true;
  OutputBuffer buffer(out);
  if (!writeMatrix(library, handle.get(), layout, rows, buffer, [](int64_t, int64_t) {})) {
    put(out, "matrix not written");
  }
  writeRowHashes(library, handle.get(), out);
}

// Hosts built with Microsoft's compiler run with the x87 rounding to 53
// bits, as Windows starts every thread. The Windows builds run so here, while
// the Linux build keeps its 64 bits: the results must not depend on it.
void roundX87AsWindowsHostsDo() {
#if defined(_WIN32) && defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
  const uint16_t kDoublePrecision = 0x27F;
  __asm__ volatile("fldcw %0" : : "m"(kDoublePrecision));
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: import_dump JOBS OUT\n");
    return 2;
  }
  roundX87AsWindowsHostsDo();
  std::vector<Job> jobs;
  if (!readJobs(argv[1], jobs)) return 1;
  JcampLibrary library;
  if (!library.loadForProgram(std::string())) {
    std::fprintf(stderr, "import_dump: %s\n", library.error().c_str());
    return 1;
  }
  std::FILE* out = std::fopen(argv[2], "wb");
  if (out == nullptr) {
    std::fprintf(stderr, "import_dump: cannot write %s\n", argv[2]);
    return 1;
  }
  for (size_t j = 0; j < jobs.size(); ++j) {
    const std::string mode = !jobs[j].gridText.empty() ? "grid " + jobs[j].gridText
                             : jobs[j].mode == JCAMP_MODE_HOST_COMPATIBLE ? "host"
                                                                          : "standard";
    put(out, "=== job " + std::to_string(j + 1) + ": " + mode + ", " +
                 std::to_string(jobs[j].files.size()) + " files");
    runJob(library, jobs[j], out);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
