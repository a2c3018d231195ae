// Output through one large buffer, handed to the file only when it is full:
// no stream call per field.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

class OutputBuffer {
 public:
  static constexpr size_t kCapacity = size_t{1} << 20;

  explicit OutputBuffer(std::FILE* out) : out_(out), data_(new char[kCapacity]) {}
  ~OutputBuffer() { flush(); }
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  // Room for at least `size` (at most kCapacity) bytes at the end: write
  // there, then advance() by what was written.
  char* reserve(size_t size) {
    if (kCapacity - used_ < size) flush();
    return data_.get() + used_;
  }
  void advance(size_t size) { used_ += size; }

  void put(char c) { *reserve(1) = c, ++used_; }
  void append(std::string_view text);

  // Hands everything to the file; false once a write has failed.
  bool flush();
  bool ok() const { return ok_; }

 private:
  std::FILE* out_;
  std::unique_ptr<char[]> data_;
  size_t used_ = 0;
  bool ok_ = true;
};
