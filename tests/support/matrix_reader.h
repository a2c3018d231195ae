// Reads a whole imported matrix back through the exports, as text.
#pragma once

#include <string>
#include <vector>

#include "jcamp_library.h"

struct ImportedMatrix {
  int32_t samples = 0;
  int32_t variables = 0;
  std::vector<std::string> variableNames;
  std::vector<std::string> sampleNames;          // as many as getSampleName answers
  std::vector<std::vector<std::string>> values;  // [sample][variable]
};

// Reads counts, names and every value; a failing query fails the current test.
ImportedMatrix readMatrix(JcampLibrary& lib, uint32_t handle);
