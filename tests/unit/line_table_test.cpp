#include "document/line_table.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_paths.h"

namespace jcamp {
namespace {

using Lines = std::vector<std::string>;

Lines linesOf(const LineTable& table) {
  Lines lines;
  for (uint32_t i = 0; i < table.count(); ++i) lines.emplace_back(table.line(i));
  return lines;
}

Lines loadRaw(const std::string& text) {
  LineTable table;
  EXPECT_EQ(table.loadText(text.data(), text.size()), kDocOk);
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
  const std::pair<std::string, Lines> cases[] = {
      {"##TITLE=abc\n##END=\n", {"##TITLE=abc", "##END=", ""}},
      {"##TITLE=abc\n##END=", {"##TITLE=abc", "##END="}},
      {"a\r\nb\r\n", {"a", "b", ""}},
      {"a\rb\n\r", {"a\rb", "\r"}},   // a lone CR stays in its line
      {"a\r\r\nb", {"a\r", "b"}},     // only the CR right before LF goes
      {"a\nb\x1a\nc\n", {"a", "b"}},  // Ctrl-Z ends the input
      {s127 + "\nx", {s127, "x"}},
      {s127 + "\r\nx", {s127, "x"}},
      {s128, {s127}},
      {"x\n" + std::string(200, 'c') + "\ny\n", {"x", std::string(127, 'c')}},
      {s127 + "\rx\n", {s127}},  // the lone CR makes it 128 long
  };
  for (const auto& [text, lines] : cases) {
    EXPECT_EQ(loadRaw(text), lines) << text;
    EXPECT_EQ(streamLines(text), lines) << text;
  }
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
    ASSERT_EQ(loadRaw(text), streamLines(text)) << text;
  }
}

TEST(LineTableTest, LoadsAFileLikeTheSameBytesInMemory) {
  const std::string text = "##TITLE=a\r\n##XYDATA=(X++(Y..Y))\r\n1 2\x1a 3\r\n";
  LineTable table;
  ASSERT_EQ(table.loadLines(testpaths::writeFile(testpaths::scratchDir() + "/a.jdx", text).c_str()),
            kDocOk);
  EXPECT_EQ(linesOf(table), Lines({"##TITLE=a", "##XYDATA=(X++(Y..Y))", "1 2"}));
  EXPECT_EQ(table.loadLines((testpaths::scratchDir() + "/missing.jdx").c_str()), kDocOpenFailed);
  EXPECT_EQ(table.count(), 0u);
  EXPECT_EQ(table.loadLines(testpaths::scratchDir().c_str()), kDocOpenFailed);
  EXPECT_EQ(table.loadText("", std::numeric_limits<size_t>::max()), kDocNoMemory);
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
      {"a $ b$", "a $ b$"},
      {"$$ only a comment", ""},
      {"# #x = y", "# #x = y"},
  };
  for (const auto& [raw, normal] : cases) {
    LineTable table;
    ASSERT_EQ(table.loadText(raw, std::char_traits<char>::length(raw)), kDocOk);
    table.normalizeLines();
    ASSERT_EQ(table.count(), 1u);
    EXPECT_STREQ(table.line(0), normal) << raw;
  }
}

}  // namespace
}  // namespace jcamp
