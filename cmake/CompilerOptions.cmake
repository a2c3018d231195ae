# Warnings are errors everywhere; sanitizers on request.
add_compile_options(-Wall -Wextra -Werror)

if(JCAMP_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "JCAMP_BUILD_FUZZ needs clang and its libFuzzer (CXX=clang++)")
  endif()
  # Coverage for libFuzzer and the sanitizers in every target; the fuzzer links -fsanitize=fuzzer.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(JCAMP_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(JCAMP_SANITIZE_THREAD)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Float and double arithmetic rounds at every step in every build, as on
# x86_64: 32-bit x86 computes in SSE2 rather than in the x87's wider registers,
# whose precision also depends on what the host process set. Every x86
# processor a supported Windows runs on has SSE2.
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_SYSTEM_PROCESSOR MATCHES "^([iI][3-6]86|[xX]86)$")
  set(jcamp_sse_math -msse2 -mfpmath=sse)
  add_compile_options(${jcamp_sse_math})
endif()
include(CheckCXXSourceCompiles)
list(JOIN jcamp_sse_math " " CMAKE_REQUIRED_FLAGS)
check_cxx_source_compiles([[
#include <cfloat>
#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error "float arithmetic keeps excess precision"
#endif
int main() { return 0; }
]] JCAMP_FLOAT_ROUNDS_EACH_STEP)
unset(CMAKE_REQUIRED_FLAGS)
if(NOT JCAMP_FLOAT_ROUNDS_EACH_STEP)
  message(FATAL_ERROR "This compiler keeps float arithmetic in wider registers "
                      "(FLT_EVAL_METHOD is not 0), so its build would compute other bits "
                      "than the others. On 32-bit x86 use -msse2 -mfpmath=sse.")
endif()

if(JCAMP_PORTABLE_LINE_SCAN)
  add_compile_definitions(JCAMP_PORTABLE_LINE_SCAN)
endif()

if(WIN32)
  # Only Windows system DLLs in the import tables: the C and C++ runtimes go in statically.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

# Platform layers are picked by file suffix: *_win32.cpp on Windows, *_posix.cpp elsewhere.
function(jcamp_filter_platform_sources out_var)
  set(kept)
  foreach(source IN LISTS ARGN)
    if(WIN32 AND source MATCHES "_posix\\.cpp$")
      continue()
    endif()
    if(NOT WIN32 AND source MATCHES "_win32\\.cpp$")
      continue()
    endif()
    list(APPEND kept ${source})
  endforeach()
  set(${out_var} ${kept} PARENT_SCOPE)
endfunction()
