// A file's bytes in memory, read in large sequential pieces: every byte comes
// from the file once, however often a reader looks at it, and the buffer's
// room is kept for the next file read through the same object.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/file_io.h"
#include "platform/large_blocks.h"
#include "scan/background_read.h"

namespace jcamp {

class FileBytes {
 public:
  // Zero bytes always kept after the held ones: a final NUL and room for
  // block-wise scans of a text.
  static constexpr size_t kPadding = 32;

  // Views of a longer stretch than viewResident bytes slide the held bytes
  // along the file instead of keeping all of them: a scan of a huge file
  // stays small.
  static constexpr int64_t kDefaultViewResident = int64_t{64} << 20;
  // Views of a file no longer than wholeUpTo keep all of it once they have
  // run through it, so that the bytes can serve a later read of the whole file.
  explicit FileBytes(int64_t viewResident = kDefaultViewResident, int64_t wholeUpTo = 0)
      : viewResident_(viewResident), wholeUpTo_(wholeUpTo) {}
  ~FileBytes() { close(); }
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;

  // Opens path and measures it, dropping the bytes of an earlier file (their
  // room stays). False when it cannot be opened or measured; length() is then -1.
  bool open(const char* path);
  // Closes the file; the bytes read so far stay readable.
  void close();

  bool isOpen() const { return file_ != platform::kNoFile; }
  // The length measured when the file was opened; -1 when it was not.
  int64_t length() const { return length_; }
  // The file's stamp as it was opened.
  const platform::FileStamp& stamp() const { return stamp_; }

  // Reads the whole file from its start. False only when there is no memory
  // for it (what was read stays usable). A failed read or a file that came up
  // short ends the bytes early: held() < length().
  bool loadAll();
  // True when the bytes held start at offset 0 and no more will come.
  bool complete() const { return base_ == 0 && ended_; }
  // True when every byte the file was measured to have is held.
  bool holdsWholeFile() const {
    return base_ == 0 && length_ > 0 && held_ == static_cast<uint64_t>(length_);
  }
  // Opens path again keeping the whole file's bytes, when they are held and
  // the file still bears the stamp they were read under: true then. False
  // leaves the bytes as they were, closed; open() then starts afresh.
  bool reopenWhole(const char* path);
  // The bytes from offset 0 on (after loadAll), writable, with kPadding zero
  // bytes after held() of them.
  char* text() { return buffer_.get(); }
  size_t held() const { return held_; }
  // The bytes the buffer has room for.
  size_t room() const { return capacity_; }

  // Up to size bytes from offset on: *bytes points at them and the count is
  // returned; nothing after them is to be read, as the rest of a file kept
  // whole may still be arriving. It is short only where the file ends, a read
  // fails or the file is shorter than measured; 0 at or past that point.
  int32_t view(int64_t offset, int32_t size, const char** bytes);

  // Reads of the file made so far (for those who check how it was read).
  int64_t reads() const { return reads_; }

 private:
  // Makes bytes [base_, end) present, reading on from base_ + held_; false
  // when there is no room.
  bool readUpTo(int64_t end);
  // loadAll for a long file, its pieces read at once by the threads at hand;
  // false when it reads nothing held (the plain read then starts at 0).
  bool loadInPieces();
  bool reserve(size_t bytes);
  // Starts the held bytes afresh at offset: keeps what is already held from
  // there, else positions the file there.
  void restartAt(int64_t offset);
  void zeroPadding();
  // A file kept whole and long enough is read on by a thread of its own once
  // a scan has gone past the first read: the scan works on meanwhile.
  bool readsRestInBackground() const;
  void startBackgroundRead();
  // Waits until the bytes up to file offset end have arrived (or the read
  // ended, which then finishes it).
  void awaitBackgroundRead(int64_t end);
  // Waits for the background read to end and takes in what it read.
  void finishBackgroundRead();

  // The bytes a view keeps at once for this file.
  int64_t viewResident() const {
    return length_ <= wholeUpTo_ ? std::max(length_, viewResident_) : viewResident_;
  }

  const int64_t viewResident_;
  const int64_t wholeUpTo_;
  platform::FileHandle file_ = platform::kNoFile;
  int64_t length_ = -1;
  platform::FileStamp stamp_;
  int64_t filePosition_ = 0;  // where the next read of the file starts
  platform::LargeArray<char> buffer_;
  size_t capacity_ = 0;  // bytes the buffer holds before its padding
  int64_t base_ = 0;     // file offset of buffer_[0]
  size_t held_ = 0;
  bool ended_ = false;  // no more bytes will come: the end, a failed read, or closed
  int64_t reads_ = 0;
  std::unique_ptr<BackgroundRead> background_;  // null when none runs
  size_t backgroundFrom_ = 0;                   // where in the buffer it reads to
};

}  // namespace jcamp
