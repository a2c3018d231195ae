// The windowed label reader of JcampReader: a 1024-byte window on the open
// file, line-end detection, label search with JCAMP-DX name normalisation and
// value reading. Every index into the window stays below its length plus the
// two spare bytes.
#include <cstring>
#include <limits>

#include "labels/ascii_case.h"
#include "scan/jcamp_reader.h"

namespace jcamp {
namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
// While searching, a label name must be collectable without re-reading.
constexpr int32_t kLookAhead = 64;
// A search reuses the window when its start has at least this much after it.
constexpr int32_t kReuseMargin = 256;
constexpr int32_t kMinCollect = 8;  // enough to recognise "##TITLE="
// Long enough for any label searched plus a name as the file writes it.
constexpr int32_t kNameCapacity = 64;
constexpr char kTitleLabel[] = "##TITLE=";
constexpr int32_t kTitleLabelLength = sizeof kTitleLabel - 1;
constexpr char kEndLabel[] = "##END=";
constexpr int32_t kEndLabelLength = sizeof kEndLabel - 1;

bool isMarker(char c) {
  return c == '#' || c == '$';
}

constexpr bool kUpperCase = true;  // names compare in any case

// Byte by byte: names are short, and most differ at their third byte. With
// upperCase the name's letters count in upper case.
bool startsWith(const char* name, int32_t nameLength, const char* prefix, int32_t prefixLength,
                bool upperCase) {
  if (nameLength < prefixLength) return false;
  for (int32_t i = 0; i < prefixLength; ++i) {
    const char c = upperCase ? upperAscii(name[i]) : name[i];
    if (c != prefix[i]) return false;
  }
  return true;
}

// The line end a window shows: the last line break decides. A break in the
// last byte of a window that does not reach the end of the file is only used
// when there is no other, as the byte after it is not known yet.
char detectLineEnd(const char* window, int32_t length, bool reachesEnd) {
  char found = '\0';
  for (int32_t i = 0; i < length; ++i) {
    const char c = window[i];
    if (c != kCr && c != kLf) continue;
    const bool followerKnown = i + 1 < length || reachesEnd;
    if (!followerKnown && found != '\0') break;
    const char next = i + 1 < length ? window[i + 1] : '\0';
    if (c == kCr) {
      found = next == kLf ? kLf : kCr;
    } else {
      found = next == kCr ? kCr : kLf;
    }
  }
  return found;
}

}  // namespace

void JcampReader::readThrough(FileBytes* bytes, Bytes state) {
  closeFile();
  bytes_ = bytes != nullptr ? bytes : &ownBytes_;
  callerOpens_ = bytes != nullptr && state == Bytes::kOpened;
}

int32_t JcampReader::openFile() {
  closeFile();
  if (!callerOpens_) bytes_->open(entry != nullptr ? entry->path.c_str() : nullptr);
  const int64_t length = bytes_->length();
  // Offsets are 32-bit: a longer file cannot be measured.
  if (length < 0 || length > std::numeric_limits<int32_t>::max()) {
    fileLength_ = -1;
    return fail(kStatusIoError);
  }
  fileLength_ = static_cast<int32_t>(length);
  windowStart_ = -1;
  windowLength_ = 0;
  position_ = 0;
  return 0;
}

void JcampReader::closeFile() {
  if (!callerOpens_) bytes_->close();
}

// The window's bytes come from memory: the file itself is read in large pieces.
int32_t JcampReader::readWindowAt(int64_t offset) {
  if (offset < 0) return -1;
  const char* bytes = nullptr;
  const int32_t count = bytes_->view(offset, kWindowSize, &bytes);
  if (count > 0) std::memcpy(window_, bytes, static_cast<size_t>(count));
  return count;
}

int32_t JcampReader::fillWindow(int64_t offset) {
  if (offset >= fileLength_) return fail(kStatusUnexpectedEnd, {""});
  ++windowReads_;
  const int32_t count = readWindowAt(offset);
  // A window is full unless it reaches the end of the file (the skip loops
  // rely on that to make progress); anything else means the read failed or
  // the file shrank, and no search may reuse the buffer.
  if (count <= 0 || (count < kWindowSize && offset + count < fileLength_)) {
    windowStart_ = -1;
    windowLength_ = 0;
    position_ = 0;
    return fail(kStatusIoError);
  }
  bytesRead_ += count;
  windowStart_ = static_cast<int32_t>(offset);
  windowLength_ = count;
  window_[count] = '\0';
  window_[count + 1] = '\0';
  position_ = 0;
  if (lineEnd == '\0') {
    lineEnd = detectLineEnd(window_, windowLength_, windowReachesEnd());
    // Under anyLineLength a first line may fill the window; a comment is then
    // skipped to any line break.
    if (lineEnd == '\0' && !rules.anyLineLength) return fail(kStatusFirstLineTooLong);
  }
  return 0;
}

int32_t JcampReader::skipToLineEnd(char c) {
  // Under anyLineEnd (or before the line end is known) CR and LF both end a line.
  const bool anyBreak = rules.anyLineEnd || c == '\0';
  while (position_ >= windowLength_ ||
         (window_[position_] != c &&
          !(anyBreak && (window_[position_] == kCr || window_[position_] == kLf)))) {
    if (position_ < windowLength_) {
      ++position_;
    } else if (fillWindow(absolutePosition()) != 0) {
      return 1;
    }
  }
  return 0;
}

int32_t JcampReader::skipToChar(char c, int32_t code) {
  while (position_ >= windowLength_ || window_[position_] != c) {
    if (position_ >= windowLength_ - 2 && (!windowReachesEnd() || position_ >= windowLength_)) {
      if (fillWindow(absolutePosition()) != 0) return 1;
    } else if (window_[position_] == '$' && window_[position_ + 1] == '$') {
      if (skipToLineEnd(lineEnd) != 0) return 1;
    } else if (window_[position_] == '#' && window_[position_ + 1] == '#') {
      return fail(code);
    } else {
      ++position_;
    }
  }
  return 0;
}

int32_t JcampReader::keepLookAhead() {
  if (position_ > windowLength_ - kLookAhead && !windowReachesEnd()) {
    return fillWindow(absolutePosition());
  }
  return 0;
}

// Bytes other than '#' and '$' can neither start nor end a pair: jump over
// them, but never past where the look-ahead or the end of the file would act.
void JcampReader::skipPlainBytes(char& c1, char& c2) {
  const int32_t limit = windowReachesEnd() ? windowLength_ - 1 : windowLength_ - kLookAhead;
  const int32_t from = position_;
  if (position_ >= limit) return;
  // memchr runs through a window many bytes at a time: most bytes are data.
  const char* const begin = window_ + position_;
  const char* stop = window_ + limit;
  if (const void* hash = std::memchr(begin, '#', static_cast<size_t>(stop - begin))) {
    stop = static_cast<const char*>(hash);
  }
  if (const void* dollar = std::memchr(begin, '$', static_cast<size_t>(stop - begin))) {
    stop = static_cast<const char*>(dollar);
  }
  position_ = static_cast<int32_t>(stop - window_);
  if (position_ == from) return;
  c1 = window_[position_ - 2];
  c2 = window_[position_ - 1];
}

int32_t JcampReader::findLabelStart(char c1, char c2) {
  while (c1 != '#' || c2 != '#') {
    if (c1 == '$' && c2 == '$') {
      if (skipToLineEnd(lineEnd) != 0 || keepLookAhead() != 0) return 1;
      c1 = window_[position_ + 1];
      c2 = window_[position_ + 2];
      position_ += 3;
    } else {
      c1 = c2;
      c2 = window_[position_++];
      if (!isMarker(c2)) skipPlainBytes(c1, c2);
    }
    if (keepLookAhead() != 0) return 1;
    if (absolutePosition() >= fileLength_ || position_ >= windowLength_) {
      return fail(kStatusUnexpectedEnd, {""});
    }
  }
  return 0;
}

int32_t JcampReader::collectName(int32_t& labelStart, int32_t collect, char* name,
                                 int32_t& nameLength) {
  for (;;) {
    // In locals: the stores into name could otherwise alias the members.
    int32_t length = 2;
    int32_t at = labelStart + 2;
    const int32_t windowLength = windowLength_;
    name[0] = name[1] = '#';
    while (length < collect && name[length - 1] != '=' && at < windowLength &&
           !(window_[at] == '#' && window_[at + 1] == '#')) {
      const char c = window_[at++];
      if (!isLabelNameFiller(c)) name[length++] = c;
    }
    nameLength = length;
    position_ = at;
    const bool cutByWindow =
        position_ >= windowLength_ && nameLength < collect && name[nameLength - 1] != '=';
    if (!cutByWindow || windowReachesEnd() || labelStart == 0) return 0;
    // A name spread over the window's end: read it again from its "##".
    if (fillWindow(int64_t{windowStart_} + labelStart) != 0) return 1;
    labelStart = 0;
  }
}

void JcampReader::readValue(int32_t maxLength) {
  int32_t copied = 0;
  while (position_ < windowLength_ && window_[position_] == ' ') ++position_;
  while (copied < maxLength && position_ < windowLength_) {
    const char c = window_[position_];
    if (c == '#' && window_[position_ + 1] == '#') break;
    ++position_;
    // A value may continue on the next line: joined without a separator.
    if (c == '$' || c == kCr || c == kLf) continue;
    value_[copied++] = c;
    // A comment line right after the value ends it.
    if (position_ < windowLength_ && window_[position_] == kCr && window_[position_ + 2] == '$') {
      break;
    }
  }
  while (copied > 0 &&
         (value_[copied - 1] == kLf || value_[copied - 1] == kCr || value_[copied - 1] == ' ')) {
    --copied;
  }
  value_[copied] = '\0';
}

int32_t JcampReader::findLabel(const char* label, int32_t maxLength, int64_t start, ValueMode mode,
                               SearchScope scope, int32_t blockNumber, int32_t* positionOut) {
  const int32_t result =
      searchLabel(label, maxLength, start, mode, scope, blockNumber, positionOut);
  // Under endOptional the last block may end with the file: a label it lacks
  // is missing from it, not cut off by the end.
  if (result != 0 && scope == SearchScope::kBlock && rules.endOptional &&
      status == kStatusUnexpectedEnd) {
    return fail(kStatusLabelMissing, {label, blockNumber});
  }
  return result;
}

int32_t JcampReader::searchLabel(const char* label, int32_t maxLength, int64_t start,
                                 ValueMode mode, SearchScope scope, int32_t blockNumber,
                                 int32_t* positionOut) {
  const auto labelLength = static_cast<int32_t>(std::strlen(label));
  int32_t collect = labelLength < kMinCollect ? kMinCollect : labelLength;
  if (collect > kNameCapacity) collect = kNameCapacity;
  if (start < 0) start = 0;
  if (windowStart_ >= 0 && start >= windowStart_ &&
      start <= int64_t{windowStart_} + windowLength_ - kReuseMargin) {
    position_ = static_cast<int32_t>(start - windowStart_);
  } else if (fillWindow(start) != 0) {
    return 1;
  }

  char name[kNameCapacity];
  int32_t nameLength = 0;
  int32_t labelStart = 0;
  for (;;) {
    if (keepLookAhead() != 0) return 1;
    if (absolutePosition() >= fileLength_ || position_ >= windowLength_) {
      return fail(kStatusUnexpectedEnd, {""});
    }
    const char c1 = window_[position_];
    const char c2 = window_[position_ + 1];
    position_ += 2;
    if (findLabelStart(c1, c2) != 0) return 1;
    labelStart = position_ - 2;
    if (collectName(labelStart, collect, name, nameLength) != 0) return 1;
    // Only a title written in upper case records how long its label is;
    // under looseLabelNames one in any case does.
    if (startsWith(name, nameLength, kTitleLabel, kTitleLabelLength, rules.looseLabelNames)) {
      titleLabelLength_ = position_ - labelStart;
    }
    if (startsWith(name, nameLength, label, labelLength, kUpperCase)) break;
    if (scope == SearchScope::kBlock &&
        (startsWith(name, nameLength, kEndLabel, kEndLabelLength, kUpperCase) ||
         startsWith(name, nameLength, kTitleLabel, kTitleLabelLength, kUpperCase))) {
      return fail(kStatusLabelMissing, {label, blockNumber});
    }
  }
  if (positionOut != nullptr) *positionOut = labelStart + labelLength;
  if (mode == ValueMode::kSkip) return 0;
  if (maxLength > kValueCapacity) maxLength = kValueCapacity;
  // Read the value from one window: re-read from here when it might not fit.
  if (windowLength_ - position_ < maxLength && !(windowReachesEnd() && position_ < windowLength_)) {
    if (fillWindow(absolutePosition()) != 0) return 1;
  }
  readValue(maxLength);
  return 0;
}

}  // namespace jcamp
