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

FileStamp stampOf(FileHandle file) {
  FileStamp stamp;
  if (file == kNoFile) return stamp;
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(file));
  BY_HANDLE_FILE_INFORMATION info;
  if (handle == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(handle, &info)) return stamp;
  const auto high = [](DWORD upper, DWORD lower) {
    return static_cast<uint64_t>(upper) << 32 | static_cast<uint64_t>(lower);
  };
  stamp.identity = high(info.nFileIndexHigh, info.nFileIndexLow) ^ info.dwVolumeSerialNumber;
  stamp.length = static_cast<int64_t>(high(info.nFileSizeHigh, info.nFileSizeLow));
  stamp.written = static_cast<int64_t>(
      high(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime));
  constexpr int64_t kSettledTicks = int64_t{2} * 10000000;  // 100 ns ticks
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  if (static_cast<int64_t>(high(now.dwHighDateTime, now.dwLowDateTime)) - stamp.written <
      kSettledTicks) {
    return FileStamp();
  }
  return stamp;
}

int64_t seekTo(FileHandle file, int64_t offset) {
  if (file == kNoFile) return -1;
  return static_cast<int64_t>(::_lseeki64(file, offset, SEEK_SET));
}

int32_t readBytes(FileHandle file, void* buffer, uint32_t size) {
  if (file == kNoFile) return -1;
  return ::_read(file, buffer, size);
}

int32_t readBytesAt(FileHandle file, void* buffer, uint32_t size, int64_t offset) {
  if (file == kNoFile || offset < 0) return -1;
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(file));
  if (handle == INVALID_HANDLE_VALUE) return -1;
  // A read with an offset on a handle opened for synchronous use reads there
  // and waits; the CRT keeps no read buffer for a binary descriptor.
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset));
  at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
  const DWORD asked = size > 0x7fffffffu ? 0x7fffffffu : size;
  DWORD got = 0;
  if (!::ReadFile(handle, buffer, asked, &got, &at)) {
    return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
  }
  return static_cast<int32_t>(got);
}

void closeFile(FileHandle file) {
  if (file != kNoFile) ::_close(file);
}

}  // namespace jcamp::platform
