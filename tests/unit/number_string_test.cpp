#include "labels/number_string.h"

#include <gtest/gtest.h>

namespace jcamp {
namespace {

constexpr int kInvalid = 7;  // the flag's value before the check: left alone when invalid

TEST(NumberStringTest, ValidNumbersGiveTheirKindInvalidOnesLeaveTheFlag) {
  const std::pair<const char*, int> cases[] = {
      {"4000", 0},         {"-12", 0},         {"+7", 0},           {"-", 0},
      {"1.5", 1},          {".5", 1},          {"5.", 1},           {".", 1},
      {"  12.5  ", 1},     {"1e-5", 1},        {"1.5E+03", 1},      {"1.5E-", 1},
      {"-.5e+1", 1},       {"+E-5", 1},        {" -0.0 ", 1},       {"", kInvalid},
      {"   ", kInvalid},   {"1e5", kInvalid},  {"1.2.3", kInvalid}, {"1,5", kInvalid},
      {"e-5", kInvalid},   {"1.5E", kInvalid}, {"1e-5e", kInvalid}, {"1e-+5", kInvalid},
      {"1 2", kInvalid},   {"1-2", kInvalid},  {"..5", kInvalid},   {"1.5.e-3", kInvalid},
      {"1e-5.", kInvalid}, {"\t1", kInvalid},  {"1\t", kInvalid},   {"A23", kInvalid},
      {nullptr, kInvalid},
  };
  for (const auto& [text, kind] : cases) {
    SCOPED_TRACE(text ? text : "(null)");
    int isReal = kInvalid;
    EXPECT_EQ(checkNumberString(text, &isReal), kind == kInvalid ? 1 : 0);
    EXPECT_EQ(isReal, kind);
  }
}

}  // namespace
}  // namespace jcamp
