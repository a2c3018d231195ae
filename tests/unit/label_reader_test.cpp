// The windowed label reader: line ends, label normalisation, window
// boundaries, value reading and the ends of files.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "scan/jcamp_reader.h"
#include "support/test_paths.h"

namespace jcamp {
namespace {

class LabelReaderTest : public ::testing::Test {
 protected:
  // Writes text as a file and opens a fresh reader on it.
  JcampReader& open(const std::string& text) {
    entry_ = std::make_unique<JcampFileInfo>(
        testpaths::writeFile(testpaths::scratchDir() + "/label.jdx", text));
    reader_ = std::make_unique<JcampReader>(entry_.get());
    EXPECT_EQ(reader_->openFile(), 0);
    return *reader_;
  }

  // Finds label within the block, from the end of the file's first line on
  // (past its ##TITLE=); 0 or 1 as findLabel returns.
  static int32_t find(JcampReader& reader, const std::string& text, const char* label,
                      int32_t maxLength = 256, SearchScope scope = SearchScope::kBlock) {
    const size_t lineEnd = text.find_first_of("\r\n");
    const int64_t start = lineEnd == std::string::npos ? 0 : static_cast<int64_t>(lineEnd);
    return reader.findLabel(label, maxLength, start, ValueMode::kRead, scope, 1);
  }

  // The value of label, or "status N: message" when it is not found.
  std::string valueOf(const std::string& text, const char* label, int32_t maxLength = 256,
                      SearchScope scope = SearchScope::kBlock) {
    JcampReader& reader = open(text);
    if (find(reader, text, label, maxLength, scope) == 0) return reader.value();
    return "status " + std::to_string(reader.status) + ": " + reader.message;
  }

  // "##TITLE=x" and filler lines, so that whatever follows starts at offset.
  static std::string paddedTo(size_t offset) {
    std::string text = "##TITLE=x\n";
    if (offset > text.size()) text += std::string(offset - text.size() - 1, 'a') + "\n";
    return text;
  }

  std::unique_ptr<JcampFileInfo> entry_;
  std::unique_ptr<JcampReader> reader_;
};

TEST_F(LabelReaderTest, LineEndComesFromTheLastBreakOfTheFirstWindow) {
  const struct {
    std::string text;
    char lineEnd;
  } cases[] = {
      {"##TITLE=a\n##END=\n", '\n'},
      {"##TITLE=a\r\n##END=\r\n", '\n'},
      {"##TITLE=a\r##END=\r", '\r'},
      {"##TITLE=a\n\r##END=\n\r", '\r'},
      {"##TITLE=a\r\n\r\n##END=", '\n'},
      // The window ends between CR and LF: the byte after the CR is not known yet.
      {"##TITLE=a\r\n" + std::string(1011, 'b') + "\r\n##END=\r\n", '\n'},
  };
  for (const auto& c : cases) {
    JcampReader& reader = open(c.text);
    EXPECT_EQ(reader.fillWindow(0), 0);
    EXPECT_EQ(reader.lineEnd, c.lineEnd) << c.text.substr(0, 20);
  }
  for (const std::string& text : {std::string(2000, 'x') + "\n", std::string("x")}) {
    JcampReader& reader = open(text);
    EXPECT_EQ(reader.fillWindow(0), 1);
    EXPECT_EQ(reader.status, kStatusFirstLineTooLong);
    EXPECT_EQ(reader.message, "First line too long in JCAMP-DX file");
  }
}

TEST_F(LabelReaderTest, LabelsAreFoundWhateverTheirSpelling) {
  for (const char* spelling : {"##NPOINTS=", "##npoints=", "##N POINTS =", "##N-Points=",
                               "##N_POINTS=", "##N/POINTS=", "  ##nPoints  =  "}) {
    EXPECT_EQ(valueOf(std::string("##TITLE=t\n") + spelling + "1024\n##END=\n", "##NPOINTS="),
              "1024")
        << spelling;
  }
}

TEST_F(LabelReaderTest, CommentsHideWhatLooksLikeALabel) {
  EXPECT_EQ(valueOf("##TITLE=t\n$$ ##NPOINTS=5\n##NPOINTS=7\n##END=\n", "##NPOINTS="), "7");
  EXPECT_EQ(valueOf("##TITLE=t\r\n$$##NPOINTS=5\r\n##NPOINTS=7\r\n##END=\r\n", "##NPOINTS="), "7");
  // A comment line at the end of the file ends the search there.
  EXPECT_EQ(valueOf("##TITLE=t\n$$ no line end", "##NPOINTS="),
            "status 5: Unexpected end of file ");
}

TEST_F(LabelReaderTest, ABlockSearchStopsAtTheNextBlock) {
  const std::string text = "##TITLE=a\n##END=\n##TITLE=b\n##NPOINTS=9\n##END=\n";
  JcampReader& reader = open(text);
  EXPECT_EQ(reader.findLabel("##NPOINTS=", 8, 9, ValueMode::kRead, SearchScope::kBlock, 3), 1);
  EXPECT_EQ(reader.status, kStatusLabelMissing);
  EXPECT_EQ(reader.message, "Label ##NPOINTS= missing in block number 3");
  EXPECT_EQ(valueOf(text, "##NPOINTS=", 8, SearchScope::kFile), "9");
  // A following ##TITLE= ends the block as well, even without ##END=.
  EXPECT_EQ(valueOf("##TITLE=a\n##TITLE=b\n##NPOINTS=9\n", "##NPOINTS=").substr(0, 8), "status 1");
}

TEST_F(LabelReaderTest, LabelsAcrossTheWindowBoundaryAreFound) {
  for (size_t offset = 950; offset <= 1030; ++offset) {
    for (const char* label : {"##NPOINTS=", "##N P O I N T S =", "$$ ##NPOINTS=1\n##NPOINTS="}) {
      EXPECT_EQ(valueOf(paddedTo(offset) + label + "512\n##END=\n", "##NPOINTS="), "512")
          << label << " at " << offset;
    }
  }
  // A name spread by blanks beyond the window's end is read again from its "##".
  const std::string spread = std::string("##N") + std::string(150, ' ') + "POINTS=64\n##END=\n";
  for (size_t offset : {900u, 1000u, 1100u}) {
    EXPECT_EQ(valueOf(paddedTo(offset) + spread, "##NPOINTS="), "64") << offset;
  }
}

TEST_F(LabelReaderTest, ValuesAreReadWhole) {
  // Longer than what remains in the window: read again from the value's start.
  const std::string longValue(200, 'v');
  const std::string text = paddedTo(900) + "##ORIGIN=" + longValue + "\n##END=\n";
  JcampReader& reader = open(text);
  ASSERT_EQ(find(reader, text, "##ORIGIN="), 0);
  EXPECT_EQ(reader.value(), longValue);
  EXPECT_EQ(reader.windowReads(), 2);

  const struct {
    std::string text;
    int32_t maxLength;
    std::string value;
  } cases[] = {
      {"##ORIGIN=  abc\ndef\n##END=\n", 256, "abcdef"},     // continued on the next line
      {"##ORIGIN=abcdefg   xyz\n##END=\n", 10, "abcdefg"},  // cut, then trailing blanks
      {"##ORIGIN=a$b$c\n##END=\n", 256, "abc"},
      {"##ORIGIN=me\r\n$$ note\r\n##END=\r\n", 256, "me"},  // a comment line ends it
      {"##ORIGIN=me\n$$ note\n##END=\n", 256, "me note"},   // only after CR
      {"##ORIGIN=\n##END=\n", 256, ""},
      {"##ORIGIN=12", 256, "12"},  // at the very end of the file
  };
  for (const auto& c : cases) {
    EXPECT_EQ(valueOf("##TITLE=t\n" + c.text, "##ORIGIN=", c.maxLength), c.value) << c.text;
  }
}

TEST_F(LabelReaderTest, TheEndOfTheFileEndsEverySearch) {
  for (const char* tail : {"##NPOI", "##NPOINTS=", "##", "#", "", "$$", "##NPOINTS"}) {
    EXPECT_EQ(valueOf(std::string("##TITLE=a\n") + tail, "##NPOINTS="),
              "status 5: Unexpected end of file ")
        << tail;
  }
}

TEST_F(LabelReaderTest, SkipToCharStopsAtTheNextLabel) {
  JcampReader& reader = open("##TITLE=t\n(NCU $$ ) in a comment\n##END=)\n");
  ASSERT_EQ(reader.fillWindow(9), 0);
  EXPECT_EQ(reader.skipToChar(')', kStatusConcentrations), 1);
  EXPECT_EQ(reader.status, kStatusConcentrations);
  EXPECT_EQ(reader.message, "Format error in ##CONCENTRATIONS data");
  JcampReader& other = open(std::string(1030, '\n') + "(NCU)");
  ASSERT_EQ(other.fillWindow(0), 0);
  EXPECT_EQ(other.skipToChar(')', kStatusConcentrations), 0);
  EXPECT_EQ(other.absolutePosition(), 1034);
  EXPECT_EQ(other.skipToChar('x', kStatusConcentrations), 1);
  EXPECT_EQ(other.status, kStatusUnexpectedEnd);
}

TEST_F(LabelReaderTest, CorpusFilesWithCrLineEndsAndLowerCaseLabels) {
  SKIP_WITHOUT_CORPUS();
  const std::string dir = testpaths::corpusDir() + "/real/";
  JcampFileInfo macFile(dir + "nzhagen__jcamp/data__Robert_J_Lancashire_test_data__mactab1.jdx");
  JcampReader mac(&macFile);
  EXPECT_EQ(mac.scanHeader(), kStatusNoXyTable);  // a peak table only
  EXPECT_EQ(mac.lineEnd, '\r');
  EXPECT_EQ(mac.title(), "Aflatoxin  (macfile.jdx)");
  EXPECT_EQ(mac.owner(), "Dr Robert Lancashire");
  EXPECT_EQ(mac.nPoints, 23);

  // "##first X=" is ##FIRSTX=.
  entry_ = std::make_unique<JcampFileInfo>(
      dir + "cheminfo__jcampconverter/__tests____data__misc__camelLabels.jdx");
  reader_ = std::make_unique<JcampReader>(entry_.get());
  ASSERT_EQ(reader_->openFile(), 0);
  ASSERT_EQ(reader_->findLabel("##FIRSTX=", 256, 0, ValueMode::kRead, SearchScope::kFile, 1), 0);
  EXPECT_STREQ(reader_->value(), "0.905");
}

}  // namespace
}  // namespace jcamp
