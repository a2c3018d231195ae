// The last layer of a document: one filled JcampBlock per block that holds data.
#include <algorithm>
#include <atomic>
#include <memory>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

#include "document/block_pages.h"
#include "document/block_state.h"
#include "document/issue_log.h"
#include "document/jcamp_document.h"
#include "document/line_table.h"
#include "labels/data_types.h"
#include "labels/label_dictionary.h"
#include "platform/worker_pool.h"

namespace jcamp {
namespace {

// Label applications beyond this many per label of the document mean spans
// overlap (blocks without ##END=, or nested ones): they are filled together.
constexpr uint64_t kDirectApplicationsPerLabel = 2;
constexpr uint64_t kDirectApplicationsAlways = 4096;

// Bytes the data blocks of a document may hold at once, their records and
// arrays (values, abscissas, flags, concentrations; 4 bytes an entry). Each
// table gets no more room than its own text justifies, but a file of many
// small tables that repeat one value thousands of times, or of many blocks
// that all see the last table, could add up to far more than the file. Beyond
// this the step fails as out of memory. (A block needs at least its 9-byte
// "##TITLE=" line, so even a file of empty blocks stays within it.)
constexpr uint64_t kBytesAlwaysGranted = uint64_t{4} << 20;
constexpr uint64_t kBytesPerTextByte = 64;
constexpr uint64_t kBytesPerEntry = 4;

class ArrayBudget {
 public:
  explicit ArrayBudget(const JcampDocument& document) {
    const uint64_t bytes = document.lineTable != nullptr ? document.lineTable->heldBytes() : 0;
    limit_ = std::max(kBytesAlwaysGranted, bytes * kBytesPerTextByte);
  }

  // Records what a block's arrays grew or shrank by, in entries; false once over the limit.
  bool change(uint64_t before, uint64_t after) { return take((after - before) * kBytesPerEntry); }
  // Records bytes taken (or, wrapping around, given back); false once over the limit.
  // Blocks filled on several threads share it.
  bool take(uint64_t bytes) { return held_.fetch_add(bytes) + bytes <= limit_; }
  void reset(uint64_t held) { held_ = held; }

 private:
  uint64_t limit_ = 0;
  std::atomic<uint64_t> held_{0};
};

void setIssues(JcampBlock& block, const SampleDiagnostics& issues) {
  block.checkFlags = issues.checkFlags;
  block.warnings = issues.warnings;
  block.warningLine = issues.line;
}

bool holdsData(const BlockSpan& span) {
  return span.dataType != kDataTypeLink;
}

// Applies one label to a block, accounting for what its arrays hold.
Status applyCounted(JcampBlock& block, const LabelRecord& label, uint32_t concentrationCapacity,
                    const ReadContext& context, ArrayBudget& budget) {
  block.concentrationCount = concentrationCapacity;
  const uint64_t before = blockArrayEntries(block);
  const Status status = applyLabel(block, label, context);
  if (!budget.change(before, blockArrayEntries(block))) return kStatusNoMemoryToRead;
  return status;
}

// For each span, the first later span that begins after it ends. Spans come
// in the order they begin, so a binary search finds it.
std::vector<uint32_t> spansAfter(const JcampDocument& document) {
  const BlockSpan* begin = document.spans.get();
  const BlockSpan* end = begin + document.spanCount;
  std::vector<uint32_t> after(document.spanCount);
  for (uint32_t s = 0; s < document.spanCount; ++s) {
    const LabelRecord* last = begin[s].lastLabel;
    const BlockSpan* next = std::partition_point(
        begin + s + 1, end, [last](const BlockSpan& span) { return span.firstLabel <= last; });
    after[s] = static_cast<uint32_t>(next - begin);
  }
  return after;
}

// Hands the labels [range.first, range.end) of span s to the block. With
// LabelScope::kOwnLabels the labels of the blocks it encloses are theirs alone:
// a compound block without ##DATATYPE=LINK does not take its blocks' tables
// (spanAfter, from spansAfter, then lets it jump over each of them at once).
Status fillLabels(JcampBlock& block, const JcampDocument& document, uint32_t s, LabelRange range,
                  const std::vector<uint32_t>& spanAfter, ArrayBudget& budget) {
  const bool ownLabelsOnly = document.labelScope == LabelScope::kOwnLabels;
  const LabelRecord* const labels = document.labels.get();
  OwnLabelWalk walk(document, s, range, spanAfter, ownLabelsOnly);
  for (uint32_t i = 0; walk.next(i);) {
    const Status status =
        applyCounted(block, labels[i], document.concentrationCapacity, document.context, budget);
    if (status != kStatusOk) return status;
  }
  return kStatusOk;
}

// Hands every label of span s, its TITLE and END included, to the block.
Status fillBlock(JcampBlock& block, const JcampDocument& document, uint32_t s,
                 const std::vector<uint32_t>& spanAfter, ArrayBudget& budget) {
  const BlockSpan& span = document.spans[s];
  if (span.firstLabel == nullptr || span.lastLabel == nullptr) return kStatusOk;
  const LabelRecord* const labels = document.labels.get();
  const LabelRange whole{static_cast<uint32_t>(span.firstLabel - labels),
                         static_cast<uint32_t>(span.lastLabel - labels) + 1};
  return fillLabels(block, document, s, whole, spanAfter, budget);
}

// The pages of the document's paged blocks, and each one's head filled once:
// a page starts as a copy of it. Heads are filled before the pages, on one
// thread, so that no label is applied by two threads at once.
class PagedBlocks {
 public:
  // The pages of every span that holds data (none when the reading has no pages).
  void find(const JcampDocument& document, const std::vector<uint32_t>& spanAfter) {
    const bool paged =
        document.context.rules.ntuplesPages && document.labelScope == LabelScope::kOwnLabels;
    if (!paged) return;
    pages_.resize(document.spanCount);
    heads_.resize(document.spanCount);
    for (uint32_t s = 0; s < document.spanCount; ++s) {
      if (holdsData(document.spans[s])) pages_[s] = blockPages(document, s, spanAfter);
    }
  }

  // The pages of span s; 0 when it is one data block.
  size_t pageCount(uint32_t s) const { return s < pages_.size() ? pages_[s].pages.size() : 0; }
  // The data blocks span s gives: one, or one per page.
  uint64_t blocksOf(uint32_t s) const { return std::max<uint64_t>(pageCount(s), 1); }

  // Fills the head of every paged span.
  Status fillHeads(const JcampDocument& document, const std::vector<uint32_t>& spanAfter,
                   ArrayBudget& budget) {
    for (uint32_t s = 0; s < pages_.size(); ++s) {
      if (pages_[s].pages.empty()) continue;
      if (!budget.take(sizeof(JcampBlock))) return kStatusNoMemoryToRead;
      heads_[s] = std::make_unique<JcampBlock>();
      const Status status = fillLabels(*heads_[s], document, s, pages_[s].head, spanAfter, budget);
      if (status != kStatusOk) return status;
      headBytes_ += sizeof(JcampBlock) + blockArrayEntries(*heads_[s]) * kBytesPerEntry;
    }
    return kStatusOk;
  }
  uint64_t headBytes() const { return headBytes_; }

  // Fills page `page` of span s: its head, then its own labels.
  Status fillPage(JcampBlock& block, const JcampDocument& document, uint32_t s, int32_t page,
                  const std::vector<uint32_t>& spanAfter, ArrayBudget& budget) const {
    const JcampBlock& head = *heads_[s];
    if (!budget.change(0, blockArrayEntries(head))) return kStatusNoMemoryToRead;
    copyBlockState(head, block);
    const LabelRange range = pages_[s].pages[static_cast<size_t>(page)];
    return fillLabels(block, document, s, range, spanAfter, budget);
  }

 private:
  std::vector<BlockPages> pages_;  // per span; empty without pages
  std::vector<std::unique_ptr<JcampBlock>> heads_;
  uint64_t headBytes_ = 0;
};

// Data blocks whose spans overlap, filled in one pass over the labels. Each
// block must end as if every label of its span had been applied to it alone.
// Blocks that have reached the same state (every field and array equal) stay
// the same whatever labels follow, so they share one state: each label is
// applied once per distinct state, not once per block. Without ##END=, every
// block runs to the end of the file and the blocks begun before a label are
// soon alike: the pass costs about what the file's labels cost once.
// Blocks taken together by one thread: enough work to outweigh the hand-over.
constexpr size_t kBlocksPerStep = 16;

// Blocks can be filled at the same time only when no label reaches two of
// them (a block inside another hands its labels to both).
bool labelsApart(const BlockSpan* spans, const std::vector<uint32_t>& withData) {
  const LabelRecord* lastSeen = nullptr;
  for (uint32_t s : withData) {
    const BlockSpan& span = spans[s];
    if (span.firstLabel == nullptr || span.lastLabel == nullptr) continue;
    if (lastSeen != nullptr && span.firstLabel <= lastSeen) return false;
    lastSeen = span.lastLabel;
  }
  return true;
}

// Span by span: data blocks [first, end), filled and handed on; the status
// of the first that fails.
struct SpanByBlock {
  JcampDocument& document;
  const PagedBlocks& paged;
  const std::vector<uint32_t>& spanAfter;
  ArrayBudget& budget;

  Status fillRange(size_t first, size_t end) const {
    try {
      for (size_t k = first; k < end; ++k) {
        const BlockOrigin& origin = document.blockOrigins[k];
        JcampBlock& block = document.dataBlocks[k];
        const Status status =
            origin.page < 0
                ? fillBlock(block, document, origin.span, spanAfter, budget)
                : paged.fillPage(block, document, origin.span, origin.page, spanAfter, budget);
        if (status != kStatusOk) return status;
      }
      if (document.blocksFilled) {
        document.blocksFilled(static_cast<uint32_t>(first), static_cast<uint32_t>(end - first));
      }
    } catch (...) {
      return kStatusNoMemoryToRead;
    }
    return kStatusOk;
  }

  Status fillStep(size_t step) const {
    const size_t count = document.dataBlockCount;
    return fillRange(step * kBlocksPerStep, std::min<size_t>(count, (step + 1) * kBlocksPerStep));
  }

  Status fillInOrder() const {
    const size_t steps = stepCount();
    for (size_t step = 0; step < steps; ++step) {
      const Status status = fillStep(step);
      if (status != kStatusOk) return status;
    }
    return kStatusOk;
  }

  // Steps on the threads at hand; the status of the first step that fails.
  Status fillTogether() const {
    std::vector<Status> statuses(stepCount(), kStatusOk);
    platform::WorkerPool::forEachHere(statuses.size(),
                                      [&](size_t step) { statuses[step] = fillStep(step); });
    for (Status status : statuses) {
      if (status != kStatusOk) return status;
    }
    return kStatusOk;
  }

  size_t stepCount() const {
    return (size_t{document.dataBlockCount} + kBlocksPerStep - 1) / kBlocksPerStep;
  }
};

class OverlapFill {
 public:
  OverlapFill(const JcampDocument& document, JcampBlock* blocks, ArrayBudget& budget)
      : doc_(document), blocks_(blocks), budget_(budget) {}

  Status run() {
    collectSpans();
    size_t nextStart = 0;
    size_t nextEnd = 0;
    for (uint32_t t = 0; t < doc_.labelCount; ++t) {
      if (nextStart < starts_.size() && starts_[nextStart].first == t) {
        mergeAlikeGroups();
        startGroup(starts_[nextStart++].second);
      }
      for (const std::unique_ptr<Group>& group : groups_) {
        const Status status = applyCounted(group->state, doc_.labels[t], doc_.concentrationCapacity,
                                           doc_.context, budget_);
        if (status != kStatusOk) return status;
        logIssues(*group);
      }
      while (nextEnd < ends_.size() && ends_[nextEnd].first == t) {
        if (!finishBlock(ends_[nextEnd++].second)) return kStatusNoMemoryToRead;
      }
    }
    return kStatusOk;
  }

 private:
  // The state's own check flags and warnings stay clear: each block raises
  // them from its own first label on, so blocks begun at different times
  // would never be alike. They go to the group's log instead.
  struct Group {
    JcampBlock state;
    IssueLog issues;
    std::vector<uint32_t> blocks;  // data blocks that joined this state (finished ones too)
    size_t open = 0;               // of them, those whose span has labels still to come
  };

  void logIssues(Group& group) {
    JcampBlock& state = group.state;
    group.issues.add(state.checkFlags, state.warnings, state.warningLine);
    state.checkFlags = 0;
    state.warnings = 0;
    state.warningLine = 0;
  }

  // What block raised so far: in the groups it left, and in its group since it joined.
  SampleDiagnostics issuesOf(uint32_t block) const {
    SampleDiagnostics issues = earlierIssues_[block];
    groupOf_[block]->issues.foldInto(joinedAt_[block], issues);
    return issues;
  }

  // Label index at which each data block's span starts and ends, in label order.
  void collectSpans() {
    uint32_t k = 0;
    for (uint32_t s = 0; s < doc_.spanCount; ++s) {
      const BlockSpan& span = doc_.spans[s];
      if (!holdsData(span)) continue;
      if (span.firstLabel != nullptr && span.lastLabel != nullptr) {
        starts_.emplace_back(labelIndex(span.firstLabel), k);
        ends_.emplace_back(labelIndex(span.lastLabel), k);
      }
      ++k;
    }
    groupOf_.assign(k, nullptr);
    joinedAt_.assign(k, 0);
    earlierIssues_.assign(k, SampleDiagnostics{});
    std::stable_sort(starts_.begin(), starts_.end());
    std::stable_sort(ends_.begin(), ends_.end());
  }

  uint32_t labelIndex(const LabelRecord* label) const {
    return static_cast<uint32_t>(label - doc_.labels.get());
  }

  void startGroup(uint32_t block) {
    auto group = std::make_unique<Group>();
    group->blocks.push_back(block);
    group->open = 1;
    groupOf_[block] = group.get();
    groups_.push_back(std::move(group));
  }

  // The block's span has seen its last label: it takes its group's state (a
  // copy while other blocks share it). False when the copy is over the budget.
  bool finishBlock(uint32_t block) {
    Group* group = groupOf_[block];
    const SampleDiagnostics issues = issuesOf(block);
    JcampBlock& finished = blocks_[block];
    if (--group->open > 0) {
      if (!budget_.change(0, blockArrayEntries(group->state))) return false;
      copyBlockState(group->state, finished);
      setIssues(finished, issues);
      return true;
    }
    finished = std::move(group->state);
    setIssues(finished, issues);
    groups_.erase(
        std::find_if(groups_.begin(), groups_.end(),
                     [group](const std::unique_ptr<Group>& g) { return g.get() == group; }));
    return true;
  }

  // Groups whose states became equal become one.
  void mergeAlikeGroups() {
    if (groups_.size() < 2) return;
    std::unordered_multimap<uint64_t, size_t> byFingerprint;
    std::vector<std::unique_ptr<Group>> kept;
    for (std::unique_ptr<Group>& group : groups_) {
      const uint64_t fingerprint = blockFingerprint(group->state);
      std::unique_ptr<Group>* same = nullptr;
      const auto range = byFingerprint.equal_range(fingerprint);
      for (auto it = range.first; it != range.second && same == nullptr; ++it) {
        if (sameBlockState(kept[it->second]->state, group->state)) same = &kept[it->second];
      }
      if (same == nullptr) {
        byFingerprint.emplace(fingerprint, kept.size());
        kept.push_back(std::move(group));
        continue;
      }
      // The states are equal: the group with more blocks stays, the other's blocks join it.
      if ((*same)->blocks.size() < group->blocks.size()) same->swap(group);
      Group& into = **same;
      budget_.change(blockArrayEntries(group->state), 0);
      for (uint32_t block : group->blocks) {
        earlierIssues_[block] = issuesOf(block);
        joinedAt_[block] = into.issues.position();
        groupOf_[block] = &into;
      }
      into.blocks.insert(into.blocks.end(), group->blocks.begin(), group->blocks.end());
      into.open += group->open;
    }
    groups_ = std::move(kept);
  }

  const JcampDocument& doc_;
  JcampBlock* blocks_;
  ArrayBudget& budget_;
  std::vector<std::pair<uint32_t, uint32_t>> starts_;  // (first label, data block)
  std::vector<std::pair<uint32_t, uint32_t>> ends_;    // (last label, data block)
  std::vector<Group*> groupOf_;
  std::vector<size_t> joinedAt_;  // per block: its group's log position when it joined
  std::vector<SampleDiagnostics> earlierIssues_;  // per block: raised in groups it left
  std::vector<std::unique_ptr<Group>> groups_;
};

}  // namespace

Status JcampDocument::buildDataBlocks() {
  return buildDataBlocks(SpanFill::kAuto);
}

Status JcampDocument::buildDataBlocks(SpanFill fill) {
  if (spans == nullptr || spanCount == 0) return kStatusOutOfOrder;
  dataBlocks.reset();
  blockOrigins.reset();
  dataBlockCount = 0;

  // With its own labels only, no label reaches two blocks: span by span is linear.
  const bool ownLabelsOnly = labelScope == LabelScope::kOwnLabels;
  std::vector<uint32_t> spanAfter;
  PagedBlocks paged;
  std::vector<uint32_t> withData;  // the spans that hold data, in order
  uint64_t count = 0;
  uint64_t applications = 0;
  try {
    if (ownLabelsOnly) spanAfter = spansAfter(*this);
    paged.find(*this, spanAfter);
    for (uint32_t s = 0; s < spanCount; ++s) {
      if (!holdsData(spans[s])) continue;
      withData.push_back(s);
      count += paged.blocksOf(s);
      if (spans[s].firstLabel != nullptr && spans[s].lastLabel != nullptr) {
        applications += static_cast<uint64_t>(spans[s].lastLabel - spans[s].firstLabel) + 1;
      }
    }
  } catch (const std::bad_alloc&) {
    return kStatusNoMemoryToRead;
  }
  ArrayBudget budget(*this);
  if (count > UINT32_MAX || !budget.take(count * sizeof(JcampBlock))) return kStatusNoMemoryToRead;
  try {
    if (count > 0) {
      dataBlocks = platform::makeLargeObjects<JcampBlock>(count);
      blockOrigins = std::make_unique<BlockOrigin[]>(count);
    }
  } catch (const std::bad_alloc&) {
    dataBlocks.reset();
    return kStatusNoMemoryToRead;
  }
  dataBlockCount = static_cast<uint32_t>(count);
  uint32_t k = 0;
  for (uint32_t block = 0; block < withData.size(); ++block) {
    const uint32_t s = withData[block];
    const auto pages = static_cast<int32_t>(paged.pageCount(s));
    if (pages == 0) blockOrigins[k++] = {s, block, -1};
    for (int32_t page = 0; page < pages; ++page) blockOrigins[k++] = {s, block, page};
  }

  const bool overlapping =
      applications > kDirectApplicationsPerLabel * labelCount + kDirectApplicationsAlways;
  if (!ownLabelsOnly && (fill == SpanFill::kTogether || (fill == SpanFill::kAuto && overlapping))) {
    try {
      return OverlapFill(*this, dataBlocks.get(), budget).run();
    } catch (const std::bad_alloc&) {
      return kStatusNoMemoryToRead;
    }
  }
  try {
    const Status status = paged.fillHeads(*this, spanAfter, budget);
    if (status != kStatusOk) return status;
  } catch (const std::bad_alloc&) {
    return kStatusNoMemoryToRead;
  }
  const SpanByBlock byBlock{*this, paged, spanAfter, budget};
  if (platform::WorkerPool::threadsHere() == 1 || !labelsApart(spans.get(), withData)) {
    return byBlock.fillInOrder();
  }
  const Status status = byBlock.fillTogether();
  if (status != kStatusNoMemoryToRead) return status;
  // Over the budget on several threads: whether one at a time would be too,
  // and at which block, is decided one at a time, from fresh blocks.
  try {
    dataBlocks = platform::makeLargeObjects<JcampBlock>(count);
  } catch (const std::bad_alloc&) {
    return kStatusNoMemoryToRead;
  }
  budget.reset(count * sizeof(JcampBlock) + paged.headBytes());
  if (blocksFilled) blocksFilled(0, 0);
  return byBlock.fillInOrder();
}

}  // namespace jcamp
