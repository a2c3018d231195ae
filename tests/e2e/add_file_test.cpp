// Adding files and checking them, through the exports of the loaded library.
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "support/jdx_text.h"
#include "support/library_fixture.h"

namespace {

std::string spectrum(const std::string& title, int points, const std::string& header = "") {
  return jdxtext::spectrum(title, "4000", "400", "4000 1 2 3 4", header, points);
}

using jdxtext::link;

class AddFileTest : public LibraryTest {
 protected:
  std::string write(const std::string& name, const std::string& text) {
    return testpaths::writeFile(dir_ + "/" + name, text);
  }
  int32_t add(uint32_t handle, const std::string& file) {
    return lib().addFileName(handle, file.c_str());
  }
  std::pair<int32_t, std::string> check(const char* file, uint32_t size = 512) {
    std::string message(size + 1, '\x7f');
    const int32_t status = lib().checkFileName(file, size ? &message[0] : nullptr, size);
    return {status, size ? message.c_str() : ""};
  }
  std::string dir_ = testpaths::scratchDir();
};

TEST_F(AddFileTest, TheFirstFileFixesTheShapeOfTheImport) {
  const uint32_t handle = openHandle();
  const std::string refused = write("refused.jdx", "##JCAMP-DX=4.24\n");
  const std::string first = write("first.jdx", link(3, spectrum("a", 4)));
  const std::string otherRange =
      write("range.jdx", spectrum("b", 4, "##FIRSTX=10\n") + spectrum("c", 4));
  int32_t count = -1;
  EXPECT_EQ(add(handle, refused), JCAMP_BAD_HEADER);
  EXPECT_EQ(lib().getNoOfFiles(handle, &count), JCAMP_NOT_READY);
  EXPECT_EQ(add(handle, first), JCAMP_OK);
  EXPECT_EQ(add(handle, otherRange), JCAMP_OK);
  EXPECT_EQ(add(handle, write("points.jdx", spectrum("d", 5))), JCAMP_SHAPE_MISMATCH);
  EXPECT_EQ(add(handle, write("y.jdx", spectrum("e", 4, "##CONCENTRATIONS=(NCU)\n(w, 1, %)\n"))),
            JCAMP_SHAPE_MISMATCH);
  EXPECT_EQ(add(handle, dir_ + "/missing.jdx"), JCAMP_BAD_HEADER);
  EXPECT_EQ(lib().addFileName(handle, nullptr), JCAMP_NULL_ARGUMENT);
  ASSERT_EQ(lib().getNoOfFiles(handle, &count), JCAMP_OK);
  EXPECT_EQ(count, 2);
  char name[1024];
  for (const auto& [index, expected] : {std::pair{0, first}, {1, otherRange}, {2, std::string()}}) {
    EXPECT_EQ(lib().getFileName(handle, index, name), index < 2 ? JCAMP_OK : JCAMP_BAD_INDEX);
    EXPECT_EQ(name, expected);
  }
}

// Samples are summed over the files; a total beyond 32 bits refuses the file.
TEST_F(AddFileTest, TheSampleTotalStaysWithinThirtyTwoBits) {
  const uint32_t handle = openHandle();
  const std::string huge = write("huge.jdx", link(99999999, spectrum("a", 4)));
  for (int i = 0; i < 21; ++i) ASSERT_EQ(add(handle, huge), JCAMP_OK) << i;
  EXPECT_EQ(add(handle, huge), JCAMP_BAD_HEADER);
  EXPECT_EQ(add(handle, write("one.jdx", spectrum("b", 4))), JCAMP_OK);
}

TEST_F(AddFileTest, CheckFileNameGivesTheShapeOrTheReason) {
  const std::string good =
      write("good.jdx", link(2, spectrum("A\ttitle", 4, "##ORIGIN=lab\n##OWNER=me\n")));
  EXPECT_EQ(check(good.c_str()), std::pair(100, std::string("2\t4\t0\t4000\t400\tXYDATA\t"
                                                            "A title\tlab\tme")));
  EXPECT_EQ(check(good.c_str(), 5), std::pair(100, std::string("2\t4\t")));
  EXPECT_EQ(check(good.c_str(), 0).first, 100);
  EXPECT_EQ(check(write("blocks.jdx", link(0, spectrum("a", 4))).c_str(), 20),
            std::pair(6, std::string("Illegal ##BLOCKS= v")));
  EXPECT_EQ(check((dir_ + "/missing.jdx").c_str()),
            std::pair(0, std::string("General file IO error")));
  EXPECT_EQ(check(nullptr), std::pair(0, std::string("General file IO error")));
}

// Only regular files are read: a FIFO, a directory or a device is refused at
// once with the I/O status, never waited on (the alarm ends a hang).
TEST_F(AddFileTest, FilesThatAreNotRegularAreRefusedAtOnce) {
#ifdef _WIN32
  const std::vector<std::string> names = {dir_, "NUL"};
#else
  const std::string fifo = dir_ + "/fifo.jdx";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::vector<std::string> names = {fifo, dir_, "/dev/null", "/dev/zero"};
  alarm(60);
#endif
  const uint32_t handle = openHandle();
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    EXPECT_EQ(check(name.c_str()), std::pair(0, std::string("General file IO error")));
    EXPECT_EQ(add(handle, name), JCAMP_BAD_HEADER);
  }
#ifndef _WIN32
  alarm(0);
#endif
}

}  // namespace
