// The header scanning reader: measures one JCAMP-DX file by jumping from label
// to label through a 1024-byte window, without decoding its data, and keeps
// what the import of that file needs next (counts, names, the value block).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "labels/reading_rules.h"
#include "labels/sample_warnings.h"
#include "scan/file_bytes.h"
#include "scan/jcamp_file_info.h"
#include "scan/message_format.h"

namespace jcamp {

// Status of the reader: the index of its message text, or kReaderOk.
enum ReaderStatus : int32_t {
  kStatusIoError = 0,
  kStatusLabelMissing = 1,
  kStatusFormatError = 2,
  kStatusNoMemory = 3,          // reserved
  kStatusIllegalCharacter = 4,  // reserved
  kStatusUnexpectedEnd = 5,
  kStatusIllegalBlocks = 6,
  kStatusNoXyTable = 7,
  kStatusUnexpectedLabel = 8,  // reserved
  kStatusXNamesRequired = 9,   // reserved
  kStatusXNameError = 10,      // reserved
  kStatusFirstLineTooLong = 11,
  kStatusIllegalNumber = 12,   // reserved
  kStatusNumberTooLong = 13,   // reserved
  kStatusIllegalNpoints = 14,  // reserved
  kStatusXValuesDiffer = 15,   // reserved
  kStatusConcentrations = 16,
  kReaderOk = 100,
};
constexpr int32_t kStatusCount = 17;

// Whether findLabel reads the label's value or only positions after the label.
enum class ValueMode { kSkip, kRead };
// Whether findLabel gives up at the end of the current block or searches on.
enum class SearchScope { kBlock, kFile };

class JcampReader {
 public:
  static constexpr int32_t kWindowSize = 1024;
  // The bytes a scan that reads its file itself keeps at once: it runs
  // forward, so a small stretch that stays in the cache serves it.
  static constexpr int64_t kScanResident = int64_t{1} << 20;
  static constexpr int32_t kValueCapacity = 256;  // characters, without the NUL
  // Value blocks beyond this many floats are refused as absurd.
  static constexpr int64_t kMaxBlockElements = INT32_MAX;

  explicit JcampReader(JcampFileInfo* fileEntry = nullptr);
  virtual ~JcampReader();
  JcampReader(const JcampReader&) = delete;
  JcampReader& operator=(const JcampReader&) = delete;

  // The message table text of a status code; "" for a code outside it.
  static const char* messageText(int32_t code);

  // Measures the entry's file and fills the entry; returns kReaderOk or the
  // status of the first failure (the entry is then left as it was).
  int32_t scanHeader();

  // The steps of scanHeader, on the open file; each returns 0, or 1 with
  // status and message set.
  int32_t scanBlockHeader();
  int32_t readConcentrationNames();
  int32_t scanXyTable();

  // Scans read the file through bytes, which the caller keeps, so that its
  // room serves file after file. With kOpened the caller has already opened
  // the entry's file in it (and perhaps read it whole): scans take the bytes as
  // they are, and opening and closing them stays the caller's.
  enum class Bytes { kToOpen, kOpened };
  void readThrough(FileBytes* bytes, Bytes state = Bytes::kToOpen);
  // The bytes the caller opened for this reader; null when the reader opens its file itself.
  FileBytes* openedBytes() const { return callerOpens_ ? bytes_ : nullptr; }

  // The windowed label reader. Each returns 0, or 1 with status and message set.
  int32_t openFile();
  void closeFile();
  int32_t fillWindow(int64_t offset);
  int32_t skipToLineEnd(char c);
  int32_t skipToChar(char c, int32_t code);
  // Finds label (written "##NAME=") from the file offset start on. With
  // ValueMode::kRead the value, cut to maxLength characters, is left in
  // value(). positionOut receives the window position just past the label as
  // searched; blockNumber is what a "missing" message names.
  int32_t findLabel(const char* label, int32_t maxLength, int64_t start, ValueMode mode,
                    SearchScope scope, int32_t blockNumber, int32_t* positionOut = nullptr);

  // Allocates rows x columns floats (uninitialised); a failed or absurd
  // request, or one far beyond what the scanned file can hold
  // (fitsScannedFile), leaves valueBlock null.
  void allocValueBlock(int32_t rows, int32_t columns);
  // Whether a matrix of that many elements is plausible for the file the last
  // scan measured: a header may claim any number of blocks and points, but the
  // file's bytes bound what it can fill.
  bool fitsScannedFile(int64_t elements) const;
  // Elements any file may ask for, and per byte of the file beyond that.
  static constexpr int64_t kElementsAlwaysGranted = int64_t{1} << 18;
  static constexpr int64_t kElementsPerFileByte = 16;
  // Hands the value block over; the reader no longer holds it.
  std::unique_ptr<float[]> takeValueBlock();

  // Sets status and message together (the code's text formatted with args); returns 1.
  int32_t fail(int32_t code, std::initializer_list<MessageArg> args = {});
  // Back to kReaderOk with an empty message.
  void clearStatus();

  // What the scan measured besides the public counts.
  const char* value() const { return value_; }
  int32_t dataStart() const { return dataStart_; }
  int32_t tableKind() const { return tableKind_; }
  int32_t firstX() const { return firstX_; }
  int32_t lastX() const { return lastX_; }
  const std::string& title() const { return title_; }
  const std::string& origin() const { return origin_; }
  const std::string& owner() const { return owner_; }

  // The window, for those who check how the file was read.
  int32_t windowStart() const { return windowStart_; }
  int32_t windowLength() const { return windowLength_; }
  int32_t position() const { return position_; }
  int32_t fileLength() const { return fileLength_; }
  int32_t titleLabelLength() const { return titleLabelLength_; }
  int64_t absolutePosition() const { return int64_t{windowStart_} + position_; }
  int64_t windowReads() const { return windowReads_; }
  int64_t bytesRead() const { return bytesRead_; }

  JcampFileInfo* entry = nullptr;  // the file being read; never owned
  ReadingRules rules;              // how the file is read, scan and import alike
  int32_t nPoints = 0;             // ##NPOINTS= of the first data block
  int32_t yCount = 0;              // concentration tuples
  int32_t blockRows = 0;
  int32_t blockColumns = 0;
  std::unique_ptr<float[]> valueBlock;  // blockRows x blockColumns, variable by variable
  std::vector<std::string> sampleNames;
  std::vector<std::string> xNames;
  std::vector<std::string> yNames;
  // Filled by the matrix builder: one per row of the value block, and a line
  // per block it left out for its X grid.
  std::vector<SampleDiagnostics> diagnostics;
  std::vector<std::string> refusedBlocks;
  int32_t sampleCount = 0;      // data blocks of the file
  char lineEnd = '\0';          // 0 until detected
  int32_t firstDataBlock = -1;  // 1: a single block; 2: several, linked or not
  std::string message;
  int32_t status = kReaderOk;

 private:
  bool windowReachesEnd() const { return int64_t{windowStart_} + windowLength_ >= fileLength_; }
  // Reads up to a full window from offset into the buffer; -1 on failure.
  int32_t readWindowAt(int64_t offset);
  // Re-reads the window from the position when fewer than kLookAhead bytes remain.
  int32_t keepLookAhead();
  // Advances until the two bytes just read (c1, c2) are "##", skipping comments.
  int32_t findLabelStart(char c1, char c2);
  void skipPlainBytes(char& c1, char& c2);
  // Collects the name of the label whose "##" is at window index labelStart
  // (moved to 0 when the window had to be re-read for it).
  int32_t collectName(int32_t& labelStart, int32_t collect, char* name, int32_t& nameLength);
  // Reads the value at the position into value_, at most maxLength characters.
  void readValue(int32_t maxLength);
  // findLabel without what the rules change about the end of a file.
  int32_t searchLabel(const char* label, int32_t maxLength, int64_t start, ValueMode mode,
                      SearchScope scope, int32_t blockNumber, int32_t* positionOut);
  void fillEntry() const;
  int32_t scanFile();
  int32_t countBlocks();
  int32_t readOptionalText(const char* label, int32_t maxLength, std::string& text);
  int32_t readDataType(bool& linked);
  int32_t readAbscissaLimit(const char* label, int32_t& whole, std::string& text);
  // The table kind of the block at data start (kTableKindNone without one).
  int32_t findTableKind();
  int32_t findFirstTableBlock();

  int32_t windowStart_ = -1;
  int32_t dataStart_ = 0;
  FileBytes ownBytes_{kScanResident};
  FileBytes* bytes_ = &ownBytes_;
  bool callerOpens_ = false;
  int32_t fileLength_ = 0;
  char value_[kValueCapacity + 1] = {};
  int32_t position_ = 0;
  int32_t windowLength_ = 0;
  int32_t tableKind_ = -1;
  // Two bytes past the window stay readable (and zero past the filled part),
  // so that the search may look one pair of bytes ahead of the position.
  char window_[kWindowSize + 2] = {};
  int32_t titleLabelLength_ = -1;
  int32_t firstX_ = 0;
  int32_t lastX_ = 0;
  std::string firstXText_;  // ##FIRSTX= and ##LASTX= as written
  std::string lastXText_;
  std::string title_;
  std::string owner_;
  std::string origin_;
  int64_t windowReads_ = 0;
  int64_t bytesRead_ = 0;
};

}  // namespace jcamp
