// Drives boardprobe.exe the way a user would, on a real Win32 API: starts
// it, waits for each message box it shows, writes down what the box is
// (icon, caption, text, and any buttons, owner or topmost style it should
// not have) as one line of the event log that the stand-in metal.dll also
// writes, presses OK, and at the end writes the exit status. A process that
// hangs is killed.
//
// Usage: driver.exe PROGRAM LOG [--limit MS] [--shots FOLDER] [--timing]
//   --limit   kills the program after MS milliseconds (default 20000)
//   --shots   also saves each box, cropped to its window, as FOLDER\box-N.bmp
//   --timing  prints the microseconds from CreateProcess to the first box
//             being visible, then presses OK on everything
// Exit status: 0 when the program ran to its end, 2 on a time-out or error.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD DEFAULT_TIME_LIMIT_MS = 20000;
constexpr DWORD ICON_WAIT_MS = 3000;
constexpr int TEXT_ITEM = 0xFFFF;

const char* log_path = nullptr;

void append(const std::string& line) {
  FILE* log = std::fopen(log_path, "ab");
  if (log == nullptr) return;
  std::fprintf(log, "%s\n", line.c_str());
  std::fclose(log);
}

// The text on one line: line feeds and carriage returns written \n, \r.
std::string escaped(std::string text) {
  std::size_t at = 0;
  while ((at = text.find_first_of("\n\r", at)) != std::string::npos) {
    text.replace(at, 1, text[at] == '\n' ? "\\n" : "\\r");
    at += 2;
  }
  return text;
}

std::string text_of(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

HWND visible_box(DWORD process) {
  HWND box = nullptr;
  while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(box, &owner);
    if (owner == process && IsWindowVisible(box)) return box;
  }
  return nullptr;
}

// The box's visible controls of one class, in order.
std::vector<HWND> controls(HWND box, const char* class_name) {
  std::vector<HWND> found;
  HWND control = nullptr;
  while ((control = FindWindowExA(box, control, class_name, nullptr))) {
    if (IsWindowVisible(control)) found.push_back(control);
  }
  return found;
}

// 32-bit pixels of a rectangle of the screen, or, given an icon, of that
// icon drawn on a plain colour in a rectangle of the same size.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<DWORD> data;
};

Pixels capture(const RECT& area, HICON icon = nullptr, DWORD background = 0) {
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

// Icon handles belong to the process that loaded them, so the box's icon is
// read off the screen and compared with each stock icon drawn here on the
// same background.
std::string icon_kind(HWND box) {
  HWND icon_control = nullptr;
  for (HWND control : controls(box, "Static")) {
    if ((GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      icon_control = control;
    }
  }
  if (icon_control == nullptr) return "none";
  RECT area;
  GetWindowRect(icon_control, &area);
  const int size = GetSystemMetrics(SM_CXICON);
  area.right = area.left + size;
  area.bottom = area.top + size;

  struct Stock {
    const char* name;
    LPCSTR id;
  };
  const Stock stock[] = {{"hand", IDI_HAND},
                         {"question", IDI_QUESTION},
                         {"exclamation", IDI_EXCLAMATION},
                         {"asterisk", IDI_ASTERISK}};
  const DWORD start = GetTickCount();
  do {
    const Pixels shown = capture(area);
    const DWORD background = shown.data.empty() ? 0 : shown.data[0];
    for (const Stock& candidate : stock) {
      HICON icon = LoadIconA(nullptr, candidate.id);
      if (capture(area, icon, background).data == shown.data) {
        return candidate.name;
      }
    }
    Sleep(20);  // not painted yet
  } while (GetTickCount() - start < ICON_WAIT_MS);
  return "unknown";
}

std::string buttons_of(HWND box) {
  std::string names;
  for (HWND button : controls(box, "Button")) {
    names += (names.empty() ? "" : ",") + text_of(button);
  }
  return names;
}

void save_bmp(const Pixels& pixels, const std::string& path) {
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = pixels.width;
  header.biHeight = -pixels.height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  const DWORD image = static_cast<DWORD>(pixels.data.size() * 4);
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + image;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&header, sizeof header, 1, out);
  std::fwrite(pixels.data.data(), 1, image, out);
  std::fclose(out);
}

// One line in the event log's language: "box ICON [CAPTION] TEXT", and at
// its end in brackets whatever is more than one OK button on an ownerless,
// not topmost box.
std::string describe(HWND box) {
  char text[1024] = {};
  GetDlgItemTextA(box, TEXT_ITEM, text, sizeof text);
  std::string line =
      "box " + icon_kind(box) + " [" + text_of(box) + "] " + escaped(text);
  const std::string buttons = buttons_of(box);
  if (buttons != "OK") line += " [buttons " + buttons + "]";
  if (GetWindow(box, GW_OWNER) != nullptr) line += " [owner]";
  if (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) line += " [topmost]";
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: driver.exe PROGRAM LOG [--limit MS] [--shots FOLDER] "
                 "[--timing]\n");
    return 2;
  }
  const char* program = argv[1];
  log_path = argv[2];
  const char* shots = nullptr;
  bool timing = false;
  DWORD time_limit = DEFAULT_TIME_LIMIT_MS;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--shots") == 0 && i + 1 < argc) {
      shots = argv[++i];
    } else if (std::strcmp(argv[i], "--limit") == 0 && i + 1 < argc) {
      time_limit = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
    } else if (std::strcmp(argv[i], "--timing") == 0) {
      timing = true;
    }
  }

  std::string command = std::string("\"") + program + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  LARGE_INTEGER frequency, started, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&started);
  // In the default error mode, not the driver's: any other mode the library
  // sees is the tool's own doing.
  if (!CreateProcessA(program, &command[0], nullptr, nullptr, FALSE,
                      CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "cannot start %s: error %lu\n", program,
                 GetLastError());
    return 2;
  }

  const DWORD start = GetTickCount();
  int boxes = 0;
  DWORD waited = WAIT_TIMEOUT;
  while ((waited = WaitForSingleObject(process.hProcess, 5)) == WAIT_TIMEOUT &&
         GetTickCount() - start <= time_limit) {
    HWND box = visible_box(process.dwProcessId);
    if (box == nullptr) continue;
    ++boxes;
    if (timing && boxes == 1) {
      QueryPerformanceCounter(&now);
      std::printf("%lld\n", (now.QuadPart - started.QuadPart) * 1000000 /
                                frequency.QuadPart);
    }
    if (!timing) {
      append(describe(box));
      if (shots != nullptr) {
        // The icon is on screen by now; make sure the rest is painted too.
        RedrawWindow(box, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(300);
        RECT area;
        GetWindowRect(box, &area);
        save_bmp(capture(area), std::string(shots) + "\\box-" +
                                    std::to_string(boxes) + ".bmp");
      }
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    while (IsWindow(box) && GetTickCount() - start <= time_limit) Sleep(5);
  }

  if (waited == WAIT_TIMEOUT) {
    TerminateProcess(process.hProcess, 3);
    WaitForSingleObject(process.hProcess, 5000);
    append("timeout");
    return 2;
  }
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!timing) append("exit " + std::to_string(status));
  return 0;
}
