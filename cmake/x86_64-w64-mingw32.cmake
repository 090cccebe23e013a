# 64-bit Windows: the same sources built for Wine's 64-bit loader, for hosts
# that cannot run 32-bit x86 code.
set(MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
