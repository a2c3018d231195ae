#include "document/jcamp_document.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "document/line_table.h"
#include "labels/data_types.h"
#include "platform/worker_pool.h"

namespace jcamp {
namespace {

constexpr char kTitleLine[] = "##TITLE=";
constexpr char kCommentName[] = "COMMENT";
constexpr size_t kLabelsPerRun = 8192;  // labels read by one thread at a time

// The labels a block span is built from.
enum LabelRole : uint8_t { kOtherLabel, kTitleLabel, kEndLabel, kDataTypeLabel };

LabelRole roleOf(const char* name) {
  // Most names begin with none of these letters: one test each.
  switch (name[0]) {
    case 'T':
      return std::strcmp(name, "TITLE") == 0 ? kTitleLabel : kOtherLabel;
    case 'E':
      return std::strcmp(name, "END") == 0 ? kEndLabel : kOtherLabel;
    case 'D':
      return std::strcmp(name, "DATATYPE") == 0 ? kDataTypeLabel : kOtherLabel;
    default:
      return kOtherLabel;
  }
}

}  // namespace

JcampDocument::JcampDocument(const ReadingRules& rules, LabelScope scope) : labelScope(scope) {
  context.rules = rules;
}

JcampDocument::~JcampDocument() {
  clearDocument();
}

Status JcampDocument::readFile(const char* path) {
  return readLines([path](LineTable& table) { return table.loadLines(path); });
}

Status JcampDocument::readText(char* text, size_t size) {
  return readLines([=](LineTable& table) { return table.useText(text, size); });
}

template <typename Load>
Status JcampDocument::readLines(Load load) {
  // Whatever was built on the old lines refers to them: it goes with them.
  clearDocument();
  try {
    lineTable = std::make_unique<LineTable>(context.rules);
  } catch (const std::bad_alloc&) {
    return kStatusNoMemoryToRead;
  }
  const Status status = load(*lineTable);
  if (status != kStatusOk) return status;
  lineTable->normalizeLines();
  if (context.rules.textBeforeTitle) {
    const uint32_t title = lineTable->passOverTextBeforeTitle(textBeforeTitle);
    return title < lineTable->count() ? kStatusOk : kStatusNoTitle;
  }
  const bool titled = lineTable->count() > 0 &&
                      std::strncmp(lineTable->line(0), kTitleLine, sizeof(kTitleLine) - 1) == 0;
  return titled ? kStatusOk : kStatusNoTitle;
}

// Spans and data blocks point at the labels: they go first.
void JcampDocument::releaseLabels() {
  dataBlocks.reset();
  blockOrigins.reset();
  dataBlockCount = 0;
  spans.reset();
  spanCount = 0;
  labels.reset();
  labelRoles_.reset();
  labelCount = 0;
}

Status JcampDocument::buildLabels() {
  if (lineTable == nullptr) return kStatusOutOfOrder;
  releaseLabels();

  LineTable& table = *lineTable;
  const uint32_t lineCount = table.count();
  // Lines that start with "##": each ends the value of the label before it,
  // and those with a "=" start one.
  std::vector<uint32_t> labelLines;
  try {
    if (!table.takeLabelLines(labelLines)) {
      labelLines.clear();
      for (uint32_t i = 0; i < lineCount; ++i) {
        if (isLabelLine(table.line(i))) labelLines.push_back(i);
      }
    }
    if (!labelLines.empty()) {
      labels = platform::makeLargeObjects<LabelRecord>(labelLines.size());
      labelRoles_ = std::make_unique<uint8_t[]>(labelLines.size());
    }
  } catch (const std::bad_alloc&) {
    labels.reset();
    return kStatusNoMemoryToRead;
  }
  context.lines = table.view();

  // Label k reads only its own lines, up to the next label's: runs of labels
  // go to the threads at hand, each into its own place. A "##" line without
  // "=" keeps no record (its name stays null) and the records close up after.
  const auto readLabel = [&](size_t k) {
    const uint32_t i = labelLines[k];
    char* line = table.line(i);
    char* equals = std::strchr(line + 2, '=');
    if (equals == nullptr) return;
    // The name stays in its line, ended where the value now starts.
    const bool named = equals > line + 2;
    *equals = '\0';
    table.setLineStart(i, equals + 1);

    uint32_t end = k + 1 < labelLines.size() ? labelLines[k + 1] : lineCount;
    while (end > i + 1 && table.line(end - 1)[0] == '\0') --end;
    const uint32_t last = end - 1;
    uint32_t first = i;
    while (first < last && table.line(first)[0] == '\0') ++first;

    LabelRecord& label = labels[k];
    label.name = LabelName(named ? line + 2 : kCommentName);
    label.firstLine = first;
    label.lineCount = end - first;
    labelRoles_[k] = roleOf(label.name.get());
  };
  const size_t runs = (labelLines.size() + kLabelsPerRun - 1) / kLabelsPerRun;
  platform::WorkerPool::forEachHere(runs, [&](size_t run) {
    const size_t end = std::min(labelLines.size(), (run + 1) * kLabelsPerRun);
    for (size_t k = run * kLabelsPerRun; k < end; ++k) readLabel(k);
  });
  for (size_t k = 0; k < labelLines.size(); ++k) {
    if (labels[k].name == nullptr) continue;
    if (k != labelCount) {
      labels[labelCount] = labels[k];
      labelRoles_[labelCount] = labelRoles_[k];
    }
    ++labelCount;
  }
  return kStatusOk;
}

Status JcampDocument::buildBlocks() {
  if (labels == nullptr || labelCount == 0) return kStatusOutOfOrder;
  spans.reset();
  spanCount = 0;

  const uint8_t* const roles = labelRoles_.get();
  const auto titles =
      static_cast<uint32_t>(std::count(roles, roles + labelCount, uint8_t{kTitleLabel}));
  // Started blocks still waiting for their END, innermost last.
  std::vector<uint32_t> open;
  try {
    if (titles > 0) spans = std::make_unique<BlockSpan[]>(titles);
    open.reserve(titles);
  } catch (const std::bad_alloc&) {
    spans.reset();
    return kStatusNoMemoryToRead;
  }
  spanCount = titles;

  BlockSpan* current = nullptr;
  uint32_t started = 0;
  for (uint32_t i = 0; i < labelCount; ++i) {
    const LabelRecord& label = labels[i];
    if (roles[i] == kTitleLabel) {
      open.push_back(started);
      current = &spans[started++];
      current->firstLabel = &label;
    } else if (roles[i] == kEndLabel) {
      // Closes the innermost open block: the current one, or the one it sits in.
      if (!open.empty()) {
        spans[open.back()].lastLabel = &label;
        open.pop_back();
      }
    } else if (roles[i] == kDataTypeLabel) {
      if (current != nullptr && current->lastLabel == nullptr) {
        const bool hasLine =
            lineTable != nullptr && label.lineCount > 0 && label.firstLine < lineTable->count();
        current->dataType = classifyDataType(hasLine ? lineTable->line(label.firstLine) : nullptr);
      }
    }
  }
  for (uint32_t s = 0; s < spanCount; ++s) {
    if (spans[s].lastLabel == nullptr) spans[s].lastLabel = &labels[labelCount - 1];
  }
  return kStatusOk;
}

void JcampDocument::clearDocument() {
  releaseLabels();
  textBeforeTitle = false;
  if (lineTable != nullptr) {
    // Nothing may reach the released lines through the context.
    context.lines = LineView{};
    lineTable->freeLines();
    lineTable.reset();
  }
}

}  // namespace jcamp
