// The importer behind one handle: its file list, the last import's values and names.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/file_result.h"
#include "document/matrix_axis.h"
#include "document/row_model.h"
#include "labels/reading_rules.h"
#include "labels/sample_warnings.h"
#include "plugin/data_importer.h"
#include "plugin/grid_request.h"
#include "plugin/published_matrix.h"
#include "scan/file_bytes.h"
#include "scan/jcamp_file_info.h"

namespace jcamp {

namespace platform {
class WorkerPool;
}
class BytesShelf;
struct FileReading;
struct ImportReading;

class JcampImporter : public DataImporter {
 public:
  JcampImporter() = default;
  ~JcampImporter() override = default;

  int32_t importDataUI() override;
  int32_t importData() override;
  int32_t addFileName(const char* fileName) override;
  int32_t getNumberOfSamples(int32_t* count) override;
  int32_t getNumberOfVariables(int32_t* count) override;
  int32_t getVariableName(int32_t index, char* buffer) override;
  int32_t getSampleName(int32_t index, char* buffer) override;
  int32_t getData(int32_t sample, int32_t variable, char* buffer) override;
  int32_t getNoOfFiles(int32_t* count) override;
  int32_t getFileName(int32_t index, char* buffer) override;
  int32_t setReadingMode(int32_t mode) override;
  int32_t getValues(int32_t sample, int32_t firstVariable, int32_t count, float* out) override;
  int32_t getSampleInfo(int32_t sample, JcampSampleInfo* info) override;
  int32_t setGrid(const JcampGrid* grid) override;

  const ReadingRules& rules() const { return rules_; }
  // The value queries' view of the importer as it stands, built on first use
  // after a change; it stays as it is for whoever holds it.
  std::shared_ptr<const PublishedMatrix> published() override;

 private:
  // The rows a file gives the matrix: those its header counts, or those its
  // reading made (none when it could not be read), as the row model says.
  int32_t rowsOf(const JcampFileInfo& entry, const FileResult& result) const;
  // Takes one file's reading into the results; false when the user stopped
  // the import at its message.
  bool commitReading(size_t i, FileReading& reading);
  // commitReading once the file was read and nothing threw.
  bool commitRead(size_t i, FileReading& reading);
  // The first sample of every file in the list, then the total.
  std::vector<int64_t> fileStarts() const;
  // A count the file gave as negative reads as no variables at all.
  int32_t variableCount() const { return std::max(xCount_, 0) + std::max(yCount_, 0); }
  // Under the explicit and overlap policies, the axis the files are read
  // onto, before any is read.
  void setTargetAxis(platform::WorkerPool& pool, BytesShelf& shelf);
  // The columns the next files are read into: under a grid policy, once its
  // grid is known, as many X columns as it has points.
  void fitColumns(ImportReading& import);

  ReadingRules rules_ = kHostCompatibleRules;
  GridRequest grid_;
  const RowModel* rowModel_ = &RowModel::of(kHostCompatibleRules);
  bool rulesLocked_ = false;  // a file was added: the rules it was measured by stay
  bool imported_ = false;
  bool firstFileAdded_ = false;
  int32_t sampleCount_ = 0;
  int32_t xCount_ = 0;
  int32_t yCount_ = 0;
  std::vector<std::unique_ptr<JcampFileInfo>> files_;
  // The bytes of the last scan, and the entry whose whole file they hold (null
  // when none): the import reads that file from them rather than again.
  std::unique_ptr<FileBytes> scanBytes_;
  const JcampFileInfo* scannedWhole_ = nullptr;
  // One per file of the last import: its values, rows and diagnostics (its
  // names are moved into the lists below). Shared with the published matrices.
  std::shared_ptr<std::vector<FileResult>> results_ = std::make_shared<std::vector<FileResult>>();
  MatrixAxis
      matrixAxis_;  // the X axis of the last import: its first block's, or the grid asked for
  std::vector<std::string> sampleNames_;
  std::vector<std::string> variableNames_;
  std::shared_ptr<const PublishedMatrix> published_;  // null until asked for after a change
};

}  // namespace jcamp
