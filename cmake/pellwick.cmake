# pellwick_add_wine_test(NAME SOURCES... LIBS ...): one GoogleTest program run
# under Wine by CTest, with the build folder's own prefix.
function(pellwick_add_wine_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  target_compile_options(${name} PRIVATE ${PELLWICK_TEST_COMPILE_OPTIONS})
  target_precompile_headers(${name} REUSE_FROM pellwick_test_common)
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
  add_test(NAME ${name} COMMAND ${PELLWICK_ROOT}/scripts/run-gtest $<TARGET_FILE:${name}>
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "PELLWICK_BUILD=${CMAKE_BINARY_DIR}"
    TIMEOUT 300)
endfunction()
