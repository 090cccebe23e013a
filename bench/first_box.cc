// The stopwatch behind bench/startup.py: prints the microseconds from
// starting a program to its first message box being visible, and presses OK
// on every box.
//
// Usage: first_box.exe PROGRAM
// Exit status: 0 when the program ran to its end, 2 otherwise.
#include <windows.h>

#include <cstdio>

#include "drive.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: first_box.exe PROGRAM\n");
    return 2;
  }
  LARGE_INTEGER frequency, started, now;
  QueryPerformanceFrequency(&frequency);
  bool first = true;
  DWORD status = 0;
  QueryPerformanceCounter(&started);
  const drive::Ended ended = drive::run(
      argv[1], drive::DEFAULT_TIME_LIMIT_MS,
      [&](HWND) {
        if (!first) return;
        first = false;
        QueryPerformanceCounter(&now);
        std::printf("%lld\n", (now.QuadPart - started.QuadPart) * 1000000 /
                                  frequency.QuadPart);
      },
      &status);
  return ended == drive::Ended::by_itself && !first ? 0 : 2;
}
