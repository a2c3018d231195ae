#include "support/matrix_reader.h"

#include <gtest/gtest.h>

ImportedMatrix readMatrix(JcampLibrary& lib, uint32_t handle) {
  ImportedMatrix matrix;
  EXPECT_EQ(lib.getNumberOfSamples(handle, &matrix.samples), JCAMP_OK);
  EXPECT_EQ(lib.getNumberOfVariables(handle, &matrix.variables), JCAMP_OK);
  char buffer[4096];
  // An import whose first file could not be read has no variable names.
  const bool named = matrix.variables == 0 || lib.getVariableName(handle, 0, buffer) == JCAMP_OK;
  for (int32_t v = 0; v < matrix.variables; ++v) {
    EXPECT_EQ(lib.getVariableName(handle, v, buffer), named ? JCAMP_OK : JCAMP_BAD_INDEX)
        << "variable " << v;
    matrix.variableNames.emplace_back(named ? buffer : "");
  }
  for (int32_t s = 0; s < matrix.samples; ++s) {
    if (lib.getSampleName(handle, s, buffer) == JCAMP_OK) matrix.sampleNames.emplace_back(buffer);
    std::vector<std::string> row;
    for (int32_t v = 0; v < matrix.variables; ++v) {
      EXPECT_EQ(lib.getData(handle, s, v, buffer), JCAMP_OK) << "sample " << s << " variable " << v;
      row.emplace_back(buffer);
    }
    matrix.values.push_back(std::move(row));
  }
  return matrix;
}
