# Decides whether boardprobe.exe's Wine tests run here. Wine's 32-bit
# loader starts only where the host runs 32-bit x86 code, which
# scripts/runs-i386 asks; an emulator that runs it counts as none.
# BOARDPROBE_WINE32 (ON or OFF, 1 or 0), as a CMake setting or else in the
# environment, forces either way.
#
# Sets WINE32 to ON or OFF and WINE32_WHY to the reason, and prints both.
# tests/CMakeLists.txt includes this file; scripts/check runs it alone
# (cmake -P) before anything is installed or configured, and reads the line.
if(DEFINED BOARDPROBE_WINE32)
  set(setting "${BOARDPROBE_WINE32}")
elseif(NOT "$ENV{BOARDPROBE_WINE32}" STREQUAL "")
  set(setting "$ENV{BOARDPROBE_WINE32}")
endif()

if(DEFINED setting)
  set(WINE32_WHY "forced by BOARDPROBE_WINE32=${setting}")
else()
  execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/runs-i386
                  RESULT_VARIABLE status OUTPUT_VARIABLE emulator
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(status EQUAL 0)
    set(setting ON)
    set(WINE32_WHY "this host runs 32-bit x86 code")
  elseif(status EQUAL 2)
    # Far too slow for the check, and faults do not reach Wine under it.
    set(setting OFF)
    set(WINE32_WHY "this host runs 32-bit x86 code only through ${emulator}")
  else()
    set(setting OFF)
    set(WINE32_WHY "this host runs no 32-bit x86 code")
  endif()
endif()

if(setting)
  set(WINE32 ON)
else()
  set(WINE32 OFF)
endif()

if(CMAKE_SCRIPT_MODE_FILE)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${WINE32} ${WINE32_WHY}")
else()
  message(STATUS "Wine's 32-bit loader: ${WINE32} (${WINE32_WHY})")
endif()
