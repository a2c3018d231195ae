// jcamp-import: the host program. Loads the import library at run time, adds
// the files named on the command line, runs the import, says what is suspect
// about the rows and writes the matrix.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "file_list.h"
#include "file_shape.h"
#include "jcamp_library.h"
#include "matrix_writer.h"
#include "options.h"
#include "output_buffer.h"
#include "progress.h"
#include "refusals.h"
#include "row_warnings.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitLeftOut = 3;  // written, but files or blocks were left out
constexpr int32_t kAnswerOk = 1;
constexpr int32_t kAnswerCancel = 2;

void say(Progress& progress, const std::string& text) {
  progress.clear();
  std::fprintf(stderr, "jcamp-import: %s\n", text.c_str());
}

void reportResult(Progress& progress, const std::string& subject, int32_t result,
                  const std::string& reason) {
  say(progress, subject + ": result " + std::to_string(result) + " (" + describeResult(result) +
                    ")" + (reason.empty() ? "" : ": " + reason));
}

// The state of one run, shared with the message box handler.
struct Run {
  Run(JcampLibrary& library, const Options& options, Progress& progress)
      : library(library), options(options), progress(progress) {}

  JcampLibrary& library;
  const Options& options;
  Progress& progress;
  int32_t mode = JCAMP_MODE_STANDARD;
  std::vector<std::string> added;  // the library's files, in its order
  FirstFile first;
  bool leftOut = false;  // a file or a block was left out
};

// Answers the library's message box (a file or blocks that cannot be read):
// the text goes to standard error; skip goes on without them, stop cancels.
int32_t answerMessageBox(const char* text, uint32_t /*type*/, void* context) {
  Run& run = *static_cast<Run*>(context);
  say(run.progress, text);
  run.leftOut = true;
  if (!run.options.stopOnError) return kAnswerOk;
  say(run.progress, "stopping the import (--on-error=stop)");
  return kAnswerCancel;
}

// Adds every file; one that is refused is reported and left out, or stops
// the run. False when the run stops.
bool addFiles(Run& run, uint32_t handle) {
  const int64_t total = static_cast<int64_t>(run.options.files.size());
  int64_t done = 0;
  for (const std::string& file : run.options.files) {
    run.progress.update("reading headers", ++done, total);
    const int32_t result = run.library.addFileName(handle, file.c_str());
    if (result == JCAMP_OK) {
      if (run.added.empty()) run.first = {file, measureFile(run.library, file, run.mode)};
      run.added.push_back(file);
      continue;
    }
    reportResult(run.progress, file, result,
                 refusalReason(run.library, file, result, run.mode, run.first));
    run.leftOut = true;
    if (run.options.stopOnError) {
      say(run.progress, "stopping (--on-error=stop)");
      return false;
    }
  }
  return true;
}

// Warns of every suspect file and block; under --strict leaves out the rows
// of each file that has one, or stops the run. False when the run stops.
bool weighWarnings(Run& run, MatrixRows& rows) {
  const bool host = run.options.hostCompatible;
  for (const std::string& line : warningLines(rows.rows, rows.files, host)) {
    say(run.progress, "warning: " + line);
  }
  // A block whose table was left out is named above; the host-compatible
  // mode shows no message box for blocks it passes over, so they are counted here.
  if (host) {
    for (const std::string& line : unnamedLeftOutLines(rows.rows, rows.files)) {
      say(run.progress, line);
      run.leftOut = true;
    }
  }
  if (std::any_of(rows.rows.begin(), rows.rows.end(), lacksTable)) run.leftOut = true;
  rows.keep.assign(rows.rows.size(), true);
  if (!run.options.strict) return true;
  std::vector<bool> suspectFile(rows.files.size(), false);
  for (const JcampSampleInfo& info : rows.rows) {
    if (isSuspect(info) && info.fileIndex >= 0)
      suspectFile[static_cast<size_t>(info.fileIndex)] = true;
  }
  for (size_t f = 0; f < suspectFile.size(); ++f) {
    if (!suspectFile[f]) continue;
    run.leftOut = true;
    if (run.options.stopOnError) {
      say(run.progress, rows.files[f] + ": has warnings; stopping (--strict, --on-error=stop)");
      return false;
    }
    say(run.progress, rows.files[f] + ": has warnings; left out (--strict)");
  }
  for (size_t s = 0; s < rows.rows.size(); ++s) {
    const int32_t file = rows.rows[s].fileIndex;
    if (file >= 0 && suspectFile[static_cast<size_t>(file)]) rows.keep[s] = false;
  }
  return true;
}

bool writeTo(Run& run, uint32_t handle, const MatrixRows& rows, std::FILE* out) {
  MatrixLayout layout;
  layout.hostCompatible = run.options.hostCompatible;
  layout.tsv = run.options.tsv;
  layout.transpose = run.options.transpose;
  layout.withOrigin = run.options.withOrigin;
  OutputBuffer buffer(out);
  return writeMatrix(
      run.library, handle, layout, rows, buffer,
      [&run](int64_t done, int64_t total) { run.progress.update("writing row", done, total); });
}

// Whether path names something other than a regular file (a device such as
// /dev/null, a FIFO, a link): written through, never replaced.
bool isSpecialPath(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(path, error);
  return !error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

enum class FileWrite { kNotOpened, kFailed, kDone };

// The matrix into the file at path; says so when it cannot be opened.
FileWrite writeFile(Run& run, uint32_t handle, const MatrixRows& rows, const std::string& path) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    say(run.progress, "cannot write " + path);
    return FileWrite::kNotOpened;
  }
  const bool written = writeTo(run, handle, rows, out);
  const bool closed = std::fclose(out) == 0;
  return written && closed ? FileWrite::kDone : FileWrite::kFailed;
}

// Writes to a side file and renames it at the end, so a failed run leaves no
// half matrix; a device, FIFO or link is written through instead.
bool writeOutput(Run& run, uint32_t handle, const MatrixRows& rows) {
  const std::string& path = run.options.outputPath;
  if (path.empty()) return writeTo(run, handle, rows, stdout);
  if (isSpecialPath(path)) {
    const FileWrite result = writeFile(run, handle, rows, path);
    if (result == FileWrite::kFailed) say(run.progress, "cannot write " + path);
    return result == FileWrite::kDone;
  }
  const std::string partial = path + ".part";
  const FileWrite result = writeFile(run, handle, rows, partial);
  if (result == FileWrite::kNotOpened) return false;
  if (result == FileWrite::kDone && std::rename(partial.c_str(), path.c_str()) == 0) return true;
  std::remove(partial.c_str());
  say(run.progress, "cannot write " + path);
  return false;
}

// The import dialog opens in the current directory (DIR when given) and
// imports what the user chose; the library's file list says what that was.
int32_t chooseAndImport(Run& run, uint32_t handle) {
  std::error_code error;
  if (!run.options.files.empty()) std::filesystem::current_path(run.options.files.front(), error);
  if (error) {
    say(run.progress, "cannot open the folder " + run.options.files.front());
    return JCAMP_NOT_READY;
  }
  const int32_t result = run.library.importDataUI(handle);
  int32_t files = 0;
  if (run.library.getNoOfFiles(handle, &files) != JCAMP_OK) files = 0;
  std::vector<char> name(4096, '\0');  // longer than any path the dialog lists
  for (int32_t i = 0; i < files; ++i) {
    if (run.library.getFileName(handle, i, name.data()) == JCAMP_OK)
      run.added.push_back(name.data());
  }
  return result;
}

// Says how many rows were resampled onto the grid, and which fill only part of it.
void reportResampling(Run& run, const MatrixRows& rows) {
  size_t resampled = 0;
  for (const JcampSampleInfo& info : rows.rows) {
    if ((info.warnings & JCAMP_WARN_RESAMPLED) != 0) ++resampled;
  }
  if (resampled == 0) return;
  say(run.progress, std::to_string(resampled) + " of " + std::to_string(rows.rows.size()) +
                        " rows resampled onto the grid");
  for (const std::string& line : partialCoverageLines(rows.rows, rows.files)) {
    say(run.progress, "note: " + line);
  }
}

int importFiles(Run& run) {
  ImportHandle handle(run.library);
  if (!handle.opened() || run.library.setReadingMode(handle.get(), run.mode) != JCAMP_OK) {
    say(run.progress, "the library cannot open an import handle");
    return kExitFailed;
  }
  if (run.options.grid.policy != JCAMP_GRID_NONE) {
    const int32_t result = run.library.setGrid(handle.get(), &run.options.grid);
    if (result != JCAMP_OK) {
      reportResult(run.progress, "--grid", result, "the library cannot make this grid");
      return kExitFailed;
    }
  }
  int32_t result;
  if (run.options.choose) {
    result = chooseAndImport(run, handle.get());
  } else {
    if (!addFiles(run, handle.get())) return kExitFailed;
    if (run.added.empty()) {
      say(run.progress, "no file could be read; nothing written");
      return kExitFailed;
    }
    run.progress.update("importing");
    result = run.library.importData(handle.get());
  }
  if (result != JCAMP_OK) {
    reportResult(run.progress, "import", result, std::string());
    return kExitFailed;
  }
  int32_t samples = 0;
  run.library.getNumberOfSamples(handle.get(), &samples);
  MatrixRows rows;
  rows.files = run.added;
  rows.rows = readRowInfo(run.library, handle.get(), samples);
  reportResampling(run, rows);
  if (!weighWarnings(run, rows)) return kExitFailed;
  if (run.leftOut && std::find(rows.keep.begin(), rows.keep.end(), true) == rows.keep.end()) {
    say(run.progress, "every file was left out; nothing written");
    return kExitFailed;
  }
  if (!writeOutput(run, handle.get(), rows)) return kExitFailed;
  return run.leftOut ? kExitLeftOut : kExitOk;
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
  JcampLibrary library;
  if (!library.loadForProgram(options.libraryPath)) {
    std::fprintf(stderr, "jcamp-import: %s\n", library.error().c_str());
    return kExitFailed;
  }
  const int32_t mode = options.hostCompatible ? JCAMP_MODE_HOST_COMPATIBLE : JCAMP_MODE_STANDARD;
  if (options.list) return listFiles(library, options.files, mode, stdout) ? kExitOk : kExitFailed;
  // The import dialog moves the current directory: a relative output path is taken before.
  if (options.choose && !options.outputPath.empty()) {
    options.outputPath = std::filesystem::absolute(options.outputPath).string();
  }
  Progress progress;
  Run run(library, options, progress);
  run.mode = mode;
  library.setMessageBoxHandler(answerMessageBox, &run);
  const int exitCode = importFiles(run);
  library.setMessageBoxHandler(nullptr, nullptr);
  return exitCode;
}
