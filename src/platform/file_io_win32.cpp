#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>

#include "platform/file_io.h"

namespace jcamp::platform {

FileHandle openForReading(const char* path, int64_t* length) {
  if (path == nullptr) return kNoFile;
  const int fd = ::_open(path, _O_RDONLY | _O_BINARY);
  if (fd < 0) return kNoFile;
  // Only files on disk are read: a pipe or a device (CON, NUL, COM1) is
  // refused at once, before a read could wait on it.
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE || ::GetFileType(handle) != FILE_TYPE_DISK) {
    ::_close(fd);
    return kNoFile;
  }
  struct _stati64 info;
  if (::_fstati64(fd, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
    ::_close(fd);
    return kNoFile;
  }
  if (length != nullptr) *length = static_cast<int64_t>(info.st_size);
  return fd;
}

int64_t fileLength(FileHandle file) {
  if (file == kNoFile) return -1;
  struct _stati64 info;
  if (::_fstati64(file, &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

int64_t seekTo(FileHandle file, int64_t offset) {
  if (file == kNoFile) return -1;
  return static_cast<int64_t>(::_lseeki64(file, offset, SEEK_SET));
}

int32_t readBytes(FileHandle file, void* buffer, uint32_t size) {
  if (file == kNoFile) return -1;
  return ::_read(file, buffer, size);
}

void closeFile(FileHandle file) {
  if (file != kNoFile) ::_close(file);
}

}  // namespace jcamp::platform
