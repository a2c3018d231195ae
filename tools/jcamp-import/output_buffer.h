// Output through one large buffer, handed to the file only when it is full:
// no stream call per field. Without a file the buffer grows and keeps the
// text, for a piece of output made apart from the rest.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string_view>

class OutputBuffer {
 public:
  static constexpr size_t kCapacity = size_t{1} << 20;

  explicit OutputBuffer(std::FILE* out)
      : out_(out), data_(new char[kCapacity]), capacity_(kCapacity) {}
  // Keeps everything written, for text().
  OutputBuffer() : data_(new char[kCapacity]), capacity_(kCapacity) {}
  ~OutputBuffer() { flush(); }
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  // Room for at least `size` (at most kCapacity) bytes at the end: write
  // there, then advance() by what was written.
  char* reserve(size_t size) {
    if (capacity_ - used_ < size) makeRoom(size);
    return data_.get() + used_;
  }
  void advance(size_t size) { used_ += size; }

  void put(char c) { *reserve(1) = c, ++used_; }
  void append(std::string_view text);

  // Hands everything to the file; false once a write has failed. Without a
  // file, nothing happens.
  bool flush();
  bool ok() const { return ok_; }

  // Without a file: what was written since the last clear().
  std::string_view text() const { return {data_.get(), used_}; }
  void clear() { used_ = 0; }

 private:
  // Flushes to the file, or grows the kept text by at least size bytes.
  void makeRoom(size_t size);

  std::FILE* out_ = nullptr;
  std::unique_ptr<char[]> data_;
  size_t capacity_ = 0;
  size_t used_ = 0;
  bool ok_ = true;
};
