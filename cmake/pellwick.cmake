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

# The product's folders bottom up; each layer may include from those before it.
set(PELLWICK_LAYERS resources include framework page control server)

# pellwick_layer_includes(TARGET): TARGET, a library of the product folder this
# is called from, finds root-relative includes ("framework/text.h") only in its
# own folder and those below it, so a reach upwards fails to compile. A folder
# in the build tree holding links to just those folders stands in for the
# repository root. Consumers above see it too, which gives them nothing more
# than what the layer may use; tests, tools and bench add the root themselves.
function(pellwick_layer_includes target)
  get_filename_component(layer ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  list(FIND PELLWICK_LAYERS ${layer} top)
  if(top LESS 0)
    message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR} is no product layer")
  endif()
  set(view ${CMAKE_BINARY_DIR}/layer_includes/${layer})
  file(MAKE_DIRECTORY ${view})
  foreach(index RANGE ${top})
    list(GET PELLWICK_LAYERS ${index} folder)
    file(CREATE_LINK ${PELLWICK_ROOT}/${folder} ${view}/${folder} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${view})
endfunction()
