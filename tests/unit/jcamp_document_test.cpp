#include "document/jcamp_document.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "document/line_table.h"
#include "support/test_paths.h"
#include "support/text_document.h"

namespace jcamp {
namespace {

using testdocument::loadLines;

uint32_t readText(JcampDocument& document, const std::string& text) {
  const std::string path = testpaths::writeFile(testpaths::scratchDir() + "/t.jdx", text);
  return document.readFile(path.c_str());
}

// name@first+count=value of every label.
std::vector<std::string> describeLabels(const JcampDocument& document) {
  std::vector<std::string> labels;
  for (uint32_t i = 0; i < document.labelCount; ++i) {
    const LabelRecord& label = document.labels[i];
    const char* value = valueText(document.context, label);
    labels.push_back(std::string(label.name.get()) + "@" + std::to_string(label.firstLine) + "+" +
                     std::to_string(label.lineCount) + "=" + (value ? value : "(null)"));
  }
  return labels;
}

// type:first-last of every span, as label indexes.
std::vector<std::string> describeSpans(const JcampDocument& document) {
  std::vector<std::string> spans;
  for (uint32_t i = 0; i < document.spanCount; ++i) {
    const BlockSpan& span = document.spans[i];
    spans.push_back(std::to_string(span.dataType) + ":" +
                    std::to_string(span.firstLabel - document.labels.get()) + "-" +
                    std::to_string(span.lastLabel - document.labels.get()));
  }
  return spans;
}

// The host-compatible rules need the title first; the standard rules pass
// over what comes before it (its lines keep their numbers) and say so.
TEST(JcampDocumentTest, ReadFileNeedsAReadableFileWithATitle) {
  struct Case {
    const char* text;
    uint32_t host, standard;
    bool passedOver;
    std::vector<std::string> labels;  // under the standard rules
  };
  const uint32_t ok = kStatusOk, none = kStatusNoTitle;
  const Case cases[] = {
      {"##TITLE=a\n##END=\n", ok, ok, false, {"TITLE@0+1=a", "END@1+1="}},
      {"\t ##title = a", ok, ok, false, {"TITLE@0+1=a"}},
      {"", none, none, false, {}},
      {"\n##TITLE=a", none, ok, true, {"TITLE@1+1=a"}},
      {"$$ comment\n##TITLE=a", none, ok, true, {"TITLE@1+1=a"}},
      {"Exported\n##OWNER=me\n## Title=a\n##END=", none, ok, true, {"TITLE@2+1=a", "END@3+1="}},
      {"\xEF\xBB\xBF##title=a\n##END=", none, ok, true, {"TITLE@0+1=a", "END@1+1="}},
      {"##TITLE a\n", none, none, false, {}},
      {"a ## title\n##OWNER=me", none, none, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    JcampDocument host = testdocument::documentFor(kHostCompatibleRules);
    EXPECT_EQ(readText(host, c.text), c.host);
    JcampDocument document = testdocument::documentFor(kStandardRules);
    EXPECT_EQ(readText(document, c.text), c.standard);
    EXPECT_EQ(document.textBeforeTitle, c.passedOver);
    if (c.standard != kStatusOk) continue;
    ASSERT_EQ(document.buildLabels(), kStatusOk);
    EXPECT_EQ(describeLabels(document), c.labels);
  }
  JcampDocument document = testdocument::documentFor(kHostCompatibleRules);
  EXPECT_EQ(document.readFile((testpaths::scratchDir() + "/none.jdx").c_str()), kStatusOpenFailed);
  EXPECT_EQ(document.readFile(nullptr), kStatusOpenFailed);
}

TEST(JcampDocumentTest, LabelsRunToTheNextLabelLineWithoutEmptyEnds) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"##TITLE=A\n##XYDATA=(X++(Y..Y))\n1 2 3\n\n##END=\n",
       {"TITLE@0+1=A", "XYDATA@1+2=(X++(Y..Y))", "END@4+1="}},
      {"##TITLE=\nMy sample\n##END=", {"TITLE@1+1=My sample", "END@2+1="}},
      {"##TITLE=\n\n$$ only a comment\n##END=", {"TITLE@0+1=", "END@3+1="}},
      {"##TITLE=\n\nx\n\ny\n\n", {"TITLE@2+3=x"}},
      {"##= remark\n##TITLE=t", {"COMMENT@0+1=remark", "TITLE@1+1=t"}},
      {"##TITLE=a\nb\n##NOLABEL\nc\n##END=", {"TITLE@0+2=a", "END@4+1="}},
      {"x\n##TITLE=a=b\n", {"TITLE@1+1=a=b"}},
  };
  for (const auto& [text, labels] : cases) {
    JcampDocument document = testdocument::documentFor(kHostCompatibleRules);
    loadLines(document, text);
    ASSERT_EQ(document.buildLabels(), kStatusOk) << text;
    EXPECT_EQ(describeLabels(document), labels) << text;
  }
}

TEST(JcampDocumentTest, EndClosesTheInnermostOpenBlock) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      // A compound file: the LINK block encloses two data blocks.
      {"##TITLE=L\n##DATA TYPE=link\n##BLOCKS=2\n##TITLE=a\n##DATATYPE=INFRARED SPECTRUM\n"
       "##END=\n##TITLE=b\n##END=\n##END=\n",
       {"1:0-8", "2:3-5", "0:6-7"}},
      {"##TITLE=a\n##NPOINTS=1\n", {"0:0-1"}},                               // never closed
      {"##TITLE=a\n##END=\n##END=\n##TITLE=b\n##END=", {"0:0-1", "0:3-4"}},  // extra END ignored
      {"##END=\n##DATATYPE=LINK\n##TITLE=a\n##X=1", {"0:2-3"}},              // before any TITLE
      {"##TITLE=a\n##TITLE=b\n##DATATYPE=LINK\n##END=\n##END=\n##X=", {"0:0-4", "1:1-3"}},
      {"##TITLE=a\n##TITLE=b\n##END=\n##DATATYPE=LINK", {"0:0-3", "0:1-2"}},
      {"##TITLE=a\n##DATATYPE=LINK\n##DATATYPE=UV/VIS\n##END=", {"0:0-3"}},
  };
  for (const auto& [text, spans] : cases) {
    JcampDocument document = testdocument::documentFor(kHostCompatibleRules);
    loadLines(document, text);
    ASSERT_EQ(document.buildLabels(), kStatusOk);
    ASSERT_EQ(document.buildBlocks(), kStatusOk) << text;
    EXPECT_EQ(describeSpans(document), spans) << text;
    // The classified value is upper-cased in place.
    if (text == cases[0].first) {
      EXPECT_STREQ(valueText(document.context, document.labels[1]), "LINK");
    }
  }
}

TEST(JcampDocumentTest, StepsNeedTheLayerBeforeThemAndClearingReleasesAll) {
  JcampDocument document = testdocument::documentFor(kHostCompatibleRules);
  EXPECT_EQ(document.buildLabels(), kStatusOutOfOrder);
  EXPECT_EQ(document.buildBlocks(), kStatusOutOfOrder);
  ASSERT_EQ(readText(document, "##TITLE=a\n##END=\n"), kStatusOk);
  EXPECT_EQ(document.buildBlocks(), kStatusOutOfOrder);
  ASSERT_EQ(document.buildLabels(), kStatusOk);
  EXPECT_EQ(document.context.lines.count, 3u);
  ASSERT_EQ(document.buildBlocks(), kStatusOk);
  // Labels rebuilt: the spans that pointed at the old ones go.
  ASSERT_EQ(document.buildLabels(), kStatusOk);
  EXPECT_EQ(document.spans, nullptr);
  // Cleared, no view of the freed lines is left.
  document.clearDocument();
  EXPECT_EQ(document.context.lines.lines, nullptr);
  EXPECT_EQ(document.buildLabels(), kStatusOutOfOrder);
}

TEST(JcampDocumentTest, BadInputGivesAStatusNeverACrash) {
  std::mt19937 random(4);
  std::string binary(1 << 16, '\0');
  for (char& c : binary) c = static_cast<char>(random());
  JcampDocument document = testdocument::documentFor(kHostCompatibleRules);
  for (const std::string& text : {binary, std::string("##")}) {
    ASSERT_EQ(readText(document, text), kStatusNoTitle);
    loadLines(document, text);  // built all the same
    testdocument::expectConsistent(document, text.substr(0, 2));
  }
  ASSERT_EQ(readText(document, "##TITLE=" + binary), kStatusOk);
  testdocument::expectConsistent(document, "titled binary");
  std::string nested;
  for (int i = 0; i < 100000; ++i) nested += "##TITLE=t\n";
  for (int i = 0; i < 200000; ++i) nested += "##END=\n";
  ASSERT_EQ(readText(document, nested), kStatusOk);
  testdocument::expectConsistent(document, "more ENDs than TITLEs");
  EXPECT_EQ(document.labelCount, 300000u);
  EXPECT_EQ(document.spanCount, 100000u);
}

}  // namespace
}  // namespace jcamp
