# Run after a test program is linked (cmake -P): lists its GoogleTests and
# writes a CTest file with one test per suite, each running that suite in
# one process. Tests whose full name matches OWN_PROCESS (a regex, may be
# empty) get a process, and a CTest name, of their own.
#
#   -D EXE=program -D OUT=file -D LABEL=label -D WORKING_DIR=dir
#   -D OWN_PROCESS=regex
execute_process(COMMAND "${EXE}" --gtest_list_tests
                OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${EXE} --gtest_list_tests failed (${status}):\n${errors}")
endif()

string(REPLACE "\n" ";" lines "${listing}")
set(suites "")
set(own "")
set(suite "")
foreach(line IN LISTS lines)
  # "Suite." or "Prefix/Suite.  # TypeParam = ...", then "  Test" or
  # "  Test/0  # GetParam() = ...", one per line.
  string(REGEX REPLACE "  #.*$" "" line "${line}")
  if(line MATCHES "^([^ ].*)\\.$")
    set(suite "${CMAKE_MATCH_1}")
    list(APPEND suites "${suite}")
    set(excluded_${suite} "")
    set(count_${suite} 0)
  elseif(line MATCHES "^  ([^ ]+)$" AND NOT suite STREQUAL "")
    set(full "${suite}.${CMAKE_MATCH_1}")
    math(EXPR count_${suite} "${count_${suite}} + 1")
    if(NOT OWN_PROCESS STREQUAL "" AND full MATCHES "${OWN_PROCESS}")
      list(APPEND own "${full}")
      string(APPEND excluded_${suite} ":${full}")
    endif()
  endif()
endforeach()

set(content "")
# COST: until CTest has timed them, it starts the suites before the single
# tests, the larger first, so that short tests fill the run's end.
macro(add_one name filter cost)
  string(APPEND content
    "add_test([=[${name}]=] [==[${EXE}]==] [==[--gtest_filter=${filter}]==])\n"
    "set_tests_properties([=[${name}]=] PROPERTIES WORKING_DIRECTORY [==[${WORKING_DIR}]==] "
    "TIMEOUT 600 LABELS ${LABEL} COST ${cost})\n")
endmacro()
foreach(suite IN LISTS suites)
  set(filter "${suite}.*")
  if(NOT excluded_${suite} STREQUAL "")
    string(SUBSTRING "${excluded_${suite}}" 1 -1 excluded)
    set(filter "${filter}-${excluded}")
  endif()
  add_one("${suite}" "${filter}" "${count_${suite}}")
endforeach()
foreach(full IN LISTS own)
  add_one("${full}" "${full}" 1)
endforeach()
file(WRITE "${OUT}" "${content}")
