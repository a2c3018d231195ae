// The windowed label reader: line ends, label spelling, window boundaries,
// value reading and the end of the file.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "scan/jcamp_reader.h"
#include "support/test_paths.h"

namespace jcamp {
namespace {

class LabelReaderTest : public ::testing::Test {
 protected:
  JcampReader& open(const std::string& text) {
    entry_ = std::make_unique<JcampFileInfo>(testpaths::writeFile(dir_ + "/label.jdx", text));
    reader_ = std::make_unique<JcampReader>(entry_.get());
    EXPECT_EQ(reader_->openFile(), 0);
    return *reader_;
  }
  // The value of label, searched within the block from the end of the first
  // line on, or "status N: message" when it is not found.
  std::string valueOf(const std::string& text, const char* label, int32_t maxLength = 256) {
    JcampReader& reader = open(text);
    const int64_t start = static_cast<int64_t>(text.find('\n'));
    if (reader.findLabel(label, maxLength, start, ValueMode::kRead, SearchScope::kBlock, 1) == 0) {
      return reader.value();
    }
    return "status " + std::to_string(reader.status) + ": " + reader.message;
  }
  // "##TITLE=x" and a filler line, so that what follows starts at offset.
  static std::string paddedTo(size_t offset) {
    return "##TITLE=x\n" + std::string(offset - 11, 'a') + "\n";
  }
  std::string dir_ = testpaths::scratchDir();
  std::unique_ptr<JcampFileInfo> entry_;
  std::unique_ptr<JcampReader> reader_;
};

TEST_F(LabelReaderTest, LineEndComesFromTheLastBreakOfTheFirstWindow) {
  const std::pair<std::string, char> cases[] = {
      {"##TITLE=a\n##END=\n", '\n'},
      {"##TITLE=a\r\n##END=\r\n", '\n'},
      {"##TITLE=a\r##END=\r", '\r'},
      {"##TITLE=a\n\r##END=\n\r", '\r'},
      // The window ends between CR and LF: the byte after that CR is not known yet.
      {"##TITLE=a\r\n" + std::string(1011, 'b') + "\r\n##END=\r\n", '\n'},
      {std::string(1100, 'x') + "\n", '\0'},  // none in the first 1024 bytes
  };
  for (const auto& [text, lineEnd] : cases) {
    JcampReader& reader = open(text);
    EXPECT_EQ(reader.fillWindow(0), lineEnd == '\0' ? 1 : 0);
    EXPECT_EQ(reader.lineEnd, lineEnd) << text.substr(0, 12);
  }
  EXPECT_EQ(reader_->message, "First line too long in JCAMP-DX file");
}

TEST_F(LabelReaderTest, LabelsAreFoundWhateverTheirSpellingAndNotInComments) {
  for (const char* spelling : {"##npoints=", "##N POINTS =", "##N-Points=", "##N_POINTS=",
                               "##N/POINTS=", "  ##nPoints  =  ", "$$ ##NPOINTS=5\n##NPOINTS="}) {
    EXPECT_EQ(valueOf(std::string("##TITLE=t\n") + spelling + "1024\n##END=\n", "##NPOINTS="),
              "1024")
        << spelling;
  }
}

TEST_F(LabelReaderTest, LabelsAcrossTheWindowBoundaryAreFound) {
  for (size_t offset = 950; offset <= 1030; ++offset) {
    for (const char* label : {"##NPOINTS=", "##N P O I N T S =", "$$ ##NPOINTS=1\n##NPOINTS="}) {
      EXPECT_EQ(valueOf(paddedTo(offset) + label + "512\n##END=\n", "##NPOINTS="), "512")
          << label << " at " << offset;
    }
  }
  // A name spread by blanks past the window's end is read again from its "##".
  const std::string spread = "##N" + std::string(150, ' ') + "POINTS=64\n##END=\n";
  EXPECT_EQ(valueOf(paddedTo(900) + spread, "##NPOINTS="), "64");
}

TEST_F(LabelReaderTest, ValuesAreReadWhole) {
  // Longer than what remains in the window: read again from the value's start.
  const std::string longValue(200, 'v');
  EXPECT_EQ(valueOf(paddedTo(900) + "##ORIGIN=" + longValue + "\n##END=\n", "##ORIGIN="),
            longValue);
  EXPECT_EQ(reader_->windowReads(), 2);
  const struct {
    std::string text;
    int32_t maxLength;
    std::string value;
  } cases[] = {
      {"##ORIGIN=  abc\ndef\n##END=\n", 256, "abcdef"},     // continued on the next line
      {"##ORIGIN=abcdefg   xyz\n##END=\n", 10, "abcdefg"},  // cut, then trailing blanks
      {"##ORIGIN=a$b$c\n##END=\n", 256, "abc"},
      {"##ORIGIN=me\r\n$$ note\r\n##END=\r\n", 256, "me"},  // a comment line ends it...
      {"##ORIGIN=me\n$$ note\n##END=\n", 256, "me note"},   // ...only after a CR
      {"##ORIGIN=12", 256, "12"},                           // at the very end of the file
  };
  for (const auto& c : cases) {
    EXPECT_EQ(valueOf("##TITLE=t\n" + c.text, "##ORIGIN=", c.maxLength), c.value) << c.text;
  }
}

TEST_F(LabelReaderTest, TheEndOfTheFileEndsEverySearch) {
  for (const char* tail : {"##NPOI", "##NPOINTS=", "##NPOINTS", "##", "#", "", "$$", "$$ x"}) {
    EXPECT_EQ(valueOf(std::string("##TITLE=a\n") + tail, "##NPOINTS="),
              "status 5: Unexpected end of file ")
        << tail;
  }
}

}  // namespace
}  // namespace jcamp
