// A document built from text in memory, for unit tests of the steps after
// the line table. Header-only: it needs the library's internals, which only
// the unit tests link.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "document/jcamp_document.h"
#include "document/line_table.h"
#include "document/row_model.h"

namespace testdocument {

// An empty document that reads by rules, with the label scope their row model gives.
inline jcamp::JcampDocument documentFor(const jcamp::ReadingRules& rules) {
  return jcamp::JcampDocument(rules, jcamp::RowModel::of(rules).labelScope());
}

// The normalised lines of text, without the title check a file read makes,
// so that any sequence of labels can be built on.
inline void loadLines(jcamp::JcampDocument& document, const std::string& text) {
  document.clearDocument();
  document.lineTable = std::make_unique<jcamp::LineTable>(document.context.rules);
  ASSERT_EQ(document.lineTable->loadText(text.data(), text.size()), jcamp::kStatusOk);
  document.lineTable->normalizeLines();
}

// Lines, labels and block spans of text; the data blocks are left to the test.
inline void buildSpans(jcamp::JcampDocument& document, const std::string& text) {
  loadLines(document, text);
  ASSERT_EQ(document.buildLabels(), jcamp::kStatusOk);
  ASSERT_EQ(document.buildBlocks(), jcamp::kStatusOk);
}

// Runs every step on the bytes and checks that labels and spans stay inside
// their tables.
inline void expectConsistent(jcamp::JcampDocument& document, const std::string& what) {
  if (document.buildLabels() != jcamp::kStatusOk) return;
  const uint32_t lines = document.lineTable->count();
  for (uint32_t i = 0; i < document.labelCount; ++i) {
    const jcamp::LabelRecord& label = document.labels[i];
    ASSERT_GE(label.lineCount, 1u) << what;
    ASSERT_LE(uint64_t{label.firstLine} + label.lineCount, lines) << what;
  }
  const uint32_t status = document.buildBlocks();
  ASSERT_TRUE(status == jcamp::kStatusOk ||
              (status == jcamp::kStatusOutOfOrder && document.labelCount == 0))
      << what;
  for (uint32_t i = 0; i < document.spanCount; ++i) {
    const jcamp::BlockSpan& span = document.spans[i];
    ASSERT_NE(span.firstLabel, nullptr) << what;
    ASSERT_LE(span.firstLabel, span.lastLabel) << what;
    ASSERT_LT(span.lastLabel, document.labels.get() + document.labelCount) << what;
  }
}

}  // namespace testdocument
