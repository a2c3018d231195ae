// Low-level file access by descriptor: binary, unbuffered, read-only.
#pragma once

#include <cstdint>

namespace jcamp::platform {

using FileHandle = int32_t;
constexpr FileHandle kNoFile = -1;

// Opens path for reading in binary mode; kNoFile when it cannot be opened or
// is not a regular file (a directory, FIFO, socket or device is refused at
// once, never waited on). When length is given it receives the file's length,
// measured as the file was opened.
FileHandle openForReading(const char* path, int64_t* length = nullptr);

// Length in bytes, or -1 when it cannot be measured.
int64_t fileLength(FileHandle file);

// What tells one version of a file from another without reading it: which
// file it is, its length and when it was last written. Equal stamps that are
// known mean the same bytes, short of a rewrite that restores the time.
struct FileStamp {
  uint64_t identity = 0;
  int64_t length = -1;
  int64_t written = 0;  // in the system's own ticks
  bool known() const { return length >= 0; }
  bool operator==(const FileStamp& other) const {
    return identity == other.identity && length == other.length && written == other.written;
  }
};
// The open file's stamp; not known() when the system cannot tell it, or when
// the file was written in the last seconds: the clock that stamps writes
// ticks coarsely, and a file may be written again within the same tick.
FileStamp stampOf(FileHandle file);

// Moves to offset from the start; returns the new offset or -1.
int64_t seekTo(FileHandle file, int64_t offset);

// Reads up to size bytes; returns the count read (0 at the end) or -1.
int32_t readBytes(FileHandle file, void* buffer, uint32_t size);

// Reads up to size bytes from offset on, as readBytes does, whatever the
// current position; several threads may read one file so at once. The
// position afterwards is unspecified: seek before the next readBytes.
int32_t readBytesAt(FileHandle file, void* buffer, uint32_t size, int64_t offset);

void closeFile(FileHandle file);

// Closes its descriptor when it goes out of scope.
class ScopedFile {
 public:
  explicit ScopedFile(const char* path) : handle_(openForReading(path)) {}
  ~ScopedFile() {
    if (handle_ != kNoFile) closeFile(handle_);
  }
  ScopedFile(const ScopedFile&) = delete;
  ScopedFile& operator=(const ScopedFile&) = delete;

  bool isOpen() const { return handle_ != kNoFile; }
  FileHandle handle() const { return handle_; }

 private:
  FileHandle handle_;
};

}  // namespace jcamp::platform
