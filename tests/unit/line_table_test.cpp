#include "document/line_table.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/worker_pool.h"
#include "support/test_paths.h"

namespace jcamp {
namespace {

using Lines = std::vector<std::string>;

Lines linesOf(const LineTable& table) {
  Lines lines;
  for (uint32_t i = 0; i < table.count(); ++i) lines.emplace_back(table.line(i));
  return lines;
}

Lines loadRaw(const std::string& text, const ReadingRules& rules = kHostCompatibleRules,
              uint32_t* cutLine = nullptr) {
  LineTable table(rules);
  EXPECT_EQ(table.loadText(text.data(), text.size()), kStatusOk);
  if (cutLine != nullptr) *cutLine = table.cutLine();
  return linesOf(table);
}

// The lines as a Windows text stream gives them to getline into a 128-byte
// buffer: one counting pass, then one reading pass of that many lines.
Lines streamLines(const std::string& bytes) {
  std::string text;
  for (size_t i = 0; i < bytes.size() && bytes[i] != '\x1a'; ++i) {
    if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n') text += bytes[i];
  }
  std::istringstream in(text);
  char buffer[kLineBufferSize];
  size_t count = 0;
  do {
    in.getline(buffer, sizeof buffer);
    ++count;
  } while (!in.eof() && !in.fail());
  in.clear();
  in.seekg(0);
  Lines lines;
  for (size_t i = 0; i < count; ++i) {
    in.getline(buffer, sizeof buffer);
    lines.emplace_back(buffer);
  }
  return lines;
}

TEST(LineTableTest, SplitsLinesAsAWindowsTextStreamReadsThem) {
  const std::string s127(127, 'a');
  const std::string s128 = s127 + "b";
  struct Case {
    std::string text;
    Lines lines;
    uint32_t cutLine = 0;  // where the input stopped early
  };
  const Case cases[] = {
      {"##TITLE=abc\n##END=\n", {"##TITLE=abc", "##END=", ""}},
      {"##TITLE=abc\n##END=", {"##TITLE=abc", "##END="}},
      {"a\r\nb\r\n", {"a", "b", ""}},
      {"a\rb\n\r", {"a\rb", "\r"}},          // a lone CR stays in its line
      {"a\r\r\nb", {"a\r", "b"}},            // only the CR right before LF goes
      {"a\nb\x1a\nc\n", {"a", "b"}, 2},      // Ctrl-Z ends the input, early: text follows
      {"a\nb\x1a\r\n\x1a ", {"a", "b"}, 0},  // but not when only blanks follow
      {s127 + "\nx", {s127, "x"}},
      {s127 + "\r\nx", {s127, "x"}},
      {s128, {s127}, 1},
      {"x\n" + std::string(200, 'c') + "\ny\n", {"x", std::string(127, 'c')}, 2},
      {s127 + "\rx\n", {s127}, 1},  // the lone CR makes it 128 long
  };
  for (const Case& c : cases) {
    uint32_t cutLine = 99;
    EXPECT_EQ(loadRaw(c.text, kHostCompatibleRules, &cutLine), c.lines) << c.text;
    EXPECT_EQ(cutLine, c.cutLine) << c.text;
    EXPECT_EQ(streamLines(c.text), c.lines) << c.text;
  }
}

// Under the standard rules CR, LF and CR LF end lines alike and no line is cut.
TEST(LineTableTest, UnderTheStandardRulesAnyLineEndEndsALine) {
  const std::string s300(300, 'a');
  const std::pair<std::string, Lines> cases[] = {
      {"a\rb\r", {"a", "b", ""}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n\rb\r\r", {"a", "", "b", "", ""}},  // LF CR is two line ends
      {s300 + "\r" + s300, {s300, s300}},
      {"a\rb\x1a\rc", {"a", "b"}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(loadRaw(text, kStandardRules), lines) << text;
  // Each rule on its own: long lines kept, or CR ends a line but long ones are cut.
  ReadingRules anyLength;
  anyLength.anyLineLength = true;
  EXPECT_EQ(loadRaw(s300 + "\rb\n", anyLength), Lines({s300 + "\rb", ""}));
  ReadingRules anyEnd;
  anyEnd.anyLineEnd = true;
  EXPECT_EQ(loadRaw("a\r" + s300 + "\rb", anyEnd), Lines({"a", s300.substr(0, 127)}));
}

// A long text is cut into lines by parts, one per thread: the same lines
// and the same end of input wherever the parts meet, in both modes.
TEST(LineTableTest, ALongTextCutInPartsGivesTheSameLines) {
  const std::string filler = [] {
    std::string text;
    const std::string line(100, '7');
    while (text.size() < (size_t{5} << 19)) text += line + "\r\n" + line + "\n";
    return text;
  }();
  const std::string s200(200, 'c');
  const std::string middles[] = {"a\r\nb\n",     "\na\rb\n\r", "b\x1a\nc\n", "b\x1a\r\n\x1a ",
                                 s200 + "\ny\n", "\r\r\n\n\r", "end"};
  platform::WorkerPool pool(2);
  for (const ReadingRules& rules : {kHostCompatibleRules, kStandardRules}) {
    for (const std::string& middle : middles) {
      for (const size_t shift : {size_t{0}, size_t{1}, middle.size() / 2, middle.size()}) {
        // The parts meet about halfway, moved along the middle text by shift.
        const std::string text =
            filler + middle + filler.substr(0, filler.size() - 2 * shift) + middle;
        uint32_t cutLine = 0;
        const Lines lines = loadRaw(text, rules, &cutLine);
        uint32_t cutLineInParts = 0;
        Lines linesInParts;
        pool.forEach(2, [&](size_t step) {
          if (step == 0) linesInParts = loadRaw(text, rules, &cutLineInParts);
        });
        ASSERT_EQ(linesInParts, lines) << middle << " " << shift;
        ASSERT_EQ(cutLineInParts, cutLine) << middle << " " << shift;
      }
    }
  }
}

// Normalised, as the lines of a text stream with no tab or '$' become: without
// blanks at either end.
Lines loadNormalized(const std::string& text) {
  LineTable table(kHostCompatibleRules);
  EXPECT_EQ(table.loadText(text.data(), text.size()), kStatusOk);
  table.normalizeLines();
  return linesOf(table);
}
Lines withoutEndBlanks(Lines lines) {
  for (std::string& line : lines) {
    line.erase(0, line.find_first_not_of(' '));
    line.erase(line.find_last_not_of(' ') + 1);
  }
  return lines;
}

TEST(LineTableTest, GivesTheLinesOfATextStream) {
  std::mt19937 random(7);
  const char alphabet[] = {'a', 'b', ' ', '\n', '\r', '\x1a', '\0'};
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    const int lines = static_cast<int>(random() % 4);
    for (int i = 0; i < lines; ++i) {
      text += std::string(124 + random() % 6, 'x');  // around the 127 limit
      for (int j = static_cast<int>(random() % 4); j > 0; --j) {
        text += alphabet[random() % (round % 2 == 0 ? 5 : 7)];
      }
      text += random() % 2 == 0 ? "\n" : "\r\n";
    }
    for (int j = static_cast<int>(random() % 12); j > 0; --j) text += alphabet[random() % 5];
    ASSERT_EQ(loadNormalized(text), withoutEndBlanks(streamLines(text))) << text;
  }
}

TEST(LineTableTest, LoadsAFileLikeTheSameBytesInMemory) {
  const std::string text = "##TITLE=a\r\n##XYDATA=(X++(Y..Y))\r\n1 2\x1a 3\r\n";
  LineTable table(kHostCompatibleRules);
  ASSERT_EQ(table.loadLines(testpaths::writeFile(testpaths::scratchDir() + "/a.jdx", text).c_str()),
            kStatusOk);
  EXPECT_EQ(linesOf(table), Lines({"##TITLE=a", "##XYDATA=(X++(Y..Y))", "1 2"}));
  EXPECT_EQ(table.loadLines((testpaths::scratchDir() + "/missing.jdx").c_str()), kStatusOpenFailed);
  EXPECT_EQ(table.count(), 0u);
  EXPECT_EQ(table.loadLines(testpaths::scratchDir().c_str()), kStatusOpenFailed);
  EXPECT_EQ(table.loadText("", std::numeric_limits<size_t>::max()), kStatusNoMemoryToRead);
  EXPECT_EQ(table.count(), 0u);
}

TEST(LineTableTest, NormalisesEachLineInOrder) {
  const std::pair<const char*, const char*> cases[] = {
      {"\t  ##title = My Sample  $$ note", "##TITLE=My Sample"},
      {"##Sample_Description= x", "##SAMPLEDESCRIPTION=x"},
      {"##x-units=1/CM", "##XUNITS=1/CM"},
      {"##.IMS Pressure =\t 1013 ", "##.IMSPRESSURE=1013"},
      {"##=  remark", "##=remark"},
      {"##no equals - a/b_c", "##NOEQUALSABC"},
      {"##a$$b=c", "##A"},         // the comment goes before the name is read
      {"##\xe4x=v", "##\xe4X=v"},  // only a to z change case
      {"  1 2\t3 $$ check", "1 2 3"},
      {"  1 2 3  ", "1 2 3"},  // plain: trimmed as it is cut
      {"a $ b$", "a $ b$"},
      {"$$ only a comment", ""},
      {"# #x = y", "# #x = y"},
  };
  for (const auto& [raw, normal] : cases) {
    LineTable table(kHostCompatibleRules);
    ASSERT_EQ(table.loadText(raw, std::char_traits<char>::length(raw)), kStatusOk);
    table.normalizeLines();
    ASSERT_EQ(table.count(), 1u);
    EXPECT_STREQ(table.line(0), normal) << raw;
  }
}

}  // namespace
}  // namespace jcamp
