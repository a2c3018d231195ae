#include "document/line_table.h"

#include <gtest/gtest.h>

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

TEST(LineTableTest, SplitsLinesAsAWindowsTextStreamReadsThem) {
  const std::string s127(127, 'a');
  const std::string s128 = s127 + "b";
  struct Case {
    std::string text;
    Lines lines;
  };
  const Case cases[] = {
      {"##TITLE=abc\n##END=\n", {"##TITLE=abc", "##END=", ""}},
      {"##TITLE=abc\n##END=", {"##TITLE=abc", "##END="}},
      {"a\r\nb\r\n", {"a", "b", ""}},
      {"a\rb\n\r", {"a\rb", "\r"}},   // a lone CR stays in its line
      {"a\r\r\nb", {"a\r", "b"}},     // only the CR right before LF goes
      {"a\nb\x1a\nc\n", {"a", "b"}},  // Ctrl-Z ends the input
      {"a\n\x1a", {"a", ""}},
      {"", {""}},
      {std::string("a\0b\nc", 5), {"a", "c"}},
      {s127 + "\nx", {s127, "x"}},
      {s127 + "\r\nx", {s127, "x"}},
      {s127, {s127}},
      {s128, {s127}},
      {"x\n" + std::string(200, 'c') + "\ny\n", {"x", std::string(127, 'c')}},
      {s127 + "\rx\n", {s127}},  // the lone CR makes it 128 long
      {"x\n" + s128 + "\n", {"x", s127}},
  };
  for (const Case& c : cases) EXPECT_EQ(loadRaw(c.text), c.lines) << c.text;
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
}

TEST(LineTableTest, NormalisesEachLineInOrder) {
  struct Case {
    const char* raw;
    const char* normal;
  };
  const Case cases[] = {
      {"\t  ##title = My Sample  $$ note", "##TITLE=My Sample"},
      {"##Sample_Description= x", "##SAMPLEDESCRIPTION=x"},
      {"##x-units=1/CM", "##XUNITS=1/CM"},
      {"##.IMS Pressure =\t 1013 ", "##.IMSPRESSURE=1013"},
      {"##=comment text", "##=comment text"},
      {"##=  remark", "##=remark"},
      {"##no equals - a/b_c", "##NOEQUALSABC"},
      {"##a$$b=c", "##A"},         // the comment goes before the name is read
      {"##\xe4x=v", "##\xe4X=v"},  // only a to z change case
      {"  1 2\t3 $$ check", "1 2 3"},
      {"a $ b$", "a $ b$"},
      {"$$ only a comment", ""},
      {" \t ", ""},
      {"# #x = y", "# #x = y"},
  };
  for (const Case& c : cases) {
    LineTable table;
    ASSERT_EQ(table.loadText(c.raw, std::char_traits<char>::length(c.raw)), kDocOk);
    table.normalizeLines();
    ASSERT_EQ(table.count(), 1u);
    EXPECT_STREQ(table.line(0), c.normal) << c.raw;
  }
}

}  // namespace
}  // namespace jcamp
