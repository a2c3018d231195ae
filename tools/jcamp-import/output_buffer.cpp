#include "output_buffer.h"

#include <cstring>

void OutputBuffer::append(std::string_view text) {
  if (out_ != nullptr && text.size() >= kCapacity / 2) {
    // A large piece goes to the file as it is, after what is waiting.
    flush();
    if (ok_) ok_ = std::fwrite(text.data(), 1, text.size(), out_) == text.size();
    return;
  }
  while (!text.empty()) {
    const size_t size = text.size() < kCapacity ? text.size() : kCapacity;
    std::memcpy(reserve(size), text.data(), size);
    used_ += size;
    text.remove_prefix(size);
  }
}

void OutputBuffer::makeRoom(size_t size) {
  if (out_ != nullptr) {
    flush();
    return;
  }
  size_t grown = capacity_ * 2;
  while (grown - used_ < size) grown *= 2;
  std::unique_ptr<char[]> larger(new char[grown]);
  std::memcpy(larger.get(), data_.get(), used_);
  data_ = std::move(larger);
  capacity_ = grown;
}

bool OutputBuffer::flush() {
  if (out_ == nullptr) return ok_;
  if (used_ > 0 && ok_) ok_ = std::fwrite(data_.get(), 1, used_, out_) == used_;
  used_ = 0;
  if (ok_) ok_ = std::fflush(out_) == 0;
  return ok_;
}
