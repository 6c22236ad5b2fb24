# Run after a test program is built: lists its tests and writes CTEST_FILE,
# one ctest test per GoogleTest suite, named FOLDER/Suite, that runs the
# suite's tests in one process. Its timeout is TIMEOUT per test, and its
# cost (ctest starts the costliest first until it has timings of its own)
# COST_PER_TEST per test.
#   cmake -D EXECUTABLE=... -D FOLDER=... -D WORKING_DIRECTORY=... -D TIMEOUT=...
#         -D COST_PER_TEST=... -D LABELS=... -D CTEST_FILE=... -P suite_discovery.cmake
execute_process(COMMAND "${EXECUTABLE}" --gtest_list_tests WORKING_DIRECTORY "${WORKING_DIRECTORY}" TIMEOUT 60
                OUTPUT_VARIABLE listed ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${CTEST_FILE}")
  message(FATAL_ERROR "${EXECUTABLE} --gtest_list_tests failed (${result}):\n${errors}")
endif()

# "Suite." (with "  # TypeParam = ..." after a typed one) starts a suite,
# "  Test" (with "  # GetParam() = ..." after a parameterised one) is a test.
set(suites "")
string(REPLACE "\n" ";" lines "${listed}")
foreach(line IN LISTS lines)
  if(line MATCHES "^([A-Za-z_][A-Za-z0-9_/]*)\\.( .*)?$")
    set(suite "${CMAKE_MATCH_1}")
    list(APPEND suites "${suite}")
    set("count_${suite}" 0)
  elseif(line MATCHES "^  [A-Za-z_]" AND DEFINED suite)
    math(EXPR "count_${suite}" "${count_${suite}} + 1")
  endif()
endforeach()

set(script "")
foreach(suite IN LISTS suites)
  set(name "${FOLDER}/${suite}")
  set(count "${count_${suite}}")
  math(EXPR timeout "${TIMEOUT} * ${count}")
  math(EXPR cost "${COST_PER_TEST} * ${count}")
  string(APPEND script
         "add_test([==[${name}]==] [==[${EXECUTABLE}]==] [==[--gtest_filter=${suite}.*]==])\n"
         "set_tests_properties([==[${name}]==] PROPERTIES WORKING_DIRECTORY [==[${WORKING_DIRECTORY}]==]"
         " TIMEOUT ${timeout} COST ${cost} SKIP_RETURN_CODE 77 LABELS [==[${LABELS}]==])\n")
endforeach()
file(WRITE "${CTEST_FILE}" "${script}")
