// Imports on eight threads at once, each with its own handles, give exactly
// what one thread gives; handles opened, closed and shared across threads
// stay consistent.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/jdx_text.h"
#include "support/library_fixture.h"

namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 6;

// One import: the files of a handle and its reading mode.
struct Job {
  std::vector<std::string> files;
  int32_t mode = JCAMP_MODE_HOST_COMPATIBLE;
};

// Everything a host can read back, as text, with every result code.
using Outcome = std::vector<std::string>;

Outcome runJob(JcampLibrary& lib, const Job& job) {
  Outcome out;
  auto code = [&out](const char* what, int32_t result) {
    out.push_back(std::string(what) + "=" + std::to_string(result));
  };
  uint32_t handle = 0;
  if (lib.openHandleUDI(&handle) != JCAMP_OK) return {"open failed"};
  code("mode", lib.setReadingMode(handle, job.mode));
  for (const std::string& file : job.files) code("add", lib.addFileName(handle, file.c_str()));
  code("import", lib.importData(handle));
  int32_t samples = 0;
  int32_t variables = 0;
  code("samples", lib.getNumberOfSamples(handle, &samples));
  code("variables", lib.getNumberOfVariables(handle, &variables));
  // A failing getter writes nothing: the buffer, emptied after each answer, shows it.
  char text[4096] = "";
  const auto answer = [&](const char* what, int32_t result) {
    code(what, result);
    out.push_back(text);
    text[0] = '\0';
  };
  for (int32_t v = 0; v < variables; ++v) answer("variable", lib.getVariableName(handle, v, text));
  std::vector<float> row(static_cast<size_t>(variables));
  for (int32_t s = 0; s < samples; ++s) {
    answer("name", lib.getSampleName(handle, s, text));
    for (int32_t v = 0; v < variables; ++v) answer("data", lib.getData(handle, s, v, text));
    code("values", lib.getValues(handle, s, 0, variables, row.data()));
    JcampSampleInfo info{};
    info.size = sizeof info;
    code("info", lib.getSampleInfo(handle, s, &info));
    out.push_back(std::to_string(info.fileIndex) + "/" + std::to_string(info.blockIndex) + "/" +
                  std::to_string(info.checkFlags));
  }
  code("close", lib.closeHandleUDI(handle));
  return out;
}

std::atomic<int> gBoxes{0};

int32_t countAndGoOn(const char*, uint32_t, void*) {
  ++gBoxes;
  return 1;
}

int32_t goOn(const char*, uint32_t, void*) {
  return 1;
}

class ThreadsTest : public LibraryTest {
 protected:
  std::vector<Job> jobs() {
    const std::string open =
        testpaths::writeFile(testpaths::scratchDir() + "/open.jdx", jdxtext::unendedBlocks(40));
    const std::string wheatA = testpaths::exampleFile("wheat-a.jdx");
    const std::string wheatB = testpaths::exampleFile("wheat-b.jdx");
    return {{{wheatA, wheatB}},
            {{testpaths::exampleFile("wheat-pair.jdx"), wheatA}, JCAMP_MODE_STANDARD},
            {{testpaths::dataFile("import-two.jdx"), testpaths::dataFile("import-three.jdx")}},
            {{testpaths::dataFile("scan-linked.jdx")}},
            {{testpaths::dataFile("late-title.jdx"), testpaths::dataFile("late-title.jdx")}},
            {{open}}};
  }
};

TEST_F(ThreadsTest, EightThreadsWithTheirOwnHandlesMatchOneThread) {
  const std::vector<Job> all = jobs();
  lib().setMessageBoxHandler(countAndGoOn, nullptr);
  std::vector<Outcome> expected;
  for (const Job& job : all) expected.push_back(runJob(lib(), job));

  std::atomic<int> mismatches{0};
  std::atomic<bool> running{true};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        const size_t j = static_cast<size_t>(t + round) % all.size();
        if (runJob(lib(), all[j]) != expected[j]) ++mismatches;
      }
    });
  }
  // Handlers change while boxes are shown; both answer OK.
  std::thread switcher([&] {
    for (int i = 0; running; ++i) lib().setMessageBoxHandler(i % 2 ? goOn : countAndGoOn, nullptr);
  });
  for (std::thread& thread : threads) thread.join();
  running = false;
  switcher.join();
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(gBoxes, 0);
}

// Threads open and close handles at once; every number handed out is
// distinct while open, and calls on one shared handle are serialised.
TEST_F(ThreadsTest, HandlesOpenedAndSharedAcrossThreadsStayConsistent) {
  const uint32_t shared = openHandle();
  ASSERT_EQ(lib().addFileName(shared, testpaths::exampleFile("wheat-pair.jdx").c_str()), JCAMP_OK);
  ASSERT_EQ(lib().importData(shared), JCAMP_OK);
  char first[64];
  ASSERT_EQ(lib().getData(shared, 1, 2, first), JCAMP_OK);

  std::atomic<int> failures{0};
  // A handle imported and closed again and again while the others read it:
  // a read gets the value, or hears that the handle is closed or not imported yet.
  std::atomic<uint32_t> reopened{0};
  std::atomic<bool> reading{true};
  std::thread closer([&] {
    while (reading) {
      uint32_t handle = 0;
      if (lib().openHandleUDI(&handle) != JCAMP_OK) ++failures;
      reopened = handle;
      if (lib().addFileName(handle, testpaths::exampleFile("wheat-pair.jdx").c_str()) != JCAMP_OK ||
          lib().importData(handle) != JCAMP_OK || lib().closeHandleUDI(handle) != JCAMP_OK) {
        ++failures;
      }
    }
  });
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      std::vector<uint32_t> mine;
      for (int i = 0; i < 200; ++i) {
        uint32_t handle = 0;
        if (lib().openHandleUDI(&handle) != JCAMP_OK || handle == 0) ++failures;
        mine.push_back(handle);
        if (i % 3 == 0) {
          // Re-import the shared handle while others read it.
          if (lib().importData(shared) != JCAMP_OK) ++failures;
        }
        char value[64];
        if (lib().getData(shared, 1, 2, value) != JCAMP_OK || std::string(value) != first) {
          ++failures;
        }
        const int32_t code = lib().getData(reopened, 1, 2, value);
        if (code == JCAMP_OK ? std::string(value) != first
                             : code != JCAMP_INVALID_HANDLE && code != JCAMP_NOT_READY) {
          ++failures;
        }
      }
      // A handle this thread holds answers as an empty importer: nobody else closed it.
      for (uint32_t handle : mine) {
        int32_t count = 0;
        if (lib().getNoOfFiles(handle, &count) != JCAMP_NOT_READY) ++failures;
        if (lib().closeHandleUDI(handle) != JCAMP_OK) ++failures;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  reading = false;
  closer.join();
  EXPECT_EQ(failures, 0);
}

}  // namespace
