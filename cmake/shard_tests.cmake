# zonara_add_sharded_tests(TARGET LABEL SHARDS OWN_PROCESS_REGEX OWN_LABEL)
#
# Registers TARGET's GoogleTests with CTest as SHARDS tests, each running
# every SHARDS-th test of the program in one process (GoogleTest's own
# sharding; see write_shard_tests.cmake). The list is written when TARGET is
# linked, as gtest_discover_tests does; until then CTest shows
# TARGET_NOT_BUILT, which fails.
function(zonara_add_sharded_tests target label shards own_process own_label)
  set(tests_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_shards.cmake")
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_shards_include.cmake")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -D "EXE=$<TARGET_FILE:${target}>" -D "OUT=${tests_file}" -D "LABEL=${label}"
            -D "SHARDS=${shards}" -D "WORKING_DIR=${CMAKE_CURRENT_BINARY_DIR}" -D "OWN_PROCESS=${own_process}"
            -D "OWN_LABEL=${own_label}"
            -P ${CMAKE_SOURCE_DIR}/cmake/write_shard_tests.cmake
    BYPRODUCTS ${tests_file}
    VERBATIM)
  # A change to the script links the program again, which rewrites the list.
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/write_shard_tests.cmake)
  file(WRITE ${include_file}
    "if(EXISTS [==[${tests_file}]==])\n"
    "  include([==[${tests_file}]==])\n"
    "else()\n"
    "  add_test(${target}_NOT_BUILT ${target}_NOT_BUILT)\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${include_file})
endfunction()
