// A one-line progress report on standard error, shown only when standard error
// is a terminal and the run has already taken more than a second. A ticker
// thread draws it, so a single long call (the import itself) is covered too.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

class Progress {
 public:
  Progress();
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // Sets what is being done: "what done/total", or just "what" when total is 0.
  void update(const char* what, int64_t done = 0, int64_t total = 0);
  // Erases the line; call before writing anything else to standard error.
  void clear();

 private:
  void run();
  void eraseLocked();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::thread ticker_;
  std::string text_;
  size_t shownLength_ = 0;
  bool stopping_ = false;
  bool dirty_ = false;
};
