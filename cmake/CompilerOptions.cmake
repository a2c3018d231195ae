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
