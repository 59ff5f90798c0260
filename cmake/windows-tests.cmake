# GoogleTest for the Windows test programs, compiled from the Debian sources (package
# googletest) with the cross compiler, since no MinGW build of it is packaged.
set(QDW_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${QDW_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources missing: install the Debian package googletest")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${QDW_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Its own sources are not held to our warning flags.
foreach(target gtest gtest_main gmock gmock_main)
  target_compile_options(${target} PRIVATE -w -Wno-error)
endforeach()
