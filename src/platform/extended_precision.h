// Long double arithmetic that gives the same bits in every process and
// thread. On x86 it runs on the x87, which rounds to the precision its control
// word sets: 64 bits on Linux and in MinGW programs, 53 bits in hosts built
// with Microsoft's compiler and in the threads Windows starts.
#pragma once

#include <cstdint>

namespace jcamp {

// For its lifetime the x87 rounds to 64 bits, to nearest, every exception
// masked; then the thread's own setting comes back. Values pinned inside the
// scope are computed there: pin an input once set, and a result before use.
class ExtendedPrecision {
 public:
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
  ExtendedPrecision() {
    __asm__ volatile("fnstcw %0" : "=m"(saved_));
    if (saved_ != kExtended) __asm__ volatile("fldcw %0" : : "m"(kExtended));
  }
  ~ExtendedPrecision() {
    if (saved_ != kExtended) __asm__ volatile("fldcw %0" : : "m"(saved_));
  }
#else
  ExtendedPrecision() = default;
#endif
  ExtendedPrecision(const ExtendedPrecision&) = delete;
  ExtendedPrecision& operator=(const ExtendedPrecision&) = delete;

  // The compiler moves no arithmetic on value across this point.
  template <typename T>
  static void pin(T& value) {
#if defined(__GNUC__)
    __asm__ volatile("" : "+m"(value));
#else
    static_cast<void>(value);
#endif
  }

 private:
#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
  static constexpr uint16_t kExtended = 0x37F;
  uint16_t saved_ = 0;
#endif
};

}  // namespace jcamp
