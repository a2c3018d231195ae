// Headers that claim far more than their file holds: each is imported in a
// child process whose address space is capped a little above what it already
// uses, so that a regression fails here instead of swapping the machine. The
// import must end with the "not enough memory" message, answered OK, without
// the child's resident memory growing by more than a few megabytes.
#include <string>

#include "support/library_fixture.h"

#if !defined(_WIN32) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define JCAMP_MEMORY_CAP_TESTS 1
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#endif

namespace {

#ifdef JCAMP_MEMORY_CAP_TESTS

constexpr long kHeadroomBytes = 64L << 20;  // the cap above what the child already maps
constexpr long kMostGrowthKb = 24L << 10;   // resident growth allowed for the import

long mappedBytes() {
  long pages = 0;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr || std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
  if (statm != nullptr) std::fclose(statm);
  return pages * sysconf(_SC_PAGESIZE);
}

long peakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A LINK file whose first data block has the given ##BLOCKS= and ##NPOINTS=.
std::string linked(const std::string& blocks, const std::string& points) {
  return "##TITLE=set\n##JCAMP-DX=4.24\n##DATA TYPE=LINK\n##BLOCKS=" + blocks +
         "\n##TITLE=one\n##DATA TYPE=INFRARED SPECTRUM\n##XFACTOR=1\n##YFACTOR=1\n"
         "##FIRSTX=1\n##LASTX=20\n##NPOINTS=" +
         points + "\n##XYDATA=(X++(Y..Y))\n1 1 2 3 4\n##END=\n##END=\n";
}

// A first block of four points, then blocks whose small tables each repeat
// one value 65,536 times: every table alone is allowed, all of them are not.
std::string repeatedTables() {
  std::string text =
      "##TITLE=first\n##DATA TYPE=INFRARED SPECTRUM\n##XFACTOR=1\n##YFACTOR=1\n"
      "##FIRSTX=1\n##LASTX=4\n##NPOINTS=4\n##XYDATA=(X++(Y..Y))\n1 1 2 3 4\n##END=\n";
  for (int b = 0; b < 400; ++b) {
    text += "##TITLE=r\n##NPOINTS=65536\n##XYDATA=(X++(Y..Y))\n1@Z65535\n##END=\n";
  }
  return text;
}

struct HostileCase {
  const char* name;
  std::string text;
  const char* message;  // what the box must say
};

// Runs in the forked child: 0 when every check holds, else the failed check's number.
int importCapped(JcampLibrary& lib, const std::string& path, const char* message) {
  rlimit cap{};
  cap.rlim_cur = cap.rlim_max = static_cast<rlim_t>(mappedBytes() + kHeadroomBytes);
  if (setrlimit(RLIMIT_AS, &cap) != 0) return 10;
  alarm(120);
  MessageBoxLog boxes;
  lib.setMessageBoxHandler(recordMessageBox, &boxes);
  const long before = peakResidentKb();
  uint32_t handle = 0;
  if (lib.openHandleUDI(&handle) != JCAMP_OK) return 11;
  if (lib.addFileName(handle, path.c_str()) != JCAMP_OK) return 12;
  if (lib.importData(handle) != JCAMP_OK) return 13;
  if (boxes.shown != 1 || boxes.lastText.find(message) == std::string::npos) return 14;
  int32_t samples = 0;
  char value[64];
  if (lib.getNumberOfSamples(handle, &samples) != JCAMP_OK || samples < 1) return 15;
  if (lib.getData(handle, 0, 0, value) != JCAMP_OK || std::string(value) != "m") return 16;
  if (lib.closeHandleUDI(handle) != JCAMP_OK) return 17;
  if (peakResidentKb() - before > kMostGrowthKb) return 18;
  return 0;
}

using HostileHeaderTest = LibraryTest;

TEST_F(HostileHeaderTest, ClaimsFarBeyondTheFileGetTheNotEnoughMemoryMessage) {
  const char* kMatrix = "Not enough memory to store the matrix";
  const HostileCase cases[] = {
      {"2^31 blocks", linked("2147483648", "20"), kMatrix},
      {"100 million blocks of 20 points", linked("99999999", "20"), kMatrix},
      // Small enough to fit under the cap: only the file's size refuses it.
      {"400,000 blocks of 20 points", linked("400000", "20"), kMatrix},
      {"2^32 - 1 points", linked("1", "4294967295"), kMatrix},
      {"3 million points, as many names", linked("1", "3000000"), kMatrix},
      {"400 tables of 65,536 repeats", repeatedTables(), "Not enough memory to read the file"},
  };
  for (const HostileCase& hostile : cases) {
    SCOPED_TRACE(hostile.name);
    const std::string path =
        testpaths::writeFile(testpaths::scratchDir() + "/hostile.jdx", hostile.text);
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(importCapped(lib(), path, hostile.message));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "failed check (see importCapped)";
  }
}

#endif  // JCAMP_MEMORY_CAP_TESTS

}  // namespace
