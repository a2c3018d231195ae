#include "output_buffer.h"

#include <cstring>

void OutputBuffer::append(std::string_view text) {
  while (!text.empty()) {
    const size_t size = text.size() < kCapacity ? text.size() : kCapacity;
    std::memcpy(reserve(size), text.data(), size);
    used_ += size;
    text.remove_prefix(size);
  }
}

bool OutputBuffer::flush() {
  if (used_ > 0 && ok_) ok_ = std::fwrite(data_.get(), 1, used_, out_) == used_;
  used_ = 0;
  if (ok_) ok_ = std::fflush(out_) == 0;
  return ok_;
}
