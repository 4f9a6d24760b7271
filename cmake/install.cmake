# Installation: the versioned shared libraries, public headers, shipped data, the tool, a CMake package
# (find_package(Tintvale CONFIG) -> Tintvale::tintvale and Tintvale::qc) and pkg-config files
# (tintvale, tintvale-qc).
include(CMakePackageConfigHelpers)

set(TINTVALE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tintvale)
set(TINTVALE_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/tintvale)

install(TARGETS tintvale tintvale_qc EXPORT TintvaleTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY include/tintvale DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h")
install(FILES ${TINTVALE_GENERATED_INCLUDE}/tintvale/version.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tintvale)
foreach(dir illuminants samples tolerances)
  if(EXISTS ${PROJECT_SOURCE_DIR}/data/${dir})
    install(DIRECTORY data/${dir} DESTINATION ${TINTVALE_DATA_INSTALL_DIR})
  endif()
endforeach()
if(TARGET tintvale_tool)
  install(TARGETS tintvale_tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(EXPORT TintvaleTargets NAMESPACE Tintvale:: DESTINATION ${TINTVALE_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TintvaleConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/TintvaleConfig.cmake INSTALL_DESTINATION ${TINTVALE_CMAKE_DIR}
  PATH_VARS TINTVALE_DATA_INSTALL_DIR)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/TintvaleConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/TintvaleConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/TintvaleConfigVersion.cmake
  DESTINATION ${TINTVALE_CMAKE_DIR})

file(RELATIVE_PATH PC_TO_PREFIX "/root/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/root")
configure_file(${CMAKE_CURRENT_LIST_DIR}/tintvale.pc.in ${CMAKE_CURRENT_BINARY_DIR}/tintvale.pc @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/tintvale-qc.pc.in ${CMAKE_CURRENT_BINARY_DIR}/tintvale-qc.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tintvale.pc ${CMAKE_CURRENT_BINARY_DIR}/tintvale-qc.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
