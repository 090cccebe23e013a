#include "drive.h"

#include <cstdio>
#include <string>

namespace drive {

namespace {

HWND visible_box(DWORD process) {
  HWND box = nullptr;
  while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(box, &owner);
    if (owner == process && IsWindowVisible(box)) return box;
  }
  return nullptr;
}

}  // namespace

Ended run(const char* program, DWORD time_limit_ms,
          const std::function<void(HWND box)>& on_box, DWORD* exit_status) {
  std::string command = std::string("\"") + program + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // Any error mode other than the default that the program runs in is then
  // its own doing.
  if (!CreateProcessA(program, &command[0], nullptr, nullptr, FALSE,
                      CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "cannot start %s: error %lu\n", program,
                 GetLastError());
    return Ended::not_started;
  }
  std::printf("started %s\n", program);
  std::fflush(stdout);

  const DWORD start = GetTickCount();
  const auto in_time = [&] { return GetTickCount() - start <= time_limit_ms; };
  DWORD waited = WAIT_TIMEOUT;
  while ((waited = WaitForSingleObject(process.hProcess, 5)) == WAIT_TIMEOUT &&
         in_time()) {
    HWND box = visible_box(process.dwProcessId);
    if (box == nullptr) continue;
    on_box(box);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    while (IsWindow(box) && in_time()) Sleep(5);
  }

  Ended ended = Ended::by_itself;
  if (waited == WAIT_TIMEOUT) {
    TerminateProcess(process.hProcess, 3);
    WaitForSingleObject(process.hProcess, 5000);
    ended = Ended::timed_out;
  } else {
    GetExitCodeProcess(process.hProcess, exit_status);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended;
}

Pixels capture(const RECT& area, HICON icon, DWORD background) {
  Pixels pixels{area.right - area.left, area.bottom - area.top, {}};
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = pixels.width;
  info.bmiHeader.biHeight = -pixels.height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap =
      CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  auto* data = static_cast<DWORD*>(bits);
  const int count = pixels.width * pixels.height;
  if (icon == nullptr) {
    BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, area.left,
           area.top, SRCCOPY);
  } else {
    for (int i = 0; i < count; ++i) data[i] = background;
    DrawIconEx(memory, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
  }
  GdiFlush();
  for (int i = 0; i < count; ++i) pixels.data.push_back(data[i] & 0xFFFFFF);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

}  // namespace drive
