#include "matrix_writer.h"

#include <cmath>
#include <set>

#include "number_text.h"

namespace {

constexpr size_t kTextBufferSize = 4096;  // longer than any name the library writes

class MatrixSource {
 public:
  MatrixSource(JcampLibrary& library, uint32_t handle, const MatrixLayout& layout)
      : library_(library), handle_(handle), layout_(layout), buffer_(kTextBufferSize, '\0') {}

  bool measure() {
    return library_.getNumberOfSamples(handle_, &samples_) == JCAMP_OK &&
           library_.getNumberOfVariables(handle_, &variables_) == JCAMP_OK;
  }
  int32_t samples() const { return samples_; }
  int32_t variables() const { return variables_; }

  std::string sampleName(int32_t s) {
    return text(library_.getSampleName(handle_, s, buffer_.data()));
  }
  std::vector<std::string> variableNames() {
    std::vector<std::string> names;
    for (int32_t v = 0; v < variables_; ++v) {
      names.push_back(text(library_.getVariableName(handle_, v, buffer_.data())));
    }
    if (!layout_.hostCompatible) {
      names = uniqueNames(std::move(names),
                          {layout_.transpose ? "Variable" : "Sample", "File", "Block"});
    }
    return names;
  }
  // Sample s's values; false when the library does not answer.
  bool row(int32_t s, std::vector<float>& values) {
    values.resize(static_cast<size_t>(variables_));
    return variables_ == 0 ||
           library_.getValues(handle_, s, 0, variables_, values.data()) == JCAMP_OK;
  }
  // Sample s's value v as a field: getData's text, or the shortest round trip.
  void value(TableWriter& writer, int32_t s, int32_t v, float value) {
    if (!layout_.hostCompatible) {
      writer.plainField(kNumberTextMax, [value](char* at) { return writeShortestText(at, value); });
    } else if (std::isnan(value)) {
      // "m", or the text of a value that is itself not a number.
      writer.field(text(library_.getData(handle_, s, v, buffer_.data())));
    } else {
      writer.plainField(kNumberTextMax, [value](char* at) { return writeFixedText(at, value); });
    }
  }

 private:
  std::string text(int32_t result) {
    return result == JCAMP_OK ? std::string(buffer_.data()) : std::string();
  }

  JcampLibrary& library_;
  uint32_t handle_;
  const MatrixLayout& layout_;
  std::vector<char> buffer_;
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

bool writeRows(MatrixSource& source, const MatrixLayout& layout, const MatrixRows& rows,
               TableWriter& writer, const RowProgress& progress) {
  writer.field("Sample");
  if (layout.withOrigin) {
    writer.field("File");
    writer.field("Block");
  }
  for (const std::string& name : source.variableNames()) writer.field(name);
  writer.endRow();
  std::vector<float> values;
  for (int32_t s = 0; s < source.samples(); ++s) {
    progress(s + 1, source.samples());
    if (!kept(rows, s)) continue;
    if (!source.row(s, values)) return false;
    writer.field(source.sampleName(s));
    if (layout.withOrigin) {
      writeOrigin(writer, rows, static_cast<size_t>(s), false);
      writeOrigin(writer, rows, static_cast<size_t>(s), true);
    }
    for (int32_t v = 0; v < source.variables(); ++v) {
      source.value(writer, s, v, values[static_cast<size_t>(v)]);
    }
    writer.endRow();
  }
  return true;
}

// One row per variable: the kept samples' values are read first, row by row.
bool writeColumns(MatrixSource& source, const MatrixLayout& layout, const MatrixRows& rows,
                  TableWriter& writer, const RowProgress& progress) {
  std::vector<int32_t> samples;
  std::vector<std::vector<float>> values;
  for (int32_t s = 0; s < source.samples(); ++s) {
    if (!kept(rows, s)) continue;
    samples.push_back(s);
    values.emplace_back();
    if (!source.row(s, values.back())) return false;
  }
  writer.field("Variable");
  for (const int32_t s : samples) writer.field(source.sampleName(s));
  writer.endRow();
  if (layout.withOrigin) {
    for (const bool block : {false, true}) {
      writer.field(block ? "Block" : "File");
      for (const int32_t s : samples) writeOrigin(writer, rows, static_cast<size_t>(s), block);
      writer.endRow();
    }
  }
  const std::vector<std::string> names = source.variableNames();
  for (int32_t v = 0; v < source.variables(); ++v) {
    progress(v + 1, source.variables());
    writer.field(names[static_cast<size_t>(v)]);
    for (size_t k = 0; k < samples.size(); ++k) {
      source.value(writer, samples[k], v, values[k][static_cast<size_t>(v)]);
    }
    writer.endRow();
  }
  return true;
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
  const bool written = layout.transpose ? writeColumns(source, layout, rows, writer, progress)
                                        : writeRows(source, layout, rows, writer, progress);
  return out.flush() && written;
}
