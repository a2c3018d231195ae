// Switches LC_NUMERIC to a decimal-comma locale for one test, when one is installed.
#pragma once

#include <clocale>
#include <string>

namespace testsupport {

class CommaLocale {
 public:
  CommaLocale() {
    previous_ = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* name :
         {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252", "German", "fr_FR.UTF-8"}) {
      if (std::setlocale(LC_NUMERIC, name) != nullptr) {
        active_ = true;
        break;
      }
    }
  }
  ~CommaLocale() { std::setlocale(LC_NUMERIC, previous_.c_str()); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;
  bool active() const { return active_; }

 private:
  std::string previous_;
  bool active_ = false;
};

}  // namespace testsupport
