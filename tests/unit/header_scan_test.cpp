// The header scan: the shapes it accepts, the reasons it refuses, and bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "scan/jcamp_reader.h"
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

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

class HeaderScanTest : public ::testing::Test {
 protected:
  std::string scan(const std::string& text) {
    entry_.path = testpaths::writeFile(dir_ + "/scan.jdx", text);
    return outcome();
  }
  // "status: message", or the entry: "samples x y firstX lastX table|title|origin|owner|names".
  std::string outcome() {
    const int32_t status = reader_.scanHeader();
    if (status != kReaderOk) return std::to_string(status) + ": " + reader_.message;
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
  JcampReader reader_{&entry_};
};

TEST_F(HeaderScanTest, ShapesAreMeasuredAndRefusalsExplained) {
  const std::pair<std::string, std::string> cases[] = {
      {block("One"), "1 4 0 4000 400 11|One|||"},
      {replaced(block("One"), "\n", "\r\n"), "1 4 0 4000 400 11|One|||"},
      {replaced(block("One"), "\n", "\r"), "1 4 0 4000 400 11|One|||"},
      {block("a") + block("b") + block("c"), "3 4 0 4000 400 11|a|||"},
      {kLink + block("first") + block("second"), "4 4 0 4000 400 11|first|||"},
      {replaced(kLink, "=4", "=2147483648") + block("a"), "21474836 4 0 4000 400 11|a|||"},
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
      {"#", "11: First line too long in JCAMP-DX file"},
      {replaced(kLink, "=4", "=0") + block("a"), "6: Illegal ##BLOCKS= value: 0"},
      {replaced(kLink, "=4", "=-2147483648") + block("a"), "6: Illegal ##BLOCKS= value: -2147483"},
      {replaced(kLink, "##BLOCKS=4\n", "") + block("a"),
       "1: Label ##BLOCKS= missing in block number 1"},
      {kLink, "5: Unexpected end of file "},
      // Not a LINK block: blocks are counted, and the first has no ##FIRSTX=.
      {replaced(kLink, "LINK", "link") + block("a"),
       "1: Label ##FIRSTX= missing in block number 2"},
      {block("a", replaced(kBody, "##NPOINTS=4\n", "")) + block("b") + block("c"),
       "1: Label ##NPOINTS= missing in block number 2"},
      {block("a", replaced(kBody, "##DATA TYPE", "##DATA")),
       "1: Label ##DATATYPE= missing in block number 1"},
      {block("a", replaced(kBody, "##XYDATA", "##PEAK TABLE")) + block("b"),
       "7: Tabular data XYDATA or XYPOINTS required"},
      {block("a", "##CONCENTRATIONS=(NCU\n(water, 1, %\n" + kBody),
       "16: Format error in ##CONCENTRATIONS data"},
      {block("a", "##ORIGIN=o\n##OWNER=w\n" + replaced(kBody, "##END=\n", "") + kNames),
       "5: Unexpected end of file while reading Y names"},
      {block("a", "##DATA TYPE=IR\n##FIRS"), "5: Unexpected end of file "},
  };
  for (const auto& [text, expected] : cases) {
    entry_ = JcampFileInfo();
    EXPECT_EQ(scan(text), expected) << text.substr(0, 80);
    if (expected.find('|') == std::string::npos) {
      EXPECT_EQ(entry_.sampleCount + entry_.xCount, 0);  // a refusal leaves the entry alone
    }
  }
  entry_.path = dir_ + "/missing.jdx";
  EXPECT_EQ(outcome(), "0: General file IO error");
}

// Every prefix of a good file, LF or CR LF, is accepted or refused with a
// status the scan defines and that status's message.
TEST_F(HeaderScanTest, EveryTruncationEndsInADefinedStatus) {
  const std::string good = kLink + block("first", kNames + kBody) + block("second");
  const std::set<int32_t> defined = {1, 2, 5, 6, 7, 11, 16, kReaderOk};
  for (const std::string& text : {good, replaced(good, "\n", "\r\n")}) {
    for (size_t length = 0; length < text.size(); ++length) {
      entry_.path = testpaths::writeFile(dir_ + "/cut.jdx", text.substr(0, length));
      const int32_t status = reader_.scanHeader();
      ASSERT_EQ(defined.count(status), 1u) << length;
      EXPECT_EQ(reader_.message.substr(0, 5),
                std::string(status == kReaderOk ? "" : JcampReader::messageText(status), 0, 5));
    }
    EXPECT_EQ(scan(text), "4 4 2 4000 400 11|first|||water,ethanol,");
  }
}

TEST_F(HeaderScanTest, LargeFilesReadOnlyTheWindowsTheyNeed) {
  std::string linked = replaced(kLink, "=4", "=300");
  std::string several;
  for (int i = 0; i < 300; ++i) {
    const std::string one = block("s" + std::to_string(i), kBody + std::string(300, '7') + "\n");
    linked += one;
    several += one;
  }
  EXPECT_EQ(scan(linked), "300 4 0 4000 400 11|s0|||");
  EXPECT_LE(reader_.windowReads(), 2);
  // Without LINK each block is counted: every window is read about once.
  EXPECT_EQ(scan(several), "300 4 0 4000 400 11|s0|||");
  EXPECT_LT(reader_.bytesRead(), several.size() * 13 / 10);
  std::string noLabels;
  while (noLabels.size() < 10'000'000) noLabels += "1234567890 $ # abcdefghijklmnopq\n";
  EXPECT_EQ(scan(noLabels), "2: General JCAMP format error");
}

TEST_F(HeaderScanTest, CorpusFilesWithConcentrationsAndCrLineEnds) {
  SKIP_WITHOUT_CORPUS();
  const std::string dir = testpaths::corpusDir() + "/real/nzhagen__jcamp/data__";
  entry_.path = dir + "jcamp-dx.org_official_test_data__IMSDEMO.DX";
  EXPECT_EQ(outcome().substr(0, 15), "1 1000 2 0 66 1");
  EXPECT_EQ(entry_.yNames, (std::vector<std::string>{"Acetone", "Pentane"}));
  entry_.path = dir + "Robert_J_Lancashire_test_data__mactab1.jdx";
  EXPECT_EQ(outcome(), "7: Tabular data XYDATA or XYPOINTS required");
  EXPECT_EQ(reader_.lineEnd, '\r');
  EXPECT_EQ(reader_.title(), "Aflatoxin  (macfile.jdx)");
}

#if !defined(_WIN32)
TEST_F(HeaderScanTest, FilesBeyondThirtyTwoBitOffsetsCannotBeMeasured) {
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
