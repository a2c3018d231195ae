// The header scanning reader: measures one JCAMP-DX file by jumping from label
// to label through a 1024-byte window, without decoding its data, and fills
// the file's entry with what it measured.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "labels/reading_rules.h"
#include "labels/status.h"
#include "scan/file_bytes.h"
#include "scan/jcamp_file_info.h"
#include "scan/message_format.h"

namespace jcamp {

// Which block the scan measures as the file's first sample: the first data
// block, or the first that holds a data table (blocks before it, such as a
// structure or peak assignments, give no row).
enum class FirstSample { kFirstBlock, kFirstTableBlock };

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
  JcampReader(const ReadingRules& readingRules, FirstSample firstSample,
              JcampFileInfo* fileEntry = nullptr);
  virtual ~JcampReader();
  JcampReader(const JcampReader&) = delete;
  JcampReader& operator=(const JcampReader&) = delete;

  // Measures the entry's file and fills the entry; returns kStatusOk or the
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

  // Sets status and message together (the code's text formatted with args); returns 1.
  int32_t fail(int32_t code, std::initializer_list<MessageArg> args = {});
  // Back to kStatusOk with an empty message.
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
  const ReadingRules rules;        // how the file is read
  const FirstSample firstSample;
  int32_t nPoints = 0;  // ##NPOINTS= of the first data block
  int32_t yCount = 0;   // concentration tuples
  std::vector<std::string> yNames;
  int32_t sampleCount = 0;      // data blocks of the file
  char lineEnd = '\0';          // 0 until detected
  int32_t firstDataBlock = -1;  // 1: a single block; 2: several, linked or not
  std::string message;
  int32_t status = kStatusOk;  // a Status

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
  int32_t searchTableKind();
  int32_t findFirstTableBlock();
  // The NTUPLES block at data start: why its first page is not read (empty
  // when it is); its shape from its variables and that page (points, first
  // and last X); and the file's pages, each a sample. 0 or 1.
  int32_t pagesUnread(std::string& why);
  int32_t readPageShape();
  int32_t countPages();
  // The lists of the NTUPLES block at data start and its first ##DATA TABLE=
  // ("" for one the block lacks).
  struct PageLists;
  int32_t readPageLists(PageLists& lists);
  static std::string whyPagesUnread(const PageLists& lists);

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
  // findTableKind's last answer and the data start it was for (-1: none):
  // the scan asks it of one block several times, and each asks the block's labels.
  int32_t knownKind_ = kTableKindNone;
  int64_t knownKindStart_ = -1;
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
