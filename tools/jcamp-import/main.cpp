// jcamp-import: the host program. Loads the import library at run time, adds
// the files named on the command line, runs the import and writes the matrix.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "file_list.h"
#include "jcamp_library.h"
#include "options.h"
#include "progress.h"
#include "table_writer.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr size_t kTextBufferSize = 4096;  // longer than any name the library writes
constexpr int32_t kAnswerOk = 1;
constexpr int32_t kAnswerCancel = 2;

// What the message box handler needs to answer for the user.
struct BoxAnswer {
  bool stop = false;
  Progress* progress = nullptr;
};

// Answers the library's message box: the text goes to standard error.
int32_t answerMessageBox(const char* text, uint32_t /*type*/, void* context) {
  const BoxAnswer& answer = *static_cast<const BoxAnswer*>(context);
  if (answer.progress != nullptr) answer.progress->clear();
  std::fprintf(stderr, "jcamp-import: %s\n", text);
  if (answer.stop) std::fprintf(stderr, "jcamp-import: stopping the import (--on-error=stop)\n");
  return answer.stop ? kAnswerCancel : kAnswerOk;
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

bool addFiles(JcampLibrary& library, uint32_t handle, const Options& options, Progress& progress) {
  bool allAdded = true;
  const int64_t total = static_cast<int64_t>(options.files.size());
  int64_t done = 0;
  for (const std::string& file : options.files) {
    progress.update("reading headers", ++done, total);
    const int32_t result = library.addFileName(handle, file.c_str());
    if (result == JCAMP_OK) continue;
    allAdded = false;
    progress.clear();
    reportResult(file, result,
                 result == JCAMP_BAD_HEADER ? refusalMessage(library, file) : std::string());
  }
  return allAdded;
}

std::string textOf(int32_t result, const std::vector<char>& buffer) {
  return result == JCAMP_OK ? std::string(buffer.data()) : std::string();
}

// One row of output: a leading name, then one text per column, read on demand.
template <typename NameOf, typename ValueOf>
void writeRows(TableWriter& writer, int32_t rows, int32_t columns, NameOf nameOf, ValueOf valueOf,
               Progress& progress) {
  for (int32_t row = 0; row < rows; ++row) {
    progress.update("writing row", row + 1, rows);
    writer.field(nameOf(row));
    for (int32_t column = 0; column < columns; ++column) writer.field(valueOf(row, column));
    writer.endRow();
  }
}

// Streams the matrix row by row straight from the library: nothing is
// collected in a second copy, however large the import.
bool writeMatrix(JcampLibrary& library, uint32_t handle, const Options& options, std::ostream& out,
                 Progress& progress) {
  int32_t samples = 0;
  int32_t variables = 0;
  if (library.getNumberOfSamples(handle, &samples) != JCAMP_OK ||
      library.getNumberOfVariables(handle, &variables) != JCAMP_OK) {
    return false;
  }
  std::vector<char> buffer(kTextBufferSize, '\0');
  const auto sampleName = [&](int32_t s) {
    return textOf(library.getSampleName(handle, s, buffer.data()), buffer);
  };
  const auto variableName = [&](int32_t v) {
    return textOf(library.getVariableName(handle, v, buffer.data()), buffer);
  };
  const auto value = [&](int32_t s, int32_t v) {
    return textOf(library.getData(handle, s, v, buffer.data()), buffer);
  };
  TableWriter writer(out, options.tsv);
  if (options.transpose) {
    writer.field("Variable");
    for (int32_t s = 0; s < samples; ++s) writer.field(sampleName(s));
    writer.endRow();
    writeRows(
        writer, variables, samples, variableName, [&](int32_t v, int32_t s) { return value(s, v); },
        progress);
  } else {
    writer.field("Sample");
    for (int32_t v = 0; v < variables; ++v) writer.field(variableName(v));
    writer.endRow();
    writeRows(writer, samples, variables, sampleName, value, progress);
  }
  out.flush();
  return static_cast<bool>(out);
}

// Writes to a side file and renames it at the end, so a failed run leaves no half matrix.
bool writeMatrixToFile(JcampLibrary& library, uint32_t handle, const Options& options,
                       Progress& progress) {
  const std::string partial = options.outputPath + ".part";
  bool written;
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) {
      std::fprintf(stderr, "jcamp-import: cannot write %s\n", partial.c_str());
      return false;
    }
    written = writeMatrix(library, handle, options, out, progress);
  }
  if (written && std::rename(partial.c_str(), options.outputPath.c_str()) == 0) return true;
  std::remove(partial.c_str());
  progress.clear();
  std::fprintf(stderr, "jcamp-import: cannot write %s\n", options.outputPath.c_str());
  return false;
}

// The import dialog opens in the current directory and leaves it at the
// chosen folder: a relative output path is taken before either.
int32_t chooseAndImport(JcampLibrary& library, uint32_t handle, const Options& options) {
  std::error_code error;
  if (!options.files.empty()) std::filesystem::current_path(options.files.front(), error);
  if (error) {
    std::fprintf(stderr, "jcamp-import: cannot open the folder %s\n",
                 options.files.front().c_str());
    return JCAMP_NOT_READY;
  }
  return library.importDataUI(handle);
}

int importFiles(JcampLibrary& library, Options options, Progress& progress) {
  if (options.choose && !options.outputPath.empty()) {
    options.outputPath = std::filesystem::absolute(options.outputPath).string();
  }
  ImportHandle handle(library);
  if (!handle.opened()) {
    std::fprintf(stderr, "jcamp-import: the library cannot open an import handle\n");
    return kExitFailed;
  }
  int32_t result;
  if (options.choose) {
    result = chooseAndImport(library, handle.get(), options);
  } else {
    if (!addFiles(library, handle.get(), options, progress)) return kExitFailed;
    progress.update("importing");
    result = library.importData(handle.get());
  }
  if (result != JCAMP_OK) {
    progress.clear();
    reportResult("import", result, std::string());
    return kExitFailed;
  }
  const bool written = options.outputPath.empty()
                           ? writeMatrix(library, handle.get(), options, std::cout, progress)
                           : writeMatrixToFile(library, handle.get(), options, progress);
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
  if (!library.loadForProgram(options.libraryPath)) {
    std::fprintf(stderr, "jcamp-import: %s\n", library.error().c_str());
    return kExitFailed;
  }
  if (options.list) return listFiles(library, options.files, stdout) ? kExitOk : kExitFailed;
  Progress progress;
  BoxAnswer answer{options.stopOnError, &progress};
  library.setMessageBoxHandler(answerMessageBox, &answer);
  const int exitCode = importFiles(library, options, progress);
  library.setMessageBoxHandler(nullptr, nullptr);
  return exitCode;
}
