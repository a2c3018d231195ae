// Every allocation an import makes, made to fail in turn, on whichever thread
// makes it: the import never ends the process and never loses what it read.
// A file whose reading lost an allocation is reported as not read for lack
// of memory, and its rows read missing; every other row is what an import
// without failures gives. This program replaces the global operator new.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "plugin/jcamp_importer.h"
#include "support/jdx_text.h"
#include "support/test_paths.h"

namespace {

// The allocation that fails: counted down from the armed number; -1 when none is armed.
std::atomic<long> gAllocationsLeft{-1};
std::atomic<bool> gFailed{false};

void* allocate(size_t size) {
  if (gAllocationsLeft.load(std::memory_order_relaxed) >= 0 &&
      gAllocationsLeft.fetch_sub(1, std::memory_order_relaxed) == 0) {
    gFailed = true;
    throw std::bad_alloc();
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

}  // namespace

// Every form the library uses goes through allocate, and every form of
// delete through free: the sanitizers see one allocator, never a mix.
void* operator new(size_t size) {
  return allocate(size);
}
void* operator new[](size_t size) {
  return allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete[](void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, size_t) noexcept {
  std::free(memory);
}
void operator delete[](void* memory, size_t) noexcept {
  std::free(memory);
}

namespace jcamp {
namespace {

// The import's threads, as a host caps them.
void setThreads(const char* threads) {
#ifdef _WIN32
  _putenv_s("JCAMP_THREADS", threads);
#else
  setenv("JCAMP_THREADS", threads, 1);
#endif
}

// The files each message box named, without allocating while armed.
struct Reported {
  static constexpr int kMost = 8;
  char texts[kMost][512] = {};
  std::atomic<int> count{0};
};

int32_t recordAndGoOn(const char* text, uint32_t, void* context) {
  auto& reported = *static_cast<Reported*>(context);
  const int n = reported.count++;
  if (n < Reported::kMost) std::strncpy(reported.texts[n], text, sizeof reported.texts[n] - 1);
  return 1;  // OK: go on without the file
}

using Matrix = std::vector<std::vector<std::string>>;

Matrix matrixOf(JcampImporter& importer) {
  int32_t samples = 0;
  int32_t variables = 0;
  EXPECT_EQ(importer.getNumberOfSamples(&samples), JCAMP_OK);
  EXPECT_EQ(importer.getNumberOfVariables(&variables), JCAMP_OK);
  Matrix matrix(static_cast<size_t>(samples));
  char text[64];
  for (int32_t s = 0; s < samples; ++s) {
    for (int32_t v = 0; v < variables; ++v) {
      EXPECT_EQ(importer.getData(s, v, text), JCAMP_OK);
      matrix[static_cast<size_t>(s)].push_back(text);
    }
  }
  return matrix;
}

TEST(FailingAllocationTest, EachFailureIsItsFilesNotEnoughMemory) {
  const std::string dir = testpaths::scratchDir();
  std::vector<std::string> files;
  // Tables of pairs: the matrix's X grid then holds its abscissas, which every
  // file after the first compares with on its own thread.
  for (const char* name : {"a", "b", "c"}) {
    const std::string pairs = jdxtext::replaced(
        jdxtext::spectrum(name, "1", "4", "1, 5; 2, 6; 3, 7; 4, 8"), "(X++(Y..Y))", "(XY..XY)");
    files.push_back(testpaths::writeFile(dir + "/" + name + ".jdx",
                                         jdxtext::replaced(pairs, "##XYDATA=", "##XYPOINTS=")));
  }
  Reported reported;
  platform::setMessageBoxHandler(recordAndGoOn, &reported);
  for (const char* threads : {"1", "4"}) {
    setThreads(threads);
    for (const ReadingRules& rules : {kHostCompatibleRules, kStandardRules}) {
      const auto importerWithFiles = [&](JcampImporter& importer) {
        ASSERT_EQ(
            importer.setReadingMode(rules.rowsForBlocks ? kModeStandard : kModeHostCompatible),
            JCAMP_OK);
        for (const std::string& file : files) ASSERT_EQ(importer.addFileName(file.c_str()), 0);
      };
      JcampImporter clean;
      importerWithFiles(clean);
      ASSERT_EQ(clean.importData(), JCAMP_OK);
      const Matrix expected = matrixOf(clean);
      ASSERT_EQ(expected.size(), files.size());
      for (long failing = 0;; ++failing) {
        JcampImporter importer;
        importerWithFiles(importer);
        reported.count = 0;
        gFailed = false;
        gAllocationsLeft = failing;
        int32_t result = -1;
        bool threw = false;
        try {
          result = importer.importData();
        } catch (const std::bad_alloc&) {
          threw = true;  // the calling thread's own set-up: the export answers JCAMP_NO_OBJECT
        }
        gAllocationsLeft = -1;
        if (!gFailed) {
          EXPECT_EQ(result, JCAMP_OK);
          break;  // past the import's last allocation
        }
        if (threw) continue;
        ASSERT_EQ(result, JCAMP_OK) << "allocation " << failing;
        const Matrix matrix = matrixOf(importer);
        std::vector<bool> notRead(files.size(), false);
        for (int n = 0; n < std::min<int>(reported.count, Reported::kMost); ++n) {
          const std::string text = reported.texts[n];
          EXPECT_NE(text.find("Not enough memory"), std::string::npos) << text;
          for (size_t f = 0; f < files.size(); ++f) {
            if (text.find(files[f]) != std::string::npos) notRead[f] = true;
          }
        }
        // Standard rows are only those read; the host-compatible ones stay, missing.
        size_t row = 0;
        for (size_t f = 0; f < files.size(); ++f) {
          if (notRead[f] && rules.rowsForBlocks) continue;
          ASSERT_LT(row, matrix.size()) << "allocation " << failing;
          if (notRead[f]) {
            EXPECT_EQ(matrix[row], std::vector<std::string>(expected[f].size(), "m"));
          } else {
            EXPECT_EQ(matrix[row], expected[f]) << "allocation " << failing << ", file " << f;
          }
          ++row;
        }
        EXPECT_EQ(row, matrix.size());
      }
    }
  }
  setThreads("");
  platform::setMessageBoxHandler(nullptr, nullptr);
}

}  // namespace
}  // namespace jcamp
