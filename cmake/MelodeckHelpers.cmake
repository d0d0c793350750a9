# melodeck_add_test(NAME SOURCES src... LIBS lib...)
# One GoogleTest executable, registered with CTest under its own name. Tests find the
# shared corpus and the project's data through environment variables, so they run from
# any working directory.
function(melodeck_add_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set(env
    "MELODECK_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
    "MELODECK_CORPUS_DIR=${PROJECT_SOURCE_DIR}/../shared/corpus"
    "MELODECK_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data"
    "QT_QPA_PLATFORM=offscreen"
    "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 600)
endfunction()
