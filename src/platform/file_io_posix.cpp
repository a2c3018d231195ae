#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_io.h"

namespace jcamp::platform {

FileHandle openForReading(const char* path, int64_t* length) {
  if (path == nullptr) return kNoFile;
  // Without O_NONBLOCK, opening a FIFO would wait for a writer that may never come.
  int fd;
  do {
    fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return kNoFile;
  // Only regular files are read: a directory, FIFO, socket or device is
  // refused at once. On a regular file O_NONBLOCK changes nothing: it stays.
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return kNoFile;
  }
  if (length != nullptr) *length = static_cast<int64_t>(info.st_size);
  return fd;
}

int64_t fileLength(FileHandle file) {
  struct stat info;
  if (file == kNoFile || ::fstat(file, &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

FileStamp stampOf(FileHandle file) {
  struct stat info;
  FileStamp stamp;
  if (file == kNoFile || ::fstat(file, &info) != 0) return stamp;
  stamp.identity =
      static_cast<uint64_t>(info.st_ino) * 1000003u ^ static_cast<uint64_t>(info.st_dev);
  stamp.length = static_cast<int64_t>(info.st_size);
  stamp.written = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  constexpr int64_t kSettledNanoseconds = int64_t{2} * 1000000000;
  struct timespec now;
  if (::clock_gettime(CLOCK_REALTIME, &now) != 0 ||
      static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec - stamp.written <
          kSettledNanoseconds) {
    return FileStamp();
  }
  return stamp;
}

int64_t seekTo(FileHandle file, int64_t offset) {
  if (file == kNoFile) return -1;
  return static_cast<int64_t>(::lseek(file, static_cast<off_t>(offset), SEEK_SET));
}

int32_t readBytes(FileHandle file, void* buffer, uint32_t size) {
  if (file == kNoFile) return -1;
  ssize_t count;
  do {
    count = ::read(file, buffer, size);
  } while (count < 0 && errno == EINTR);
  return static_cast<int32_t>(count);
}

int32_t readBytesAt(FileHandle file, void* buffer, uint32_t size, int64_t offset) {
  if (file == kNoFile || offset < 0) return -1;
  ssize_t count;
  do {
    count = ::pread(file, buffer, size, static_cast<off_t>(offset));
  } while (count < 0 && errno == EINTR);
  return static_cast<int32_t>(count);
}

void closeFile(FileHandle file) {
  if (file != kNoFile) ::close(file);
}

}  // namespace jcamp::platform
