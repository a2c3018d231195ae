// An even grid's abscissas are formed in long double, which on x86 rounds to
// the precision of the thread's x87 control word: hosts built with
// Microsoft's compiler set 53 bits, Linux and MinGW programs 64.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "document/x_grid.h"

namespace jcamp {
namespace {

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
constexpr uint16_t kX87Extended = 0x37F;
constexpr uint16_t kX87Double = 0x27F;

uint16_t x87ControlWord() {
  uint16_t word = 0;
  __asm__ volatile("fnstcw %0" : "=m"(word));
  return word;
}
void setX87ControlWord(uint16_t word) {
  __asm__ volatile("fldcw %0" : : "m"(word));
}

std::vector<double> abscissasUnder(uint16_t controlWord, const XGrid& grid) {
  const uint16_t saved = x87ControlWord();
  setX87ControlWord(controlWord);
  std::vector<double> xs;
  for (uint32_t i = 0; i < grid.size(); ++i) xs.push_back(grid.at(i));
  setX87ControlWord(saved);
  return xs;
}

// The grid of a public IR file, whose X names once came out otherwise at 53 bits.
TEST(XGridTest, AbscissasAlikeUnderEachX87Precision) {
  JcampBlock block;
  block.firstX = 601.35095215;
  block.lastX = 3893.25878906;
  block.nPoints = 4873;
  const XGrid grid = XGrid::of(block);
  const std::vector<double> extended = abscissasUnder(kX87Extended, grid);
  const std::vector<double> rounded = abscissasUnder(kX87Double, grid);
  for (uint32_t i = 0; i < grid.size(); ++i) {
    ASSERT_EQ(rounded[i], extended[i]) << "abscissa " << i;
  }
}
#endif

}  // namespace
}  // namespace jcamp
