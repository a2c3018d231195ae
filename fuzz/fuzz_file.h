// A file on disk holding a fuzzer's input: the header scan and the exports
// read files by name. One path per process, rewritten for every input.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

class FuzzFile {
 public:
  explicit FuzzFile(const char* tag) {
    const char* dir = std::getenv("TMPDIR");
    path_ = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/jcamp-fuzz-" + tag +
            "-" + std::to_string(::getpid()) + ".jdx";
  }
  ~FuzzFile() { std::remove(path_.c_str()); }
  FuzzFile(const FuzzFile&) = delete;
  FuzzFile& operator=(const FuzzFile&) = delete;

  // Replaces the file's bytes; returns its path.
  const char* write(const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    return path_.c_str();
  }

 private:
  std::string path_;
};
