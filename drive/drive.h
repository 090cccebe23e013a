// Drives a Windows program the way a user would, on a real Win32 API: starts
// it, waits for each message box it shows, hands the box over, and presses
// OK. What the e2e tests, the pictures of the boxes and the start-up
// benchmark share.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace drive {

enum class Ended { by_itself, timed_out, not_started };

// Far longer than any box takes to appear, under Wine on a slow host.
constexpr DWORD DEFAULT_TIME_LIMIT_MS = 20000;

// Starts program in the default error mode (not the caller's), calls on_box
// for each message box it shows, then presses OK and waits for the box to
// go. Kills the program after time_limit_ms. exit_status is set when it
// ended by itself; not_started is also said on standard error, and a start
// on standard output ("started PROGRAM"), for whoever started the driver.
Ended run(const char* program, DWORD time_limit_ms,
          const std::function<void(HWND box)>& on_box, DWORD* exit_status);

// 32-bit pixels of a rectangle of the screen, or, given an icon, of that
// icon drawn on a plain colour in a rectangle of the same size.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<DWORD> data;
};
Pixels capture(const RECT& area, HICON icon = nullptr, DWORD background = 0);

}  // namespace drive
