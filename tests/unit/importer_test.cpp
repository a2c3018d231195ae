#include "plugin/jcamp_importer.h"

#include <gtest/gtest.h>

#include <string>

namespace jcamp {
namespace {

TEST(ImporterTest, EmptyImporterAnswersNotReadyInTheOrderOfItsChecks) {
  JcampImporter importer;
  char buffer[64] = "unchanged";
  int32_t count = -7;
  EXPECT_EQ(importer.getNumberOfSamples(&count), kResultNotReady);
  EXPECT_EQ(importer.getNumberOfVariables(&count), kResultNotReady);
  EXPECT_EQ(count, -7);
  // A null buffer is checked before the import state.
  EXPECT_EQ(importer.getVariableName(0, nullptr), kResultNullArgument);
  EXPECT_EQ(importer.getSampleName(0, nullptr), kResultNullArgument);
  EXPECT_EQ(importer.getData(0, 0, nullptr), kResultNullArgument);
  EXPECT_EQ(importer.getFileName(0, nullptr), kResultNullArgument);
  EXPECT_EQ(importer.getVariableName(-1, buffer), kResultNotReady);
  EXPECT_EQ(importer.getSampleName(0, buffer), kResultNotReady);
  EXPECT_EQ(importer.getData(0, 0, buffer), kResultNotReady);
  EXPECT_STREQ(buffer, "unchanged");
  // The file-list queries need no import, only files.
  EXPECT_EQ(importer.getNoOfFiles(&count), kResultNotReady);
  EXPECT_EQ(importer.getFileName(0, buffer), kResultNotReady);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(importer.importData(), kResultNoFiles);
  EXPECT_EQ(importer.addFileName(nullptr), kResultNullArgument);
}

}  // namespace
}  // namespace jcamp
