# Cross-compiles for Windows with Debian's mingw-w64 toolchains. The file
# that includes this one names the target: MINGW_PREFIX (the compilers'
# prefix) and CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)

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
