# hk_add_test(NAME SOURCES ... LIBS ...): a GoogleTest program, one ctest entry per test.
# Under the win64 preset ctest runs it through the crosscompiling emulator (Wine); see scripts/test-win64.sh.
if(HK_TESTS)
  enable_testing()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)
  include(GoogleTest)
endif()

function(hk_add_test name)
  # LOCK: tests of programs that must not run beside each other (one instance per desktop) name one lock.
  # DESKTOP: regular expressions for the tests that use the real mouse, keyboard, focus or foreground
  # window. They take the "desktop" lock too, so no two of them, of any program, run at the same time, and
  # run alone: any other test that shows a window would take the activation, and so the focus, from them.
  cmake_parse_arguments(T "" "LOCK" "SOURCES;LIBS;DESKTOP" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} test_support gtest gtest_main)
  target_compile_definitions(${name} PRIVATE HK_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  set(properties ENVIRONMENT "HK_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
  if(T_LOCK)
    list(APPEND properties RESOURCE_LOCK ${T_LOCK})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
  if(T_DESKTOP AND WIN32)
    # Read by ctest after the discovered tests (whose names are in ${name}_TESTS then): a property list
    # cannot pass through the discovery's PROPERTIES, so the desktop tests get their locks here.
    set(script "${CMAKE_CURRENT_BINARY_DIR}/${name}_desktop.cmake")
    set(locks ${T_LOCK} desktop)
    string(JOIN "|" desktop ${T_DESKTOP})
    file(WRITE "${script}"
         "foreach(t IN LISTS ${name}_TESTS)\n"
         "  if(t MATCHES \"^(${desktop})$\")\n"
         "    set_tests_properties(\"\${t}\" PROPERTIES RESOURCE_LOCK \"${locks}\" RUN_SERIAL ON)\n"
         "  endif()\n"
         "endforeach()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
  endif()
endfunction()
