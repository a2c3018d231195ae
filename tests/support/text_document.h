// A document built from text in memory, for unit tests of the steps after
// the line table. Header-only: it needs the library's internals, which only
// the unit tests link.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "document/jcamp_document.h"
#include "document/line_table.h"

namespace testdocument {

// Lines, labels and block spans of text, without the title check a file
// read makes; the data blocks are left to the test.
inline void buildSpans(jcamp::JcampDocument& document, const std::string& text) {
  document.lineTable = std::make_unique<jcamp::LineTable>();
  ASSERT_EQ(document.lineTable->loadText(text.data(), text.size()), jcamp::kDocOk);
  document.lineTable->normalizeLines();
  ASSERT_EQ(document.buildLabels(), jcamp::kDocOk);
  ASSERT_EQ(document.buildBlocks(), jcamp::kDocOk);
}

}  // namespace testdocument
