#include "options.h"

#include <cstring>
#include <utility>

#include "grid_option.h"

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

// Options that only switch something on.
constexpr std::pair<const char*, bool Options::*> kFlags[] = {
    {"--tsv", &Options::tsv},
    {"--list", &Options::list},
    {"--transpose", &Options::transpose},
    {"--host-compatible", &Options::hostCompatible},
    {"--strict", &Options::strict},
    {"--with-origin", &Options::withOrigin},
    {"--choose", &Options::choose},
};

bool setFlag(const std::string& argument, Options& options) {
  for (const auto& [name, member] : kFlags) {
    if (argument == name) {
      options.*member = true;
      return true;
    }
  }
  return false;
}

}  // namespace

const char* usageText() {
  return "Usage: jcamp-import [OPTIONS] FILE...\n"
         "       jcamp-import [OPTIONS] --choose [DIR]\n"
         "Imports JCAMP-DX files into one samples x variables matrix and writes it as CSV.\n"
         "Every data block of every file is one row; the columns are the X points of the\n"
         "first file's first block, then one column per ##CONCENTRATIONS= component.\n"
         "Files are read as the JCAMP-DX standard means them; values are written as the\n"
         "shortest text that reads back to the same float, a missing value as an empty field.\n"
         "\n"
         "Options:\n"
         "  -o, --output FILE      write the matrix to FILE instead of standard output\n"
         "      --tsv              separate fields by tabs instead of commas\n"
         "      --transpose        one row per variable and one column per sample\n"
         "      --with-origin      add each row's file and block (from 1) after its name\n"
         "      --grid first       put every row on the first file's first X grid, resampling\n"
         "                         the files and blocks whose X values differ\n"
         "      --grid overlap     on the X range every spectrum covers, at their finest step\n"
         "      --grid FIRST:LAST:COUNT[:UNITS]\n"
         "                         on COUNT points from FIRST to LAST (in UNITS: 1/CM,\n"
         "                         MICROMETERS, NANOMETERS, HZ, PPM...; default the first's)\n"
         "      --host-compatible  read as hosts of the library do by default, and write\n"
         "                         its texts: six decimals, m for a missing value\n"
         "      --strict           take a file with a warning as one that cannot be read\n"
         "      --on-error=skip    leave out a file that cannot be read, write the rest (default)\n"
         "      --on-error=stop    stop at such a file, write nothing\n"
         "      --list             show each file's shape (or why it is refused), no matrix\n"
         "      --choose [DIR]     pick the files interactively in the import dialog,\n"
         "                         starting in DIR (default: the current directory)\n"
         "      --library PATH     load the import library from PATH\n"
         "  -h, --help             show this help\n"
         "      --version          show the version\n"
         "\n"
         "Exit status: 0 written; 3 written, but files or blocks were left out; 1 nothing\n"
         "written (no file could be read, the run stopped, the output failed); 2 usage error.\n";
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
    if (setFlag(argument, options)) continue;
    std::string value;
    bool matched = false;
    for (const char* name : {"--output", "-o", "--library", "--on-error", "--grid"}) {
      if (!takeValue(name, argc, argv, i, value, matched)) {
        error = std::string("option ") + name + " needs a value";
        return Command::kUsageError;
      }
      if (!matched) continue;
      if (std::strcmp(name, "--library") == 0) {
        options.libraryPath = value;
      } else if (std::strcmp(name, "--grid") == 0) {
        if (!parseGridOption(value, options.grid, error)) return Command::kUsageError;
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
  if (options.grid.policy != JCAMP_GRID_NONE && options.hostCompatible) {
    error = "--grid needs the standard reading (leave out --host-compatible)";
    return Command::kUsageError;
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
