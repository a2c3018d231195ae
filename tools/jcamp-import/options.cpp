#include "options.h"

#include <cstring>

namespace {

// Accepts "--name=value" and "--name value"; advances index past the value.
bool takeValue(const char* name, int argc, const char* const* argv, int& index, std::string& value,
               bool& matched) {
  const char* argument = argv[index];
  const size_t length = std::strlen(name);
  matched = false;
  if (std::strncmp(argument, name, length) != 0) return true;
  if (argument[length] == '=') {
    matched = true;
    value = argument + length + 1;
    return true;
  }
  if (argument[length] != '\0') return true;
  matched = true;
  if (index + 1 >= argc) return false;
  value = argv[++index];
  return true;
}

}  // namespace

const char* usageText() {
  return "Usage: jcamp-import [OPTIONS] FILE...\n"
         "       jcamp-import [OPTIONS] --choose [DIR]\n"
         "Imports JCAMP-DX files into one samples x variables matrix and writes it as CSV.\n"
         "Every data block of every file is one row; the columns are the X points of the\n"
         "first file's first block, then one column per ##CONCENTRATIONS= component.\n"
         "\n"
         "Options:\n"
         "  -o, --output FILE      write the matrix to FILE instead of standard output\n"
         "      --tsv              separate fields by tabs instead of commas\n"
         "      --transpose        one row per variable and one column per sample\n"
         "      --on-error=skip    go on without a file whose data cannot be read (default)\n"
         "      --on-error=stop    stop the import at such a file\n"
         "      --list             show each file's shape (or why it is refused), no matrix\n"
         "      --choose [DIR]     pick the files interactively in the import dialog,\n"
         "                         starting in DIR (default: the current directory)\n"
         "      --library PATH     load the import library from PATH\n"
         "  -h, --help             show this help\n"
         "      --version          show the version\n"
         "\n"
         "Exit status: 0 success, 1 a file was refused or the import failed, 2 usage error.\n";
}

Command parseOptions(int argc, const char* const* argv, Options& options, std::string& error) {
  bool onlyFiles = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (onlyFiles || argument.empty() || argument[0] != '-' || argument == "-") {
      options.files.push_back(argument);
      continue;
    }
    if (argument == "--") {
      onlyFiles = true;
      continue;
    }
    if (argument == "-h" || argument == "--help") return Command::kHelp;
    if (argument == "--version") return Command::kVersion;
    if (argument == "--tsv") {
      options.tsv = true;
      continue;
    }
    if (argument == "--list") {
      options.list = true;
      continue;
    }
    if (argument == "--choose") {
      options.choose = true;
      continue;
    }
    if (argument == "--transpose") {
      options.transpose = true;
      continue;
    }
    std::string value;
    bool matched = false;
    for (const char* name : {"--output", "-o", "--library", "--on-error"}) {
      if (!takeValue(name, argc, argv, i, value, matched)) {
        error = std::string("option ") + name + " needs a value";
        return Command::kUsageError;
      }
      if (!matched) continue;
      if (std::strcmp(name, "--library") == 0) {
        options.libraryPath = value;
      } else if (std::strcmp(name, "--on-error") == 0) {
        if (value != "skip" && value != "stop") {
          error = "--on-error takes skip or stop, not '" + value + "'";
          return Command::kUsageError;
        }
        options.stopOnError = value == "stop";
      } else {
        options.outputPath = value;
      }
      break;
    }
    if (!matched) {
      error = "unknown option '" + argument + "'";
      return Command::kUsageError;
    }
  }
  if (options.choose && options.files.size() > 1) {
    error = "--choose takes at most one folder";
    return Command::kUsageError;
  }
  if (options.files.empty() && !options.choose) {
    error = "no FILE given";
    return Command::kUsageError;
  }
  return Command::kRun;
}
