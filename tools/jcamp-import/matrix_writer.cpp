#include "matrix_writer.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

#include "number_text.h"
#include "ordered_chunks.h"

namespace {

constexpr size_t kTextBufferSize = 4096;  // longer than any name the library writes
// Values whose text one chunk makes: enough to outweigh handing it over.
constexpr int64_t kValuesPerChunk = 1 << 16;
// Chunks made ahead of the one written, per thread.
constexpr size_t kSlotsPerThread = 2;

// The library's answers about the matrix. Text comes into the caller's
// buffer, so that several threads may ask at once (the library serialises
// the calls on one handle).
class MatrixSource {
 public:
  MatrixSource(JcampLibrary& library, uint32_t handle, const MatrixLayout& layout)
      : library_(library), handle_(handle), layout_(layout) {}

  bool measure() {
    return library_.getNumberOfSamples(handle_, &samples_) == JCAMP_OK &&
           library_.getNumberOfVariables(handle_, &variables_) == JCAMP_OK;
  }
  int32_t samples() const { return samples_; }
  int32_t variables() const { return variables_; }

  std::string sampleName(int32_t s, char* buffer) const {
    return text(library_.getSampleName(handle_, s, buffer), buffer);
  }
  std::vector<std::string> variableNames() const {
    std::vector<char> buffer(kTextBufferSize, '\0');
    std::vector<std::string> names;
    for (int32_t v = 0; v < variables_; ++v) {
      names.push_back(text(library_.getVariableName(handle_, v, buffer.data()), buffer.data()));
    }
    if (!layout_.hostCompatible) {
      names = uniqueNames(std::move(names),
                          {layout_.transpose ? "Variable" : "Sample", "File", "Block"});
    }
    return names;
  }
  // Sample s's values; false when the library does not answer.
  bool row(int32_t s, std::vector<float>& values) const {
    values.resize(static_cast<size_t>(variables_));
    return variables_ == 0 ||
           library_.getValues(handle_, s, 0, variables_, values.data()) == JCAMP_OK;
  }
  // Sample s's values as fields: getData's texts, or the shortest round trips.
  void values(TableWriter& writer, int32_t s, const std::vector<float>& values,
              char* buffer) const {
    if (layout_.hostCompatible) {
      for (int32_t v = 0; v < variables_; ++v) {
        value(writer, s, v, values[static_cast<size_t>(v)], buffer);
      }
      return;
    }
    writer.plainFields(values.size(), kNumberTextMax,
                       [&values](size_t v, char* at) { return writeShortestText(at, values[v]); });
  }
  // Sample s's value v as a field: getData's text, or the shortest round trip.
  void value(TableWriter& writer, int32_t s, int32_t v, float value, char* buffer) const {
    if (!layout_.hostCompatible) {
      writer.plainField(kNumberTextMax, [value](char* at) { return writeShortestText(at, value); });
    } else if (std::isnan(value)) {
      // "m", or the text of a value that is itself not a number.
      writer.field(text(library_.getData(handle_, s, v, buffer), buffer));
    } else {
      writer.plainField(kNumberTextMax, [value](char* at) { return writeFixedText(at, value); });
    }
  }

 private:
  static std::string text(int32_t result, const char* buffer) {
    return result == JCAMP_OK ? std::string(buffer) : std::string();
  }

  JcampLibrary& library_;
  uint32_t handle_;
  const MatrixLayout& layout_;
  int32_t samples_ = 0;
  int32_t variables_ = 0;
};

void writeOrigin(TableWriter& writer, const MatrixRows& rows, size_t s, bool block) {
  const JcampSampleInfo& info = rows.rows[s];
  const bool known = info.fileIndex >= 0 && static_cast<size_t>(info.fileIndex) < rows.files.size();
  if (block) {
    writer.field(info.blockIndex >= 0 ? std::to_string(info.blockIndex + 1) : std::string());
  } else {
    writer.field(known ? rows.files[static_cast<size_t>(info.fileIndex)] : std::string());
  }
}

bool kept(const MatrixRows& rows, int32_t s) {
  return static_cast<size_t>(s) >= rows.keep.size() || rows.keep[static_cast<size_t>(s)];
}

// What one thread keeps while it makes a chunk's text.
struct ChunkSlot {
  OutputBuffer text;
  std::vector<float> values;
  std::vector<char> buffer = std::vector<char>(kTextBufferSize, '\0');
};

// Lines [0, lines) of the table, `perChunk` at a time: each chunk's text made
// by makeLine into its slot on the threads, written to out in order.
template <typename MakeLine>
bool writeLines(int64_t lines, int64_t perChunk, OutputBuffer& out, const RowProgress& progress,
                MakeLine makeLine) {
  const unsigned threads = chunkThreads();
  const size_t slotCount = std::max<size_t>(threads, 1) * kSlotsPerThread;
  std::vector<std::unique_ptr<ChunkSlot>> slots;
  for (size_t i = 0; i < slotCount; ++i) slots.push_back(std::make_unique<ChunkSlot>());
  const auto chunks = static_cast<size_t>((lines + perChunk - 1) / perChunk);
  const auto firstOf = [perChunk](size_t chunk) { return static_cast<int64_t>(chunk) * perChunk; };
  const auto make = [&](size_t chunk, size_t slot) {
    ChunkSlot& at = *slots[slot];
    at.text.clear();
    const int64_t end = std::min(lines, firstOf(chunk + 1));
    for (int64_t line = firstOf(chunk); line < end; ++line) {
      if (!makeLine(line, at)) return false;
    }
    return true;
  };
  const auto take = [&](size_t chunk, size_t slot) {
    const int64_t end = std::min(lines, firstOf(chunk + 1));
    for (int64_t line = firstOf(chunk); line < end; ++line) progress(line + 1, lines);
    out.append(slots[slot]->text.text());
    return out.ok();
  };
  return forChunksInOrder(chunks, threads, slotCount, make, take);
}

int64_t linesPerChunk(int64_t valuesPerLine) {
  return std::max<int64_t>(1, kValuesPerChunk / std::max<int64_t>(valuesPerLine, 1));
}

bool writeRows(const MatrixSource& source, const MatrixLayout& layout, const MatrixRows& rows,
               TableWriter& writer, OutputBuffer& out, TableFormat format,
               const RowProgress& progress) {
  writer.field("Sample");
  if (layout.withOrigin) {
    writer.field("File");
    writer.field("Block");
  }
  for (const std::string& name : source.variableNames()) writer.field(name);
  writer.endRow();
  const auto makeRow = [&](int64_t line, ChunkSlot& at) {
    const auto s = static_cast<int32_t>(line);
    if (!kept(rows, s)) return true;
    if (!source.row(s, at.values)) return false;
    TableWriter row(at.text, format);
    row.field(source.sampleName(s, at.buffer.data()));
    if (layout.withOrigin) {
      writeOrigin(row, rows, static_cast<size_t>(s), false);
      writeOrigin(row, rows, static_cast<size_t>(s), true);
    }
    source.values(row, s, at.values, at.buffer.data());
    row.endRow();
    return true;
  };
  return writeLines(source.samples(), linesPerChunk(source.variables()), out, progress, makeRow);
}

// One row per variable: the kept samples' values are read first, row by row.
bool writeColumns(const MatrixSource& source, const MatrixLayout& layout, const MatrixRows& rows,
                  TableWriter& writer, OutputBuffer& out, TableFormat format,
                  const RowProgress& progress) {
  std::vector<int32_t> samples;
  std::vector<std::vector<float>> values;
  std::vector<char> buffer(kTextBufferSize, '\0');
  for (int32_t s = 0; s < source.samples(); ++s) {
    if (!kept(rows, s)) continue;
    samples.push_back(s);
    values.emplace_back();
    if (!source.row(s, values.back())) return false;
  }
  writer.field("Variable");
  for (const int32_t s : samples) writer.field(source.sampleName(s, buffer.data()));
  writer.endRow();
  if (layout.withOrigin) {
    for (const bool block : {false, true}) {
      writer.field(block ? "Block" : "File");
      for (const int32_t s : samples) writeOrigin(writer, rows, static_cast<size_t>(s), block);
      writer.endRow();
    }
  }
  const std::vector<std::string> names = source.variableNames();
  const auto makeColumn = [&](int64_t line, ChunkSlot& at) {
    const auto v = static_cast<int32_t>(line);
    TableWriter row(at.text, format);
    row.field(names[static_cast<size_t>(v)]);
    for (size_t k = 0; k < samples.size(); ++k) {
      source.value(row, samples[k], v, values[k][static_cast<size_t>(v)], at.buffer.data());
    }
    row.endRow();
    return true;
  };
  const auto sampleCount = static_cast<int64_t>(samples.size());
  return writeLines(source.variables(), linesPerChunk(sampleCount), out, progress, makeColumn);
}

}  // namespace

std::vector<std::string> uniqueNames(std::vector<std::string> names,
                                     const std::vector<std::string>& reserved) {
  std::set<std::string> used(reserved.begin(), reserved.end());
  for (std::string& name : names) {
    std::string unique = name;
    for (int k = 2; used.count(unique) != 0; ++k) unique = name + " (" + std::to_string(k) + ")";
    used.insert(unique);
    name = std::move(unique);
  }
  return names;
}

bool writeMatrix(JcampLibrary& library, uint32_t handle, const MatrixLayout& layout,
                 const MatrixRows& rows, OutputBuffer& out, const RowProgress& progress) {
  MatrixSource source(library, handle, layout);
  if (!source.measure()) return false;
  TableFormat format;
  format.tsv = layout.tsv;
  format.utf8 = !layout.hostCompatible;
  TableWriter writer(out, format);
  const bool written = layout.transpose
                           ? writeColumns(source, layout, rows, writer, out, format, progress)
                           : writeRows(source, layout, rows, writer, out, format, progress);
  return out.flush() && written;
}
