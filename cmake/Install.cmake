# cmake --install: the library, its public header, jcamp-import, a CMake
# package (find_package(jcampimport CONFIG) -> jcampimport::jcampimport) and a
# pkg-config file. Three components, so that the Windows ZIP can leave the
# development files out:
#   runtime      the library, jcamp-import, README and LICENSE
#   header       the public header
#   development  the link-time library name, the CMake package, pkg-config
include(CMakePackageConfigHelpers)

set(JCAMP_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/jcampimport)

install(TARGETS jcampimport EXPORT jcampimportTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development)
install(FILES ${PROJECT_SOURCE_DIR}/include/jcampimport.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT header)

# The program loads the library at run time from its own folder or from the
# library folder; the RPATH names that folder for anything it links.
set_target_properties(jcamp-import PROPERTIES INSTALL_RPATH "$ORIGIN/${JCAMP_LIBDIR_FROM_BINDIR}")
install(TARGETS jcamp-import RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)

# Windows users find the documents at the top of the unpacked ZIP.
if(WIN32)
  set(doc_dir .)
else()
  set(doc_dir ${CMAKE_INSTALL_DOCDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${doc_dir} COMPONENT runtime)

install(EXPORT jcampimportTargets NAMESPACE jcampimport:: DESTINATION ${JCAMP_PACKAGE_DIR}
  COMPONENT development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/jcampimportConfig.cmake.in
  ${PROJECT_BINARY_DIR}/jcampimportConfig.cmake INSTALL_DESTINATION ${JCAMP_PACKAGE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/jcampimportConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/jcampimportConfig.cmake
              ${PROJECT_BINARY_DIR}/jcampimportConfigVersion.cmake
  DESTINATION ${JCAMP_PACKAGE_DIR} COMPONENT development)

# The pkg-config file finds the prefix from its own place, so an installed
# tree can be moved.
file(RELATIVE_PATH JCAMP_PREFIX_FROM_PKGCONFIG ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig
     ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" JCAMP_PREFIX_FROM_PKGCONFIG "${JCAMP_PREFIX_FROM_PKGCONFIG}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/jcampimport.pc.in ${PROJECT_BINARY_DIR}/jcampimport.pc
  @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/jcampimport.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT development)
