# Cross-compiling the shipped 64-bit Windows module (and the Windows tool) with
# MinGW-w64, posix thread model, so std::thread works without extra code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZONARA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZONARA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZONARA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ZONARA_MINGW_PREFIX}-windres)

# Libraries and headers come from the MinGW tree only; programs (the build's
# own helpers) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ZONARA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# x86-64 does all float and double arithmetic in SSE2 registers on both
# targets; stating it keeps a Windows build bit-identical to the Linux one.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
