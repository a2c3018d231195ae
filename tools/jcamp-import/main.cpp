// jcamp-import: the host program. Loads the import library at run time, adds
// the files named on the command line, runs the import and writes the matrix.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "file_list.h"
#include "jcamp_library.h"
#include "options.h"
#include "table_writer.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr size_t kTextBufferSize = 4096;  // longer than any name the library writes
constexpr int32_t kAnswerOk = 1;
constexpr int32_t kAnswerCancel = 2;

// Answers the library's message box: the text goes to standard error.
int32_t answerMessageBox(const char* text, uint32_t /*type*/, void* context) {
  const bool stop = *static_cast<const bool*>(context);
  std::fprintf(stderr, "jcamp-import: %s\n", text);
  if (stop) std::fprintf(stderr, "jcamp-import: stopping the import (--on-error=stop)\n");
  return stop ? kAnswerCancel : kAnswerOk;
}

void reportResult(const std::string& subject, int32_t result, const std::string& message) {
  std::fprintf(stderr, "jcamp-import: %s: result %d (%s)%s%s\n", subject.c_str(), result,
               describeResult(result), message.empty() ? "" : ": ", message.c_str());
}

// The header scan's reason for refusing a file.
std::string refusalMessage(JcampLibrary& library, const std::string& file) {
  std::vector<char> message(kTextBufferSize, '\0');
  const int32_t status =
      library.checkFileName(file.c_str(), message.data(), static_cast<uint32_t>(message.size()));
  if (status == JCAMP_HEADER_OK) return std::string();
  return std::string(message.data()) + " (status " + std::to_string(status) + ")";
}

class ImportHandle {
 public:
  explicit ImportHandle(JcampLibrary& library) : library_(library) {
    opened_ = library_.openHandleUDI(&handle_) == JCAMP_OK;
  }
  ~ImportHandle() {
    if (opened_) library_.closeHandleUDI(handle_);
  }
  bool opened() const { return opened_; }
  uint32_t get() const { return handle_; }

 private:
  JcampLibrary& library_;
  uint32_t handle_ = 0;
  bool opened_ = false;
};

bool addFiles(JcampLibrary& library, uint32_t handle, const Options& options) {
  bool allAdded = true;
  for (const std::string& file : options.files) {
    const int32_t result = library.addFileName(handle, file.c_str());
    if (result == JCAMP_OK) continue;
    allAdded = false;
    reportResult(file, result,
                 result == JCAMP_BAD_HEADER ? refusalMessage(library, file) : std::string());
  }
  return allAdded;
}

std::string textOf(int32_t result, const std::vector<char>& buffer) {
  return result == JCAMP_OK ? std::string(buffer.data()) : std::string();
}

// Streams the matrix row by row straight from the library.
bool writeMatrix(JcampLibrary& library, uint32_t handle, std::ostream& out, bool tsv) {
  int32_t samples = 0;
  int32_t variables = 0;
  if (library.getNumberOfSamples(handle, &samples) != JCAMP_OK ||
      library.getNumberOfVariables(handle, &variables) != JCAMP_OK) {
    return false;
  }
  std::vector<char> buffer(kTextBufferSize, '\0');
  TableWriter writer(out, tsv);
  writer.field("Sample");
  for (int32_t v = 0; v < variables; ++v) {
    writer.field(textOf(library.getVariableName(handle, v, buffer.data()), buffer));
  }
  writer.endRow();
  for (int32_t s = 0; s < samples; ++s) {
    writer.field(textOf(library.getSampleName(handle, s, buffer.data()), buffer));
    for (int32_t v = 0; v < variables; ++v) {
      writer.field(textOf(library.getData(handle, s, v, buffer.data()), buffer));
    }
    writer.endRow();
  }
  out.flush();
  return static_cast<bool>(out);
}

// Writes to a side file and renames it at the end, so a failed run leaves no half matrix.
bool writeMatrixToFile(JcampLibrary& library, uint32_t handle, const Options& options) {
  const std::string partial = options.outputPath + ".part";
  bool written;
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) {
      std::fprintf(stderr, "jcamp-import: cannot write %s\n", partial.c_str());
      return false;
    }
    written = writeMatrix(library, handle, out, options.tsv);
  }
  if (written && std::rename(partial.c_str(), options.outputPath.c_str()) == 0) return true;
  std::remove(partial.c_str());
  std::fprintf(stderr, "jcamp-import: cannot write %s\n", options.outputPath.c_str());
  return false;
}

int importFiles(JcampLibrary& library, const Options& options) {
  ImportHandle handle(library);
  if (!handle.opened()) {
    std::fprintf(stderr, "jcamp-import: the library cannot open an import handle\n");
    return kExitFailed;
  }
  if (!addFiles(library, handle.get(), options)) return kExitFailed;
  const int32_t result = library.importData(handle.get());
  if (result != JCAMP_OK) {
    reportResult("import", result, std::string());
    return kExitFailed;
  }
  const bool written = options.outputPath.empty()
                           ? writeMatrix(library, handle.get(), std::cout, options.tsv)
                           : writeMatrixToFile(library, handle.get(), options);
  return written ? kExitOk : kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  switch (parseOptions(argc, argv, options, error)) {
    case Command::kHelp:
      std::fputs(usageText(), stdout);
      return kExitOk;
    case Command::kVersion:
      std::printf("jcamp-import %s\n", JCAMP_VERSION);
      return kExitOk;
    case Command::kUsageError:
      std::fprintf(stderr, "jcamp-import: %s\n%s", error.c_str(), usageText());
      return kExitUsage;
    case Command::kRun:
      break;
  }
  std::ios::sync_with_stdio(false);

  JcampLibrary library;
  const std::string path = options.libraryPath.empty() ? JcampLibrary::executableDirectory() +
                                                             JcampLibrary::defaultFileName()
                                                       : options.libraryPath;
  if (!library.load(path)) {
    std::fprintf(stderr, "jcamp-import: %s\n", library.error().c_str());
    return kExitFailed;
  }
  library.setMessageBoxHandler(answerMessageBox, &options.stopOnError);
  if (options.list) return listFiles(library, options.files, stdout) ? kExitOk : kExitFailed;
  return importFiles(library, options);
}
