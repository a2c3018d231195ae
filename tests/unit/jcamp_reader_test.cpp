// The header scanning reader: its label search through the window, the header
// scan with the shapes it accepts and the reasons it refuses, and its messages.
#include "scan/jcamp_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "document/row_model.h"
#include "support/jdx_text.h"
#include "support/test_paths.h"

namespace jcamp {
namespace {

const std::string kBody =
    "##DATA TYPE=INFRARED SPECTRUM\n##FIRSTX=4000.5\n##LASTX=400\n##NPOINTS=4\n"
    "##XYDATA=(X++(Y..Y))\n4000 1 2 3 4\n##END=\n";
const std::string kLink = "##TITLE=set\n##DATA TYPE=LINK\n##BLOCKS=4\n##END=\n";
const std::string kNames = "##CONCENTRATIONS=(NCU)\n(water, 12.5, %)\n(<ethanol>, 3.0, %)\n";

std::string block(const std::string& title, const std::string& body = kBody) {
  return "##TITLE=" + title + "\n" + body;
}

using jdxtext::replaced;

// "##TITLE=x" and a filler line, so that what follows starts at offset.
std::string paddedTo(size_t offset) {
  return "##TITLE=x\n" + std::string(offset - 11, 'a') + "\n";
}

std::unique_ptr<JcampReader> readerOf(const ReadingRules& rules, JcampFileInfo* entry) {
  return std::make_unique<JcampReader>(rules, RowModel::of(rules).firstSample(), entry);
}

class JcampReaderTest : public ::testing::Test {
 protected:
  // A fresh reader on text, its file open.
  JcampReader& open(const std::string& text) {
    entry_.path = testpaths::writeFile(dir_ + "/t.jdx", text);
    reader_ = readerOf(kHostCompatibleRules, &entry_);
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
  // Scans text with the same reader as before.
  std::string scan(const std::string& text) {
    entry_.path = testpaths::writeFile(dir_ + "/t.jdx", text);
    return outcome();
  }
  // "status: message", or the entry: "samples x y firstX lastX table|title|origin|owner|names".
  std::string outcome() {
    const int32_t status = reader_->scanHeader();
    if (status != kStatusOk) return std::to_string(status) + ": " + reader_->message;
    std::string text;
    for (int32_t n : {entry_.sampleCount, entry_.xCount, entry_.yCount, entry_.firstX, entry_.lastX,
                      entry_.tableKind}) {
      text += (text.empty() ? "" : " ") + std::to_string(n);
    }
    text += "|" + entry_.title + "|" + entry_.origin + "|" + entry_.owner + "|";
    for (const std::string& name : entry_.yNames) text += name + ",";
    return text;
  }
  std::string dir_ = testpaths::scratchDir();
  JcampFileInfo entry_;
  std::unique_ptr<JcampReader> reader_ = readerOf(kHostCompatibleRules, &entry_);
};

TEST_F(JcampReaderTest, LineEndComesFromTheLastBreakOfTheFirstWindow) {
  const std::pair<std::string, char> cases[] = {
      {"##TITLE=a\n##END=\n", '\n'},
      {"##TITLE=a\r\n##END=\r\n", '\n'},
      {"##TITLE=a\r##END=\r", '\r'},
      {"##TITLE=a\n\r##END=\n\r", '\r'},
      // The window ends between CR and LF: the byte after that CR is not known yet.
      {"##TITLE=a\r\n" + std::string(1011, 'b') + "\r\n##END=\r\n", '\n'},
      {"##TITLE=a\n\r" + std::string(1011, 'b') + "\n\r##END=\n\r", '\r'},
      {std::string(1100, 'x') + "\n", '\0'},  // none in the first 1024 bytes
  };
  for (const auto& [text, lineEnd] : cases) {
    JcampReader& reader = open(text);
    EXPECT_EQ(reader.fillWindow(0), lineEnd == '\0' ? 1 : 0);
    EXPECT_EQ(reader.lineEnd, lineEnd) << text.substr(0, 12);
  }
  EXPECT_EQ(reader_->message, "First line too long in JCAMP-DX file");
}

// Names are compared without blanks, "-", "/" and "_", in upper case; a "##"
// in a comment is no label. Near the window's end the name must still be read.
TEST_F(JcampReaderTest, LabelsAreFoundWhateverTheirSpellingAndPlace) {
  for (size_t offset = 950; offset <= 1030; ++offset) {
    for (const char* label :
         {"##NPOINTS=", "##n-P_o/Ints =", "  ##N P O I N T S =  ", "$$ ##NPOINTS=1\n##NPOINTS="}) {
      EXPECT_EQ(valueOf(paddedTo(offset) + label + "512\n##END=\n", "##NPOINTS="), "512")
          << label << " at " << offset;
    }
  }
  // A name spread by blanks past the window's end is read again from its "##".
  const std::string spread = "##N" + std::string(150, ' ') + "POINTS=64\n##END=\n";
  EXPECT_EQ(valueOf(paddedTo(900) + spread, "##NPOINTS="), "64");
}

// A search reuses the window when at least 256 bytes of it follow its start.
TEST_F(JcampReaderTest, ASearchReusesTheWindowOnlyWithRoomAfterItsStart) {
  JcampReader& reader = open(paddedTo(900) + "##NPOINTS=5\n##END=\n" + std::string(2000, 'x'));
  for (const auto& [start, reads] : {std::pair{0, 1}, {768, 1}, {769, 2}}) {
    ASSERT_EQ(reader.findLabel("##NPOINTS=", 8, start, ValueMode::kRead, SearchScope::kFile, 1), 0);
    EXPECT_EQ(reader.windowReads(), reads) << start;
  }
}

TEST_F(JcampReaderTest, ValuesAreReadWholeUpToTheEndOfTheFile) {
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
  // The end of the file ends every search.
  for (const char* tail : {"##ORIG", "##ORIGIN", "##", "#", "", "$$ x"}) {
    EXPECT_EQ(valueOf(std::string("##TITLE=a\n") + tail, "##ORIGIN="),
              "status 5: Unexpected end of file ")
        << tail;
  }
}

// Each file scanned by both rule sets: the shape, or the refusal; the
// standard rules give the same unless a second outcome is given.
TEST_F(JcampReaderTest, ShapesAreMeasuredAndRefusalsExplained) {
  const std::string type = "##DATA TYPE=MASS SPECTRUM\n";
  const std::string peaks = type + "##NPOINTS=2\n##PEAK TABLE=(XY..XY)\n1,2 3,4\n##END=\n";
  struct Case {
    std::string text;
    std::string host;
    std::string standard = "";
  };
  const Case cases[] = {
      {block("One"), "1 4 0 4000 400 11|One|||"},
      {replaced(block("One"), "\n", "\r"), "1 4 0 4000 400 11|One|||"},
      {block("a") + block("b") + block("c"), "3 4 0 4000 400 11|a|||"},
      // The blocks announced (the import makes rows of those the file holds).
      {kLink + block("first") + block("second"), "4 4 0 4000 400 11|first|||"},
      // Labels written apart; counts cut to 8 characters; whole numbers saturate.
      {block("T",
             "##Data_Type=IR\n##first x=-7\n##Last-X=99999999999\n"
             "##N Points=20000000000000000000\n##XY/POINTS=\n##END=\n"),
       "1 20000000 0 -7 2147483647 10|T|||"},
      {block("T", replaced(kBody, "##END=", "##XYPOINTS=(XY..XY)\n##END=")),
       "1 4 0 4000 400 11|T|||"},
      {block("A title longer than twenty-eight characters",
             "##ORIGIN=Lab\r\n$$ comment\r\n##OWNER=  me  and  you   \n" + kBody),
       "1 4 0 4000 400 11|A title longer than twenty-e|Lab|me  and  you|"},
      {block("C", kNames + kBody), "1 4 2 4000 400 11|C|||water,ethanol,"},
      // "(abc)" counts, but its name runs into the next "(", which starts afresh.
      {block("C", "##CONCENTRATIONS=(NCU)\n(abc)\n(" + std::string(45, 'n') + ",1,%)\n" + kBody),
       "1 4 2 4000 400 11|C|||" + std::string(39, 'n') + ","},
      {"", "2: General JCAMP format error"},
      {"##JCAMP-DX=4.24\n##END=\n", "2: General JCAMP format error"},
      // The scan passes over what comes before the first title (the host-compatible
      // document then refuses such a file), also on the title's line.
      {"\n \nExported by X\n##OWNER=x\n" + block("Late"), "1 4 0 4000 400 11|Late|||"},
      {"\xEF\xBB\xBF" + block("Marked"), "1 4 0 4000 400 11|Marked|||"},
      {"#", "11: First line too long in JCAMP-DX file", "2: General JCAMP format error"},
      {"##TITLE=" + std::string(1100, 'x') + "\n" + kBody,
       "11: First line too long in JCAMP-DX file",
       "1 4 0 4000 400 11|xxxxxxxxxxxxxxxxxxxxxxxxxxxx|||"},
      {replaced(kLink, "=4", "=0") + block("a"), "6: Illegal ##BLOCKS= value: 0"},
      {replaced(kLink, "##BLOCKS=4\n", "") + block("a"),
       "1: Label ##BLOCKS= missing in block number 1"},
      {kLink, "5: Unexpected end of file "},
      // Not a LINK block: blocks are counted, and the first has no ##FIRSTX=.
      {replaced(kLink, "LINK", "link") + block("a"), "1: Label ##FIRSTX= missing in block number 2",
       "4 4 0 4000 400 11|a|||"},
      {block("a", replaced(kBody, "##DATA TYPE", "##DATA")),
       "1: Label ##DATATYPE= missing in block number 1", "1 4 0 4000 400 11|a|||"},
      {"##title=lower\n##data type=IR\n##firstx=4000.5\n##lastx=400\n##npoints=4\n"
       "##xydata=(X++(Y..Y))\n4000 1 2 3 4\n##end=\n",
       "1: Label ##TITLE= missing in block number 1", "1 4 0 4000 400 11|lower|||"},
      // Without ##END= the search for a label the block lacks runs into the end.
      {block("a", replaced(kBody, "##END=\n", "")), "5: Unexpected end of file ",
       "1 4 0 4000 400 11|a|||"},
      // Peak tables: their pairs give the abscissas; other tables are named.
      {block("p", peaks), "1: Label ##FIRSTX= missing in block number 1", "1 2 0 0 0 12|p|||"},
      {block("a", replaced(kBody, "##XYDATA", "##PEAK TABLE")) + block("b"),
       "7: Tabular data XYDATA or XYPOINTS required", "2 4 0 4000 400 11|b|||"},
      {block("n", type + "##NTUPLES=NMR\n##END=\n"), "1: Label ##FIRSTX= missing in block number 1",
       "7: No ##DATA TABLE= in the NTUPLES block"},
      {block("a", "##CONCENTRATIONS=(NCU\n(water, 1, %\n" + kBody),
       "16: Format error in ##CONCENTRATIONS data"},
      {block("a", "##ORIGIN=o\n##OWNER=w\n" + replaced(kBody, "##END=\n", "") + kNames),
       "5: Unexpected end of file while reading Y names"},
  };
  for (const Case& c : cases) {
    for (const ReadingRules& rules : {kHostCompatibleRules, kStandardRules}) {
      const bool standard = rules.anyLineEnd;
      const std::string& expected = standard && !c.standard.empty() ? c.standard : c.host;
      entry_ = JcampFileInfo();
      reader_ = readerOf(rules, &entry_);
      EXPECT_EQ(scan(c.text), expected) << (standard ? "standard: " : "") << c.text.substr(0, 80);
      if (expected.find('|') == std::string::npos) {
        EXPECT_EQ(entry_.sampleCount + entry_.xCount, 0);  // a refusal leaves the entry alone
      }
    }
  }
  entry_.path = dir_ + "/missing.jdx";
  EXPECT_EQ(outcome(), "0: General file IO error");
}

// Every prefix of a good file, LF or CR LF, is accepted or refused with a
// status the scan defines and that status's message.
TEST_F(JcampReaderTest, EveryTruncationEndsInADefinedStatus) {
  const std::string good = kLink + block("first", kNames + kBody) + block("second");
  const std::set<int32_t> defined = {1, 2, 5, 6, 7, 11, 16, kStatusOk};
  for (const std::string& text : {good, replaced(good, "\n", "\r\n")}) {
    for (size_t length = 0; length < text.size(); ++length) {
      entry_.path = testpaths::writeFile(dir_ + "/cut.jdx", text.substr(0, length));
      const int32_t status = reader_->scanHeader();
      ASSERT_EQ(defined.count(status), 1u) << length;
      EXPECT_EQ(reader_->message.substr(0, 5),
                std::string(status == kStatusOk ? "" : statusText(status), 0, 5));
    }
    EXPECT_EQ(scan(text), "4 4 2 4000 400 11|first|||water,ethanol,");
  }
}

TEST_F(JcampReaderTest, LargeFilesReadOnlyTheWindowsTheyNeed) {
  std::string linked = replaced(kLink, "=4", "=300");
  std::string several;
  for (int i = 0; i < 300; ++i) {
    const std::string one = block("s" + std::to_string(i), kBody + std::string(300, '7') + "\n");
    linked += one;
    several += one;
  }
  EXPECT_EQ(scan(linked), "300 4 0 4000 400 11|s0|||");
  EXPECT_LE(reader_->windowReads(), 2);
  // Without LINK each block is counted: every window is read about once.
  EXPECT_EQ(scan(several), "300 4 0 4000 400 11|s0|||");
  EXPECT_LT(reader_->bytesRead(), several.size() * 13 / 10);
  std::string noLabels;
  while (noLabels.size() < 10'000'000) noLabels += "1234567890 $ # abcdefghijklmnopq\n";
  EXPECT_EQ(scan(noLabels), "2: General JCAMP format error");
}

#if !defined(_WIN32)
TEST_F(JcampReaderTest, FilesBeyondThirtyTwoBitOffsetsCannotBeMeasured) {
  entry_.path = testpaths::writeFile(dir_ + "/huge.jdx", block("a"));
  std::error_code error;
  std::filesystem::resize_file(entry_.path, uint64_t{1} << 31, error);  // sparse
  if (error) GTEST_SKIP() << "cannot make a sparse file here: " << error.message();
  EXPECT_EQ(outcome(), "0: General file IO error");
  std::filesystem::remove(entry_.path);
}
#endif

}  // namespace
}  // namespace jcamp
