#include "plugin/handle_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "plugin/jcamp_importer.h"

namespace jcamp {
namespace {

// Counts its deletions so the tests can see who deleted what.
class CountingImporter : public JcampImporter {
 public:
  explicit CountingImporter(int* deletions) : deletions_(deletions) {}
  ~CountingImporter() override { ++*deletions_; }

 private:
  int* deletions_;
};

class HandleTableTest : public ::testing::Test {
 protected:
  void SetUp() override { destroyAllHandles(); }
  void TearDown() override { destroyAllHandles(); }

  uint32_t registerNew() {
    return registerObject(kHandleTypeImporter, std::make_unique<CountingImporter>(&deletions_));
  }
  // As closeHandleUDI does: the slot is freed and the object goes with it.
  void close(uint32_t handle) { takeObject(kHandleTypeImporter, handle); }
  int32_t lookupCode(int32_t type, uint32_t handle) {
    try {
      lookupObject(type, handle);
      return 0;
    } catch (const CErrCodeException& error) {
      return error.code();
    }
  }

  int deletions_ = 0;
};

// Closed numbers are reused lowest first, also after the table grew.
TEST_F(HandleTableTest, HandsOutOneFirstGrowsBy100AtThe50thAndReusesTheLowestFreed) {
  for (uint32_t expected = 1; expected <= 49; ++expected) EXPECT_EQ(registerNew(), expected);
  EXPECT_EQ(handleSlotCount(), kInitialHandleSlots);
  EXPECT_EQ(registerNew(), 50u);
  EXPECT_EQ(handleSlotCount(), 150u);
  EXPECT_EQ(registerNew(), 51u);
  // Handles registered before the growth still resolve to their objects.
  EXPECT_EQ(lookupCode(kHandleTypeImporter, 1), 0);
  EXPECT_EQ(lookupCode(kHandleTypeImporter, 49), 0);
  close(4);
  close(2);
  EXPECT_EQ(registerNew(), 2u);
  EXPECT_EQ(registerNew(), 4u);
  EXPECT_EQ(registerNew(), 52u);
}

TEST_F(HandleTableTest, DestroyAllDeletesEveryLiveObjectOnce) {
  for (int i = 0; i < 60; ++i) registerNew();
  close(10);
  EXPECT_EQ(deletions_, 1);
  destroyAllHandles();
  EXPECT_EQ(deletions_, 60);
  EXPECT_EQ(handleSlotCount(), 0u);
  EXPECT_EQ(lookupCode(kHandleTypeImporter, 1), 2);
  EXPECT_EQ(registerNew(), 1u);
}

// A handle closed while a call holds its registration: the number is free at
// once, the object lives until the call lets go, and a second close fails.
TEST_F(HandleTableTest, ClosingWhileInUseDeletesWhenTheLastUserLetsGo) {
  const uint32_t handle = registerNew();
  RegistrationRef inUse = lookupObject(kHandleTypeImporter, handle);
  close(handle);
  EXPECT_EQ(lookupCode(kHandleTypeImporter, handle), 2);
  EXPECT_THROW(takeObject(kHandleTypeImporter, handle), CErrCodeException);
  EXPECT_EQ(deletions_, 0);
  EXPECT_EQ(registerNew(), handle);
  inUse.reset();
  EXPECT_EQ(deletions_, 1);
}

// A null buffer is checked before the import state (through the exports an
// empty importer answers not ready to every query with a buffer); a failed
// query writes nothing, but getFileName empties its buffer.
TEST(ImporterTest, EmptyImporterChecksNullArgumentsFirstAndWritesNothing) {
  JcampImporter importer;
  EXPECT_EQ(importer.getVariableName(0, nullptr), JCAMP_NULL_ARGUMENT);
  EXPECT_EQ(importer.getSampleName(0, nullptr), JCAMP_NULL_ARGUMENT);
  EXPECT_EQ(importer.getData(0, 0, nullptr), JCAMP_NULL_ARGUMENT);
  EXPECT_EQ(importer.getFileName(0, nullptr), JCAMP_NULL_ARGUMENT);
  EXPECT_EQ(importer.addFileName(nullptr), JCAMP_NULL_ARGUMENT);
  char buffer[64] = "unchanged";
  int32_t count = -7;
  EXPECT_EQ(importer.getNumberOfSamples(&count), JCAMP_NOT_READY);
  EXPECT_EQ(importer.getNumberOfVariables(&count), JCAMP_NOT_READY);
  EXPECT_EQ(count, -7);
  EXPECT_EQ(importer.getVariableName(-1, buffer), JCAMP_NOT_READY);
  EXPECT_EQ(importer.getData(0, 0, buffer), JCAMP_NOT_READY);
  EXPECT_STREQ(buffer, "unchanged");
  EXPECT_EQ(importer.getFileName(0, buffer), JCAMP_NOT_READY);
  EXPECT_STREQ(buffer, "");
}

}  // namespace
}  // namespace jcamp
