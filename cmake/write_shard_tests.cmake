# Run after a test program is linked (cmake -P): lists its GoogleTests and
# writes a CTest file with SHARDS tests named LABEL_shard_K_of_SHARDS, each
# running every SHARDS-th test in one process (GoogleTest deals the tests out
# in turn, so a suite of many slow cases is spread over all shards). Tests
# whose full name matches OWN_PROCESS (a regex, may be empty) get a process,
# a CTest name and the label OWN_LABEL of their own. A disabled test
# (DISABLED_ in its name or its suite's) is listed as a disabled CTest test,
# so that the run names it rather than passing over it.
#
#   -D EXE=program -D OUT=file -D LABEL=label -D SHARDS=count -D WORKING_DIR=dir
#   -D OWN_PROCESS=regex -D OWN_LABEL=label
execute_process(COMMAND "${EXE}" --gtest_list_tests
                OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${EXE} --gtest_list_tests failed (${status}):\n${errors}")
endif()

string(REPLACE "\n" ";" lines "${listing}")
set(count 0)
set(own "")
set(disabled "")
set(suite "")
foreach(line IN LISTS lines)
  # "Suite." or "Prefix/Suite.  # TypeParam = ...", then "  Test" or
  # "  Test/0  # GetParam() = ...", one per line.
  string(REGEX REPLACE "  #.*$" "" line "${line}")
  if(line MATCHES "^([^ ].*)\\.$")
    set(suite "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^  ([^ ]+)$" AND NOT suite STREQUAL "")
    set(full "${suite}.${CMAKE_MATCH_1}")
    if(full MATCHES "(^|/)DISABLED_|[.]DISABLED_")
      list(APPEND disabled "${full}")
    elseif(NOT OWN_PROCESS STREQUAL "" AND full MATCHES "${OWN_PROCESS}")
      list(APPEND own "${full}")
    else()
      math(EXPR count "${count} + 1")
    endif()
  endif()
endforeach()

set(content "")
# COST: until CTest has timed them, it starts the shards before the single
# tests, so that short tests fill the run's end.
macro(add_one name filter cost labels)
  string(APPEND content
    "add_test([=[${name}]=] [==[${EXE}]==] [==[--gtest_filter=${filter}]==])\n"
    "set_tests_properties([=[${name}]=] PROPERTIES WORKING_DIRECTORY [==[${WORKING_DIR}]==] "
    "TIMEOUT 600 LABELS \"${labels}\" COST ${cost})\n")
endmacro()
if(count GREATER 0)
  set(filter "*")
  if(own)
    string(REPLACE ";" ":" excluded "${own}")
    set(filter "*-${excluded}")
  endif()
  math(EXPR cost "${count} / ${SHARDS} + 1")
  math(EXPR last "${SHARDS} - 1")
  foreach(index RANGE ${last})
    math(EXPR number "${index} + 1")
    set(name "${LABEL}_shard_${number}_of_${SHARDS}")
    add_one("${name}" "${filter}" "${cost}" "${LABEL}")
    string(APPEND content "set_tests_properties([=[${name}]=] PROPERTIES ENVIRONMENT "
      "\"GTEST_TOTAL_SHARDS=${SHARDS};GTEST_SHARD_INDEX=${index}\")\n")
  endforeach()
endif()
foreach(full IN LISTS own)
  add_one("${full}" "${full}" 1 "${LABEL};${OWN_LABEL}")
endforeach()
foreach(full IN LISTS disabled)
  add_one("${full}" "${full}" 0 "${LABEL}")
  string(APPEND content "set_tests_properties([=[${full}]=] PROPERTIES DISABLED TRUE)\n")
endforeach()
file(WRITE "${OUT}" "${content}")
