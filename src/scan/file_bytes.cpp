#include "scan/file_bytes.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "platform/large_blocks.h"
#include "platform/worker_pool.h"

namespace jcamp {
namespace {

// The first read takes a whole header and, for most files, the whole file.
constexpr size_t kFirstRead = size_t{64} << 10;
// The most one read call asks for.
constexpr size_t kLargestRead = size_t{1} << 30;
// A whole file at least this long is read in as many pieces as there are
// threads to help: each takes its share of the copying and of the fresh pages.
constexpr int64_t kPiecewiseLength = int64_t{4} << 20;

}  // namespace

bool FileBytes::open(const char* path) {
  close();
  length_ = -1;
  base_ = 0;
  held_ = 0;
  filePosition_ = 0;
  zeroPadding();
  file_ = platform::openForReading(path, &length_);
  if (file_ == platform::kNoFile) length_ = -1;
  stamp_ = file_ != platform::kNoFile ? platform::stampOf(file_) : platform::FileStamp();
  if (length_ < 0) {
    close();
    return false;
  }
  ended_ = length_ == 0;
  return true;
}

bool FileBytes::reopenWhole(const char* path) {
  if (!holdsWholeFile() || !stamp_.known()) return false;
  int64_t length = -1;
  const platform::FileHandle file = platform::openForReading(path, &length);
  if (file == platform::kNoFile) return false;
  if (length != length_ || !(platform::stampOf(file) == stamp_)) {
    platform::closeFile(file);
    return false;
  }
  close();
  file_ = file;
  return true;
}

void FileBytes::close() {
  finishBackgroundRead();
  if (file_ != platform::kNoFile) platform::closeFile(file_);
  file_ = platform::kNoFile;
  ended_ = true;
}

void FileBytes::zeroPadding() {
  if (buffer_) std::memset(buffer_.get() + held_, 0, kPadding);
}

bool FileBytes::reserve(size_t bytes) {
  if (bytes <= capacity_ && buffer_) return true;
  finishBackgroundRead();
  if (bytes > std::numeric_limits<size_t>::max() / 2) return false;
  platform::LargeArray<char> grown = platform::allocateLargeArray<char>(bytes + kPadding);
  if (!grown) return false;
  if (held_ > 0) std::memcpy(grown.get(), buffer_.get(), held_);
  buffer_ = std::move(grown);
  capacity_ = bytes;
  zeroPadding();
  return true;
}

void FileBytes::restartAt(int64_t offset) {
  finishBackgroundRead();
  const int64_t heldEnd = base_ + static_cast<int64_t>(held_);
  if (offset >= base_ && offset <= heldEnd) {
    const auto skip = static_cast<size_t>(offset - base_);
    if (skip > 0) std::memmove(buffer_.get(), buffer_.get() + skip, held_ - skip);
    held_ -= skip;
  } else {
    held_ = 0;
    // Only a jump away from what is held moves the file.
    ended_ = !isOpen() || offset >= length_ ||
             (filePosition_ != offset && platform::seekTo(file_, offset) != offset);
    if (!ended_) filePosition_ = offset;
  }
  base_ = offset;
  zeroPadding();
}

bool FileBytes::readUpTo(int64_t end) {
  if (length_ >= 0) end = std::min(end, length_);
  if (end <= base_) return true;
  const auto need = static_cast<size_t>(end - base_);
  if (need > capacity_) {
    // After the first read, a scan that needs more reads on through the file:
    // room for all of it (up to the resident size) at once, not a chain of
    // ever larger copies.
    const auto rest = static_cast<size_t>(std::max<int64_t>(length_ - base_, 0));
    const auto resident = static_cast<size_t>(viewResident());
    const size_t grown = capacity_ == 0 ? need : std::max(need, std::min(rest, resident));
    if (!reserve(grown)) return false;
  }
  while (held_ < need && !ended_) {
    const auto ask = static_cast<uint32_t>(std::min(need - held_, kLargestRead));
    ++reads_;
    const int32_t got = platform::readBytes(file_, buffer_.get() + held_, ask);
    if (got <= 0) {
      ended_ = true;
      break;
    }
    held_ += static_cast<size_t>(got);
    filePosition_ += got;
    if (base_ + static_cast<int64_t>(held_) >= length_) ended_ = true;
  }
  zeroPadding();
  return true;
}

bool FileBytes::loadAll() {
  finishBackgroundRead();
  // Even no bytes at all come with their padding: text() is never null.
  if (length_ <= 0) return reserve(0);
  if (base_ != 0) restartAt(0);
  if (static_cast<uint64_t>(length_) > std::numeric_limits<size_t>::max() / 2 ||
      !reserve(static_cast<size_t>(length_))) {
    return false;
  }
  if (!loadInPieces()) readUpTo(length_);
  ended_ = true;
  return true;
}

bool FileBytes::loadInPieces() {
  const size_t pieces = platform::WorkerPool::threadsHere();
  if (pieces < 2 || length_ < kPiecewiseLength || held_ != 0) return false;
  const auto length = static_cast<size_t>(length_);
  try {
    std::unique_ptr<bool[]> whole(new bool[pieces]());
    platform::WorkerPool::forEachHere(pieces, [&](size_t k) {
      size_t at = length / pieces * k;
      const size_t end = k + 1 == pieces ? length : length / pieces * (k + 1);
      while (at < end) {
        const auto ask = static_cast<uint32_t>(std::min(end - at, kLargestRead));
        const int32_t got =
            platform::readBytesAt(file_, buffer_.get() + at, ask, static_cast<int64_t>(at));
        if (got <= 0) return;
        at += static_cast<size_t>(got);
      }
      whole[k] = true;
    });
    reads_ += static_cast<int64_t>(pieces);
    // The file position is anywhere now: a later read seeks first.
    filePosition_ = -1;
    if (std::all_of(whole.get(), whole.get() + pieces, [](bool done) { return done; })) {
      held_ = length;
      zeroPadding();
      return true;
    }
  } catch (const std::bad_alloc&) {
    // No room to share the work out: read it in one piece.
  }
  // A piece came up short (the file shrank, or a read failed): read it again
  // in order, so that what is held ends where the file's bytes end.
  filePosition_ = 0;
  ended_ = platform::seekTo(file_, 0) != 0;
  return false;
}

int32_t FileBytes::view(int64_t offset, int32_t size, const char** bytes) {
  *bytes = nullptr;
  if (offset < 0 || size <= 0) return 0;
  const int64_t end = offset + size;
  if (background_) awaitBackgroundRead(end);
  if (offset < base_ || offset > base_ + static_cast<int64_t>(held_)) restartAt(offset);
  if (base_ + static_cast<int64_t>(held_) < end && !ended_) {
    const int64_t resident = viewResident();
    // Only what the file holds counts against the resident size.
    const int64_t heldUpTo = length_ >= 0 ? std::min(end, length_) : end;
    if (heldUpTo - base_ > resident) restartAt(offset);
    if (readsRestInBackground()) startBackgroundRead();
    if (background_) {
      awaitBackgroundRead(end);
    } else {
      // Read ahead as much again as is held, so that reads grow with the scan.
      const int64_t ahead =
          base_ + std::max<int64_t>(static_cast<int64_t>(held_) * 2, int64_t{kFirstRead});
      readUpTo(std::max(end, std::min(ahead, base_ + resident)));
    }
  }
  const int64_t heldEnd = base_ + static_cast<int64_t>(held_);
  if (offset >= heldEnd) return 0;
  *bytes = buffer_.get() + (offset - base_);
  return static_cast<int32_t>(std::min<int64_t>(size, heldEnd - offset));
}

bool FileBytes::readsRestInBackground() const {
  const int64_t rest = length_ - base_ - static_cast<int64_t>(held_);
  return base_ == 0 && held_ > 0 && length_ <= wholeUpTo_ && rest >= kPiecewiseLength && isOpen() &&
         !ended_ && platform::WorkerPool::threadsWanted() > 1;
}

void FileBytes::startBackgroundRead() {
  if (!reserve(static_cast<size_t>(length_))) return;
  const int64_t from = base_ + static_cast<int64_t>(held_);
  background_ = BackgroundRead::start(file_, buffer_.get() + held_, from,
                                      static_cast<size_t>(length_ - from));
  backgroundFrom_ = held_;
  if (background_) ++reads_;
}

void FileBytes::awaitBackgroundRead(int64_t end) {
  const int64_t want = std::min(end, length_) - base_ - static_cast<int64_t>(backgroundFrom_);
  if (want <= static_cast<int64_t>(held_ - backgroundFrom_)) return;
  const size_t arrived = background_->awaitBytes(static_cast<size_t>(want));
  held_ = backgroundFrom_ + arrived;
  // Once it came up short or has brought the last byte, the read is over.
  if (arrived < static_cast<size_t>(want) || base_ + static_cast<int64_t>(held_) >= length_) {
    finishBackgroundRead();
  }
}

void FileBytes::finishBackgroundRead() {
  if (!background_) return;
  held_ = backgroundFrom_ + background_->finish();
  background_.reset();
  // The read went on to where the file was measured to end, or as far as it could.
  ended_ = true;
  filePosition_ = -1;
  zeroPadding();
}

}  // namespace jcamp
