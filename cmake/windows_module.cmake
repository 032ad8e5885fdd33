# The Windows module's one resource: the plug-in property list (type "PIPL",
# ID 16000, English (United States)), made at build time from the same bytes
# the native tests check, by a helper built with the build machine's compiler.
enable_language(RC)

set(ZONARA_HOST_CXX "c++" CACHE STRING "The build machine's C++ compiler, for build-time helpers")
set(ZONARA_PIPL_DIR ${CMAKE_BINARY_DIR}/property_list)

add_custom_command(
  OUTPUT ${ZONARA_PIPL_DIR}/write_property_list
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ZONARA_PIPL_DIR}
  COMMAND ${ZONARA_HOST_CXX} -std=c++20 -O1 -I${CMAKE_SOURCE_DIR}/src -I${CMAKE_SOURCE_DIR}/sdk
          ${CMAKE_SOURCE_DIR}/cmake/write_property_list.cpp ${CMAKE_SOURCE_DIR}/src/shell/property_list.cpp
          -o ${ZONARA_PIPL_DIR}/write_property_list
  DEPENDS ${CMAKE_SOURCE_DIR}/cmake/write_property_list.cpp
          ${CMAKE_SOURCE_DIR}/src/shell/property_list.cpp
          ${CMAKE_SOURCE_DIR}/src/shell/property_list.h
          ${CMAKE_SOURCE_DIR}/src/shell/effect_version.h
  COMMENT "Building the property-list writer for the build machine"
  VERBATIM)

add_custom_command(
  OUTPUT ${ZONARA_PIPL_DIR}/property_list.bin ${ZONARA_PIPL_DIR}/property_list.rc
  COMMAND ${ZONARA_PIPL_DIR}/write_property_list ${ZONARA_PIPL_DIR}/property_list.bin
          ${ZONARA_PIPL_DIR}/property_list.rc
  DEPENDS ${ZONARA_PIPL_DIR}/write_property_list
  COMMENT "Writing the module's property list resource"
  VERBATIM)

target_sources(Quorv_Zonara PRIVATE ${ZONARA_PIPL_DIR}/property_list.rc)
set_source_files_properties(${ZONARA_PIPL_DIR}/property_list.rc PROPERTIES
  OBJECT_DEPENDS ${ZONARA_PIPL_DIR}/property_list.bin)

# The shipped file carries no debug information (it would be most of its size).
target_link_options(Quorv_Zonara PRIVATE $<$<NOT:$<CONFIG:Debug>>:-s>)
