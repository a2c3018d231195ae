// The bytes the scanner and the document read a file through: any view gives
// the file's own bytes, and the file is read once, however it is viewed.
#include "scan/file_bytes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/worker_pool.h"
#include "support/test_paths.h"

namespace jcamp {
namespace {

std::string sampleText(size_t size) {
  std::string text(size, '\0');
  for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + (i * 7919 + i / 13) % 26);
  return text;
}

std::string viewed(FileBytes& bytes, int64_t offset, int32_t size) {
  const char* start = nullptr;
  const int32_t count = bytes.view(offset, size, &start);
  return count > 0 ? std::string(start, static_cast<size_t>(count)) : std::string();
}

// Views forwards, backwards and past the end, with the held bytes sliding
// along the file (a small resident size) or not.
TEST(FileBytesTest, EveryViewShowsTheFileItself) {
  const std::string text = sampleText(200000);
  const std::string path = testpaths::writeFile(testpaths::scratchDir() + "/f.jdx", text);
  const struct {
    int64_t offset;
    int32_t size;
  } views[] = {{0, 1024},       {500, 1024},    {150000, 1024}, {100, 64},     {199500, 1024},
               {199999, 1024},  {200000, 1024}, {250000, 16},   {1024, 70000}, {3, 1},
               {131072, 65536}, {60000, 1024},  {59000, 1024}};
  for (const int64_t resident : {int64_t{4096}, int64_t{100000}, FileBytes::kDefaultViewResident}) {
    SCOPED_TRACE(resident);
    FileBytes bytes(resident);
    ASSERT_TRUE(bytes.open(path.c_str()));
    EXPECT_EQ(bytes.length(), 200000);
    for (const auto& view : views) {
      SCOPED_TRACE(view.offset);
      const size_t from = std::min<size_t>(static_cast<size_t>(view.offset), text.size());
      EXPECT_EQ(viewed(bytes, view.offset, view.size), text.substr(from, view.size));
    }
    // Whatever was viewed before, the whole file follows, with a NUL after it.
    ASSERT_TRUE(bytes.loadAll());
    EXPECT_TRUE(bytes.complete());
    ASSERT_EQ(bytes.held(), text.size());
    EXPECT_EQ(std::string(bytes.text(), bytes.held()), text);
    EXPECT_EQ(bytes.text()[bytes.held()], '\0');
  }
}

TEST(FileBytesTest, ASmallFileIsReadInOneGo) {
  const std::string text = sampleText(5000);
  const std::string path = testpaths::writeFile(testpaths::scratchDir() + "/f.jdx", text);
  FileBytes bytes;
  ASSERT_TRUE(bytes.open(path.c_str()));
  for (int64_t offset : {0, 4000, 1000, 2000, 0}) viewed(bytes, offset, 1024);
  ASSERT_TRUE(bytes.loadAll());
  EXPECT_EQ(bytes.reads(), 1);
}

TEST(FileBytesTest, AFileCutShortAfterItWasMeasuredEndsEarly) {
  const std::string dir = testpaths::scratchDir();
  const std::string path = testpaths::writeFile(dir + "/f.jdx", sampleText(300000));
  FileBytes bytes;
  ASSERT_TRUE(bytes.open(path.c_str()));
  std::filesystem::resize_file(path, 2000);
  EXPECT_EQ(bytes.length(), 300000);
  EXPECT_EQ(viewed(bytes, 1500, 1024).size(), 500u);
  EXPECT_EQ(viewed(bytes, 250000, 1024), "");
  ASSERT_TRUE(bytes.loadAll());
  EXPECT_EQ(bytes.held(), 2000u);
  // The same while the rest of a file kept whole is read in the background.
  constexpr int64_t kCut = int64_t{5} << 20;
  testpaths::writeFile(path, sampleText(size_t{6} << 20));
  FileBytes whole(4096, int64_t{6} << 20);
  ASSERT_TRUE(whole.open(path.c_str()));
  viewed(whole, 0, 1024);
  std::filesystem::resize_file(path, kCut);
  EXPECT_EQ(viewed(whole, 65536, 1024).size(), 1024u);
  EXPECT_EQ(viewed(whole, kCut - 500, 1024).size(), 500u);
  whole.close();
  EXPECT_FALSE(whole.holdsWholeFile());
  EXPECT_EQ(whole.held(), static_cast<size_t>(kCut));
}

// A long file is read in pieces by the threads of the loop it is loaded in;
// one cut short after it was measured is read again in order.
TEST(FileBytesTest, ALongFileLoadedBySeveralThreadsIsTheFileItself) {
  const std::string text = sampleText(size_t{6} << 20);
  platform::WorkerPool pool(2);
  for (const size_t cut : {text.size(), size_t{4} << 20, size_t{1} << 20}) {
    SCOPED_TRACE(cut);
    const std::string path = testpaths::writeFile(testpaths::scratchDir() + "/f.jdx", text);
    FileBytes bytes;
    ASSERT_TRUE(bytes.open(path.c_str()));
    std::filesystem::resize_file(path, cut);
    bool loaded = false;
    pool.forEach(2, [&](size_t step) {
      if (step == 0) loaded = bytes.loadAll();
    });
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(bytes.complete());
    ASSERT_EQ(bytes.held(), cut);
    // A read for each thread's piece.
    if (cut == text.size()) {
      EXPECT_EQ(bytes.reads(), 2);
    }
    EXPECT_TRUE(std::string_view(bytes.text(), bytes.held()) ==
                std::string_view(text).substr(0, cut));
    EXPECT_EQ(bytes.text()[bytes.held()], '\0');
  }
}

// A scan that ran through a file short enough to keep whole leaves all of it
// held (a long one read on by a thread of its own meanwhile), for a later read
// of the whole file while the file keeps its stamp.
TEST(FileBytesTest, AWholeFileViewedIsKeptUntilTheFileChanges) {
  for (const int64_t size : {int64_t{300000}, int64_t{5} << 20}) {
    SCOPED_TRACE(size);
    const std::string text = sampleText(static_cast<size_t>(size));
    const std::string path = testpaths::writeFile(testpaths::scratchDir() + "/f.jdx", text);
    const auto setWritten = [&](std::chrono::hours ago) {
      std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - ago);
    };
    setWritten(std::chrono::hours(2));
    for (const int64_t wholeUpTo : {int64_t{0}, size - 1, size}) {
      SCOPED_TRACE(wholeUpTo);
      FileBytes bytes(4096, wholeUpTo);
      ASSERT_TRUE(bytes.open(path.c_str()));
      for (int64_t offset = 0; offset < size; offset += 999) {
        ASSERT_EQ(viewed(bytes, offset, 1024), text.substr(static_cast<size_t>(offset), 1024));
      }
      bytes.close();
      const bool kept = wholeUpTo >= size;
      EXPECT_EQ(bytes.holdsWholeFile(), kept);
      EXPECT_EQ(bytes.reopenWhole(path.c_str()), kept);
      if (kept) {
        EXPECT_TRUE(std::string_view(bytes.text(), bytes.held()) == text);
      }
    }
    FileBytes bytes(4096, size);
    ASSERT_TRUE(bytes.open(path.c_str()));
    viewed(bytes, 0, 300000);
    viewed(bytes, size - 10, 100);
    // The same length, written at another time: the file is read again.
    std::string other = text;
    other[5] = '!';
    testpaths::writeFile(path, other);
    setWritten(std::chrono::hours(1));
    EXPECT_FALSE(bytes.reopenWhole(path.c_str()));
    ASSERT_TRUE(bytes.open(path.c_str()) && bytes.loadAll());
    EXPECT_TRUE(std::string_view(bytes.text(), bytes.held()) == other);
  }
}

}  // namespace
}  // namespace jcamp
