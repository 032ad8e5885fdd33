# Run after a test program is linked (cmake -P): lists its GoogleTests and
# writes a CTest file with one test per suite, each running that suite in
# one process. Tests whose full name matches OWN_PROCESS (a regex, may be
# empty) get a process, a CTest name and the label OWN_LABEL of their own. A disabled test
# (DISABLED_ in its name or its suite's) is listed as a disabled CTest test,
# so that the run names it rather than passing over it.
#
#   -D EXE=program -D OUT=file -D LABEL=label -D WORKING_DIR=dir
#   -D OWN_PROCESS=regex -D OWN_LABEL=label
execute_process(COMMAND "${EXE}" --gtest_list_tests
                OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${EXE} --gtest_list_tests failed (${status}):\n${errors}")
endif()

string(REPLACE "\n" ";" lines "${listing}")
set(suites "")
set(own "")
set(disabled "")
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
    if(full MATCHES "(^|/)DISABLED_|[.]DISABLED_")
      list(APPEND disabled "${full}")
      continue()
    endif()
    if(NOT OWN_PROCESS STREQUAL "" AND full MATCHES "${OWN_PROCESS}")
      list(APPEND own "${full}")
      string(APPEND excluded_${suite} ":${full}")
    else()
      math(EXPR count_${suite} "${count_${suite}} + 1")
    endif()
  endif()
endforeach()

set(content "")
# COST: until CTest has timed them, it starts the suites before the single
# tests, the larger first, so that short tests fill the run's end.
macro(add_one name filter cost labels)
  string(APPEND content
    "add_test([=[${name}]=] [==[${EXE}]==] [==[--gtest_filter=${filter}]==])\n"
    "set_tests_properties([=[${name}]=] PROPERTIES WORKING_DIRECTORY [==[${WORKING_DIR}]==] "
    "TIMEOUT 600 LABELS \"${labels}\" COST ${cost})\n")
endmacro()
foreach(suite IN LISTS suites)
  if(count_${suite} EQUAL 0)
    continue()  # every test of it disabled or in a process of its own
  endif()
  set(filter "${suite}.*")
  if(NOT excluded_${suite} STREQUAL "")
    string(SUBSTRING "${excluded_${suite}}" 1 -1 excluded)
    set(filter "${filter}-${excluded}")
  endif()
  add_one("${suite}" "${filter}" "${count_${suite}}" "${LABEL}")
endforeach()
foreach(full IN LISTS own)
  add_one("${full}" "${full}" 1 "${LABEL};${OWN_LABEL}")
endforeach()
foreach(full IN LISTS disabled)
  add_one("${full}" "${full}" 0 "${LABEL}")
  string(APPEND content "set_tests_properties([=[${full}]=] PROPERTIES DISABLED TRUE)\n")
endforeach()
file(WRITE "${OUT}" "${content}")
