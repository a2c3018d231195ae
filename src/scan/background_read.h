// The rest of a file read into memory on a thread of its own, piece by piece,
// while its owner works through the bytes that have already arrived.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/file_io.h"

namespace jcamp {

class BackgroundRead {
 public:
  // Reads size bytes of file from offset on into `into`, which must stay
  // valid, as the file stays open, until finish() or destruction. Null when
  // no thread can be started: the caller then reads the bytes itself.
  static std::unique_ptr<BackgroundRead> start(platform::FileHandle file, char* into,
                                               int64_t offset, size_t size);
  ~BackgroundRead();
  BackgroundRead(const BackgroundRead&) = delete;
  BackgroundRead& operator=(const BackgroundRead&) = delete;

  // Waits until at least count bytes have arrived or the reading ended, and
  // returns how many have arrived.
  size_t awaitBytes(size_t count);
  // Waits for the reading to end; the bytes that arrived, short of size when
  // a read failed or the file came up short.
  size_t finish();

 private:
  BackgroundRead(platform::FileHandle file, char* into, int64_t offset, size_t size);
  void run();

  const platform::FileHandle file_;
  char* const into_;
  const int64_t offset_;
  const size_t size_;
  std::mutex lock_;
  std::condition_variable arrived_;
  size_t done_ = 0;     // under lock_
  bool ended_ = false;  // under lock_
  std::thread thread_;
};

}  // namespace jcamp
