#include "plugin/handle_table.h"

#include <gtest/gtest.h>

#include "plugin/data_importer.h"

namespace jcamp {
namespace {

// Counts its deletions so the tests can see who deleted what.
class CountingImporter : public DataImporter {
 public:
  explicit CountingImporter(int* deletions) : deletions_(deletions) {}
  ~CountingImporter() override { ++*deletions_; }
  int32_t importDataUI() override { return 0; }
  int32_t importData() override { return 0; }
  int32_t addFileName(const char*) override { return 0; }
  int32_t getNumberOfSamples(int32_t*) override { return 0; }
  int32_t getNumberOfVariables(int32_t*) override { return 0; }
  int32_t getVariableName(int32_t, char*) override { return 0; }
  int32_t getSampleName(int32_t, char*) override { return 0; }
  int32_t getData(int32_t, int32_t, char*) override { return 0; }
  int32_t getNoOfFiles(int32_t*) override { return 0; }
  int32_t getFileName(int32_t, char*) override { return 0; }

 private:
  int* deletions_;
};

class HandleTableTest : public ::testing::Test {
 protected:
  void SetUp() override { destroyAllHandles(); }
  void TearDown() override { destroyAllHandles(); }

  uint32_t registerNew() {
    return registerObject(kHandleTypeImporter, new CountingImporter(&deletions_));
  }
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

TEST_F(HandleTableTest, HandsOutOneFirstAndGrowsBy100AtThe50th) {
  for (uint32_t expected = 1; expected <= 49; ++expected) EXPECT_EQ(registerNew(), expected);
  EXPECT_EQ(handleSlotCount(), kInitialHandleSlots);
  EXPECT_EQ(registerNew(), 50u);
  EXPECT_EQ(handleSlotCount(), 150u);
  EXPECT_EQ(registerNew(), 51u);
  // Handles registered before the growth still resolve to their objects.
  EXPECT_EQ(lookupCode(kHandleTypeImporter, 1), 0);
  EXPECT_EQ(lookupCode(kHandleTypeImporter, 49), 0);
}

TEST_F(HandleTableTest, ReusesTheLowestFreedNumber) {
  for (int i = 0; i < 5; ++i) registerNew();
  for (uint32_t handle : {4u, 2u}) {
    DataImporter* object = lookupObject(kHandleTypeImporter, handle);
    releaseHandle(handle);
    delete object;
  }
  EXPECT_EQ(registerNew(), 2u);
  EXPECT_EQ(registerNew(), 4u);
  EXPECT_EQ(registerNew(), 6u);
}

TEST_F(HandleTableTest, LookupChecksInOrder) {
  const uint32_t handle = registerNew();
  const uint32_t empty = registerObject(kHandleTypeImporter, nullptr);
  struct Case {
    int32_t type;
    uint32_t handle;
    int32_t code;
  };
  const Case cases[] = {
      {kHandleTypeImporter, 0, 2},
      {kHandleTypeImporter, 50, 2},
      {kHandleTypeImporter, 0xFFFFFFFFu, 2},
      {kHandleTypeImporter, 7, 2},
      {2, handle, 2},
      {kHandleTypeImporter, empty, 1},
      {kHandleTypeImporter, handle, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(lookupCode(c.type, c.handle), c.code) << "type " << c.type << " handle " << c.handle;
  }
}

TEST_F(HandleTableTest, LookupBeforeAnyRegistrationIsInvalid) {
  EXPECT_EQ(lookupCode(kHandleTypeImporter, 1), 2);
}

TEST_F(HandleTableTest, DestroyAllDeletesEveryLiveObjectOnce) {
  for (int i = 0; i < 60; ++i) registerNew();
  const uint32_t freed = 10;
  DataImporter* object = lookupObject(kHandleTypeImporter, freed);
  releaseHandle(freed);
  delete object;
  EXPECT_EQ(deletions_, 1);
  destroyAllHandles();
  EXPECT_EQ(deletions_, 60);
  EXPECT_EQ(handleSlotCount(), 0u);
  EXPECT_EQ(lookupCode(kHandleTypeImporter, 1), 2);
  EXPECT_EQ(registerNew(), 1u);
}

}  // namespace
}  // namespace jcamp
