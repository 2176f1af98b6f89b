# GoogleTest is compiled from Debian's sources (package googletest) in both flavours.
enable_testing()

set(TALLYVANE_GTEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
if(NOT EXISTS ${TALLYVANE_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in ${TALLYVANE_GTEST_SOURCE_DIR}: apt-get install googletest")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${TALLYVANE_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

# tv_add_test(name SOURCES ... [LIBS ...] [GUI] [TIMEOUT s])
# One CTest test per GoogleTest executable. In the win32 flavour CTest runs it
# through scripts/wine-run (the cross-compiling emulator). GUI tests own the
# display and the keyboard focus, so they never run beside one another.
function(tv_add_test name)
  cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(WIN32)
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=0)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  # scripts/wine-run exits with 125 where this flavour's Wine can't run at all.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} SKIP_RETURN_CODE 125)
  if(T_GUI)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE LABELS gui)
  endif()
endfunction()
