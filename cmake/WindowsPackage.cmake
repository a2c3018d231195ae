# cpack -G ZIP: the Windows product for people and hosts, unpacked anywhere:
#   jcampimport-<version>-win32/bin/jcampimport.dll, bin/jcamp-import.exe,
#   include/jcampimport.h, README.md, LICENSE
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME jcampimport)
set(CPACK_PACKAGE_VENDOR "jcampimport contributors")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
# The DLL and the program with their header; no files for linking at build time.
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL runtime header)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Debug information stays in the build folder.
set(CPACK_STRIP_FILES ON)
include(CPack)
