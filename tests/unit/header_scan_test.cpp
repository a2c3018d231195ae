// The header scan: the shapes it accepts, the reasons it refuses, and bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "scan/jcamp_reader.h"
#include "support/test_paths.h"

namespace jcamp {
namespace {

const char kBody[] =
    "##DATA TYPE=INFRARED SPECTRUM\n##FIRSTX=4000.5\n##LASTX=400\n##NPOINTS=4\n"
    "##XYDATA=(X++(Y..Y))\n4000 1 2 3 4\n##END=\n";

std::string block(const std::string& title, const std::string& body = kBody) {
  return "##TITLE=" + title + "\n" + body;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::string withLineEnds(const std::string& text, const char* lineEnd) {
  return replaced(text, "\n", lineEnd);
}

const std::string kLink = "##TITLE=set\n##DATA TYPE=LINK\n##BLOCKS=4\n##END=\n";
const std::string kConcentrations =
    "##CONCENTRATIONS=(NCU)\n(water, 12.5, %)\n(<ethanol>, 3.0, %)\n";

struct Shape {
  const char* name;
  std::string text;
  int32_t samples, xCount, yCount, firstX, lastX, tableKind;
  std::string title, origin, owner;
  std::vector<std::string> yNames = {};
};

struct Refusal {
  const char* name;
  std::string text;
  int32_t status;
  std::string message;
};

class HeaderScanTest : public ::testing::Test {
 protected:
  int32_t scan(const std::string& text) {
    entry_.path = testpaths::writeFile(dir_ + "/scan.jdx", text);
    return reader_.scanHeader();
  }
  std::string dir_ = testpaths::scratchDir();
  JcampFileInfo entry_;
  JcampReader reader_{&entry_};
};

TEST_F(HeaderScanTest, AcceptedShapesFillTheEntry) {
  const std::string body = kBody;
  const Shape shapes[] = {
      {"single block", block("One"), 1, 4, 0, 4000, 400, 11, "One", "", ""},
      {"CR LF", withLineEnds(block("One"), "\r\n"), 1, 4, 0, 4000, 400, 11, "One", "", ""},
      {"CR only", withLineEnds(block("One"), "\r"), 1, 4, 0, 4000, 400, 11, "One", "", ""},
      {"three blocks", block("a") + block("b") + block("c"), 3, 4, 0, 4000, 400, 11, "a", "", ""},
      {"linked", kLink + block("first") + block("second"), 4, 4, 0, 4000, 400, 11, "first", "", ""},
      {"labels written apart",
       block("T",
             "##Data_Type=IR\n##first x=-7\n##Last-X=1e3\n"
             "##N Points=20000000000000000000\n##XY/POINTS=\n##END=\n"),
       1, 20000000, 0, -7, 1, 10, "T", "", ""},
      {"both tables", block("T", replaced(body, "##END=", "##XYPOINTS=(XY..XY)\n##END=")), 1, 4, 0,
       4000, 400, 11, "T", "", ""},
      {"origin and owner",
       block("A title longer than twenty-eight characters",
             "##ORIGIN=Lab\r\n$$ comment\r\n##OWNER=  me  and  you   \n" + body),
       1, 4, 0, 4000, 400, 11, "A title longer than twenty-e", "Lab", "me  and  you"},
      {"concentrations",
       block("C", kConcentrations + body),
       1,
       4,
       2,
       4000,
       400,
       11,
       "C",
       "",
       "",
       {"water", "ethanol"}},
      // "(abc)" counts but its name runs into the next "(", which starts afresh.
      {"tuple without comma",
       block("C", "##CONCENTRATIONS=(NCU)\n(abc)\n(" + std::string(45, 'n') + " ,1,%)\n" + body),
       1,
       4,
       2,
       4000,
       400,
       11,
       "C",
       "",
       "",
       {std::string(39, 'n')}},
      {"blocks beyond 8 digits", replaced(kLink, "=4", "=2147483648") + block("a"), 21474836, 4, 0,
       4000, 400, 11, "a", "", ""},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.name);
    entry_ = JcampFileInfo();
    ASSERT_EQ(scan(s.text), kReaderOk) << reader_.message;
    EXPECT_EQ(reader_.message, "");
    EXPECT_EQ(entry_.sampleCount, s.samples);
    EXPECT_EQ(entry_.xCount, s.xCount);
    EXPECT_EQ(entry_.yCount, s.yCount);
    EXPECT_EQ(entry_.firstX, s.firstX);
    EXPECT_EQ(entry_.lastX, s.lastX);
    EXPECT_EQ(entry_.tableKind, s.tableKind);
    EXPECT_EQ(entry_.title, s.title);
    EXPECT_EQ(entry_.origin, s.origin);
    EXPECT_EQ(entry_.owner, s.owner);
    EXPECT_EQ(entry_.yNames, s.yNames);
  }
}

TEST_F(HeaderScanTest, RefusedFilesGiveTheirStatusAndLeaveTheEntryAlone) {
  const std::string body = kBody;
  const Refusal refusals[] = {
      {"empty", "", 2, "General JCAMP format error"},
      {"no title", "##JCAMP-DX=4.24\n##END=\n", 2, "General JCAMP format error"},
      {"1 byte", "#", 11, "First line too long in JCAMP-DX file"},
      {"long first line", std::string(1500, 'x') + "\n" + block("a"), 11,
       "First line too long in JCAMP-DX file"},
      {"blocks 0", replaced(kLink, "=4", "=0") + block("a"), 6, "Illegal ##BLOCKS= value: 0"},
      {"blocks -2^31", replaced(kLink, "=4", "=-2147483648") + block("a"), 6,
       "Illegal ##BLOCKS= value: -2147483"},
      {"link without blocks", replaced(kLink, "##BLOCKS=4\n", "") + block("a"), 1,
       "Label ##BLOCKS= missing in block number 1"},
      {"link without data", kLink, 5, "Unexpected end of file "},
      {"lower-case link", replaced(kLink, "LINK", "link") + block("a"), 1,
       "Label ##FIRSTX= missing in block number 2"},
      {"no npoints", block("a", replaced(body, "##NPOINTS=4\n", "")), 1,
       "Label ##NPOINTS= missing in block number 1"},
      {"no npoints, 3 blocks",
       block("a", replaced(body, "##NPOINTS=4\n", "")) + block("b") + block("c"), 1,
       "Label ##NPOINTS= missing in block number 2"},
      {"no data type", block("a", replaced(body, "##DATA TYPE=INFRARED SPECTRUM\n", "")), 1,
       "Label ##DATATYPE= missing in block number 1"},
      {"peak table", block("a", replaced(body, "##XYDATA", "##PEAK TABLE")), 7,
       "Tabular data XYDATA or XYPOINTS required"},
      {"table in a later block", block("a", replaced(body, "##XYDATA", "##PEAKTABLE")) + block("b"),
       7, "Tabular data XYDATA or XYPOINTS required"},
      {"no )", block("a", "##CONCENTRATIONS=(NCU\n(water, 1, %\n" + body), 16,
       "Format error in ##CONCENTRATIONS data"},
      {"end inside names",
       block("a", "##ORIGIN=o\n##OWNER=w\n" + body.substr(0, body.size() - 7) + kConcentrations), 5,
       "Unexpected end of file while reading Y names"},
      // Without ##END= the search for the optional ##ORIGIN= runs into the end.
      {"ends after ##", block("a", body.substr(0, 60)), 5, "Unexpected end of file "},
      {"ends inside a label name", block("a", "##DATA TYPE=IR\n##FIRS"), 5,
       "Unexpected end of file "},
      {"ends after a label", block("a", "##DATA TYPE=IR\n##FIRSTX="), 5, "Unexpected end of file "},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.name);
    entry_ = JcampFileInfo();
    EXPECT_EQ(scan(r.text), r.status);
    EXPECT_EQ(reader_.status, r.status);
    EXPECT_EQ(reader_.message, r.message);
    EXPECT_EQ(entry_.xCount, 0);
    EXPECT_EQ(entry_.sampleCount, 0);
    EXPECT_EQ(entry_.title, "");
  }
  entry_.path = dir_ + "/missing.jdx";
  EXPECT_EQ(reader_.scanHeader(), kStatusIoError);
  EXPECT_EQ(reader_.message, "General file IO error");
}

// Every prefix of a good file (and the same with CR LF) is accepted or refused
// with a status the scan defines and that status's message.
TEST_F(HeaderScanTest, EveryTruncationEndsInADefinedStatus) {
  const std::string good = kLink + block("first", kConcentrations + kBody) + block("second");
  const std::set<int32_t> defined = {0, 1, 2, 5, 6, 7, 11, 16, kReaderOk};
  for (const std::string& text : {good, withLineEnds(good, "\r\n")}) {
    for (size_t length = 0; length <= text.size(); ++length) {
      const int32_t status = scan(text.substr(0, length));
      ASSERT_EQ(defined.count(status), 1u) << length;
      if (status == kReaderOk) {
        EXPECT_EQ(reader_.message, "");
      } else {
        EXPECT_EQ(reader_.message.substr(0, 5), std::string(JcampReader::messageText(status), 5))
            << length;
      }
    }
    EXPECT_EQ(scan(text), kReaderOk);
    EXPECT_EQ(entry_.yNames, (std::vector<std::string>{"water", "ethanol"}));  // not doubled
  }
}

TEST_F(HeaderScanTest, LargeInputsReadOnlyTheWindowsTheyNeed) {
  std::string linked = replaced(kLink, "=4", "=300");
  std::string several;
  for (int i = 0; i < 300; ++i) {
    const std::string one = block("spectrum " + std::to_string(i),
                                  replaced(kBody, "4000 1 2 3 4\n", std::string(300, '7') + "\n"));
    linked += one;
    several += one;
  }
  ASSERT_EQ(scan(linked), kReaderOk);
  EXPECT_EQ(entry_.sampleCount, 300);
  EXPECT_LE(reader_.windowReads(), 4);
  // Without LINK every block is counted: each window is read about once.
  ASSERT_EQ(scan(several), kReaderOk);
  EXPECT_EQ(entry_.sampleCount, 300);
  EXPECT_LT(reader_.bytesRead(), several.size() * 13 / 10);

  std::string noLabels;
  while (noLabels.size() < 10'000'000) noLabels += "1234567890 $ # abcdefghijklmnopq\n";
  EXPECT_EQ(scan(noLabels), kStatusFormatError);
}

TEST_F(HeaderScanTest, CorpusConcentrationNames) {
  SKIP_WITHOUT_CORPUS();
  const std::string dir = testpaths::corpusDir() + "/real/nzhagen__jcamp/";
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"data__jcamp-dx.org_official_test_data__IMSDEMO.DX", {"Acetone", "Pentane"}},
      {"data__jcamp-dx.org_official_test_data__IMS_TEST1.DX", {"TETRACHLOROETHENE"}},
      {"data__test__jcamp2001_example.txt", {"TETRACHLOROETHENE"}},
  };
  for (const auto& [file, names] : cases) {
    entry_.path = dir + file;
    ASSERT_EQ(reader_.scanHeader(), kReaderOk) << file;
    EXPECT_EQ(entry_.yNames, names) << file;
    EXPECT_EQ(entry_.yCount, static_cast<int32_t>(names.size())) << file;
  }
}

#if !defined(_WIN32)
TEST_F(HeaderScanTest, FilesBeyondThirtyTwoBitOffsetsCannotBeMeasured) {
  entry_.path = testpaths::writeFile(dir_ + "/huge.jdx", block("a"));
  std::error_code error;
  std::filesystem::resize_file(entry_.path, (uint64_t{1} << 31), error);
  if (error) GTEST_SKIP() << "cannot make a sparse file here: " << error.message();
  EXPECT_EQ(reader_.scanHeader(), kStatusIoError);
  EXPECT_EQ(reader_.message, "General file IO error");
  std::filesystem::remove(entry_.path);
}
#endif

}  // namespace
}  // namespace jcamp
