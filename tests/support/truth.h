// The true values scripts/generate-sets.sh writes beside each set (truth.tsv).
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_paths.h"

namespace testpaths {

struct Truth {
  std::vector<double> xs;
  std::vector<std::vector<double>> spectra;
};

// truth.tsv: a header of X values, then one spectrum a line, each after a name.
inline Truth readTruth(const std::string& set) {
  Truth truth;
  std::ifstream in(std::filesystem::u8path(set) / "truth.tsv");
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string name;
    std::getline(fields, name, '\t');
    std::vector<double> numbers;
    for (double number = 0; fields >> number;) numbers.push_back(number);
    (truth.xs.empty() ? truth.xs : truth.spectra.emplace_back()) = std::move(numbers);
  }
  return truth;
}

// The generated set of that name, or "" when it was not generated.
inline std::string generatedSet(const std::string& name) {
  for (const std::string& set : generatedSets()) {
    if (std::filesystem::u8path(set).filename() == name) return set;
  }
  return std::string();
}

}  // namespace testpaths
