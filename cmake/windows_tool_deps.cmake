# CLI11 and nlohmann-json are header-only; the cross build uses the build
# machine's copies through a staging folder that holds only them, so that
# /usr/include itself never comes onto the MinGW include path.
set(ZONARA_STAGED_INCLUDE ${CMAKE_BINARY_DIR}/staged_include)
file(MAKE_DIRECTORY ${ZONARA_STAGED_INCLUDE})
foreach(header_dir CLI nlohmann)
  set(from /usr/include/${header_dir})
  if(NOT IS_DIRECTORY ${from})
    message(FATAL_ERROR "${from} is missing: install libcli11-dev and nlohmann-json3-dev")
  endif()
  file(CREATE_LINK ${from} ${ZONARA_STAGED_INCLUDE}/${header_dir} SYMBOLIC)
endforeach()

add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${ZONARA_STAGED_INCLUDE})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${ZONARA_STAGED_INCLUDE})
