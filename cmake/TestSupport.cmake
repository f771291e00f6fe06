# GoogleTest for native and cross builds, and trv4_add_test().
#
# Natively the system's GoogleTest is used. Debian ships no mingw build of it,
# so cross builds compile the sources of the googletest package.

if(CMAKE_CROSSCOMPILING)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_library(TRV4GTest INTERFACE)
  target_link_libraries(TRV4GTest INTERFACE gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  add_library(TRV4GTest INTERFACE)
  target_link_libraries(TRV4GTest INTERFACE GTest::gtest GTest::gtest_main)
endif()

# Under wine every test needs the private prefix; one fixture boots it and
# one stops the wine server started for it (only ours, never another one).
if(CMAKE_CROSSCOMPILING AND NOT TARGET_WINE_FIXTURE_DEFINED)
  set(TARGET_WINE_FIXTURE_DEFINED ON)
  add_test(NAME wine_prefix_boot
           COMMAND ${TRV4_WINE_RUN} --boot)
  add_test(NAME wine_prefix_stop
           COMMAND ${TRV4_WINE_RUN} --stop)
  set_tests_properties(wine_prefix_boot PROPERTIES FIXTURES_SETUP wine)
  set_tests_properties(wine_prefix_stop PROPERTIES FIXTURES_CLEANUP wine)
endif()

# trv4_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS l])
# One GoogleTest runner registered with ctest; under wine when cross-built.
function(trv4_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} TRV4GTest)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT 900)
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine)
  endif()
endfunction()
