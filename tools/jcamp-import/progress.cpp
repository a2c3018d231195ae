#include "progress.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

constexpr std::chrono::milliseconds kQuietPeriod{1000};
constexpr std::chrono::milliseconds kRefreshPeriod{200};

}  // namespace

Progress::Progress() {
  if (isatty(fileno(stderr)) != 0) ticker_ = std::thread(&Progress::run, this);
}

Progress::~Progress() {
  if (!ticker_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  ticker_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  eraseLocked();
}

void Progress::update(const char* what, int64_t done, int64_t total) {
  if (!ticker_.joinable()) return;
  std::string text = what;
  if (total > 0) text += " " + std::to_string(done) + "/" + std::to_string(total);
  std::lock_guard<std::mutex> lock(mutex_);
  text_.swap(text);
  dirty_ = true;
}

void Progress::clear() {
  if (!ticker_.joinable()) return;
  std::lock_guard<std::mutex> lock(mutex_);
  eraseLocked();
  dirty_ = true;
}

void Progress::eraseLocked() {
  if (shownLength_ == 0) return;
  std::fprintf(stderr, "\r%*s\r", static_cast<int>(shownLength_), "");
  std::fflush(stderr);
  shownLength_ = 0;
}

void Progress::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (wake_.wait_for(lock, kQuietPeriod, [this] { return stopping_; })) return;
  while (!stopping_) {
    if (dirty_ && !text_.empty()) {
      const size_t padding = shownLength_ > text_.size() ? shownLength_ - text_.size() : 0;
      std::fprintf(stderr, "\r%s%*s", text_.c_str(), static_cast<int>(padding), "");
      std::fflush(stderr);
      shownLength_ = text_.size();
      dirty_ = false;
    }
    wake_.wait_for(lock, kRefreshPeriod, [this] { return stopping_; });
  }
}
