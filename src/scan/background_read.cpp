#include "scan/background_read.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace jcamp {
namespace {

// Small enough that the owner soon has bytes to work on, large enough that
// the calls cost nothing beside the copying.
constexpr size_t kPieceSize = size_t{1} << 20;

}  // namespace

BackgroundRead::BackgroundRead(platform::FileHandle file, char* into, int64_t offset, size_t size)
    : file_(file), into_(into), offset_(offset), size_(size) {}

std::unique_ptr<BackgroundRead> BackgroundRead::start(platform::FileHandle file, char* into,
                                                      int64_t offset, size_t size) {
  try {
    std::unique_ptr<BackgroundRead> read(new BackgroundRead(file, into, offset, size));
    read->thread_ = std::thread([reader = read.get()] { reader->run(); });
    return read;
  } catch (const std::bad_alloc&) {
  } catch (const std::system_error&) {
  }
  return nullptr;
}

BackgroundRead::~BackgroundRead() {
  if (thread_.joinable()) thread_.join();
}

void BackgroundRead::run() {
  size_t done = 0;
  while (done < size_) {
    const auto ask = static_cast<uint32_t>(std::min(size_ - done, kPieceSize));
    const int32_t got =
        platform::readBytesAt(file_, into_ + done, ask, offset_ + static_cast<int64_t>(done));
    if (got <= 0) break;
    done += static_cast<size_t>(got);
    std::lock_guard<std::mutex> hold(lock_);
    done_ = done;
    arrived_.notify_all();
  }
  std::lock_guard<std::mutex> hold(lock_);
  ended_ = true;
  arrived_.notify_all();
}

size_t BackgroundRead::awaitBytes(size_t count) {
  std::unique_lock<std::mutex> hold(lock_);
  arrived_.wait(hold, [&] { return done_ >= count || ended_; });
  return done_;
}

size_t BackgroundRead::finish() {
  if (thread_.joinable()) thread_.join();
  return done_;
}

}  // namespace jcamp
