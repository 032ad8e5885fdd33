# Each piece of the pixel stage (a render header ending in -inl.h, compiled
# into several namespaces) must compile on its own, with nothing defined
# before it: a reader or an editor opens one, and it must include what it
# uses. One test per piece runs the compiler over it alone.
file(GLOB_RECURSE ZONARA_PIECE_HEADERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/render/*-inl.h)
foreach(piece ${ZONARA_PIECE_HEADERS})
  get_filename_component(piece_name ${piece} NAME)
  add_test(NAME PieceHeaders.CompileAlone/${piece_name}
    COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only ${ZONARA_WARNING_FLAGS} -Werror -Wno-psabi
      -I${CMAKE_SOURCE_DIR}/sdk -I${CMAKE_SOURCE_DIR}/src -x c++ ${piece})
  set_tests_properties(PieceHeaders.CompileAlone/${piece_name} PROPERTIES LABELS render)
endforeach()
