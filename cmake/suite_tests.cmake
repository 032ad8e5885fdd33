# zonara_add_suite_tests(TARGET LABEL OWN_PROCESS_REGEX OWN_LABEL)
#
# Registers TARGET's GoogleTests with CTest one suite to a test, each suite
# run in one process (see write_suite_tests.cmake). The list is written
# when TARGET is linked, as gtest_discover_tests does; until then CTest
# shows TARGET_NOT_BUILT, which fails.
function(zonara_add_suite_tests target label own_process own_label)
  set(tests_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.cmake")
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_suites_include.cmake")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -D "EXE=$<TARGET_FILE:${target}>" -D "OUT=${tests_file}" -D "LABEL=${label}"
            -D "WORKING_DIR=${CMAKE_CURRENT_BINARY_DIR}" -D "OWN_PROCESS=${own_process}"
            -D "OWN_LABEL=${own_label}"
            -P ${CMAKE_SOURCE_DIR}/cmake/write_suite_tests.cmake
    BYPRODUCTS ${tests_file}
    VERBATIM)
  # A change to the script links the program again, which rewrites the list.
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/write_suite_tests.cmake)
  file(WRITE ${include_file}
    "if(EXISTS [==[${tests_file}]==])\n"
    "  include([==[${tests_file}]==])\n"
    "else()\n"
    "  add_test(${target}_NOT_BUILT ${target}_NOT_BUILT)\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()
