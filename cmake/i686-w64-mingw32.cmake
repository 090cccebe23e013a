# Cross-compiles for 32-bit Windows with Debian's mingw-w64 i686 toolchain.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(MINGW_PREFIX i686-w64-mingw32)
# The posix thread model, because GoogleTest needs std::mutex for the tests
# that run under Wine. The tool and the stand-in use no threads, so nothing
# of winpthread is linked into them (the executable's imports are checked).
find_program(CMAKE_C_COMPILER NAMES ${MINGW_PREFIX}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${MINGW_PREFIX}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${MINGW_PREFIX}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Tests of the Windows build run under Wine where it is installed.
find_program(WINE_PROGRAM wine)
if(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_PROGRAM})
endif()
