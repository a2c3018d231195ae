# Windows 32-bit x86 (the product) with mingw-w64.
set(JCAMP_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
