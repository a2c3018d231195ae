#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "scan/variable_names.h"

namespace jcamp {
namespace {

// Switches LC_NUMERIC to a decimal-comma locale for one test, when one exists.
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
  bool active() const { return active_; }

 private:
  std::string previous_;
  bool active_ = false;
};

TEST(NumberTextTest, FixedMatchesPrintfInTheClassicLocale) {
  struct Case {
    double value;
    int precision;
    const char* text;
  };
  const Case cases[] = {
      {0.5, 6, "0.500000"},
      {12.5, 6, "12.500000"},
      {-0.0001, 6, "-0.000100"},
      {1234.5678, 3, "1234.568"},
      {-50.5, 4, "-50.5000"},
      {0.0, 6, "0.000000"},
      {3.4e38f, 6, "339999995214436424907732413799364296704.000000"},
  };
  CommaLocale comma;
  for (const Case& c : cases) EXPECT_EQ(formatFixed(c.value, c.precision), c.text);
  if (!comma.active()) GTEST_SKIP() << "no decimal-comma locale installed; checked in C only";
}

}  // namespace
}  // namespace jcamp
