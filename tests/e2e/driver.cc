// Reads every message box boardprobe.exe shows, on a real Win32 API: writes
// down what each box is (icon, caption, text, and any buttons, owner or
// topmost style it should not have) as one line of the event log that the
// stand-in metal.dll also writes, presses OK, and at the end writes the
// exit status, or "timeout" for a program it had to kill.
//
// Usage: driver.exe PROGRAM LOG [--limit MS]
//   --limit   kills the program after MS milliseconds (default 20000)
// Exit status: 0 when the program ran to its end, 2 on a time-out or error.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "drive.h"

namespace {

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

// The box's visible controls of one class, in order.
std::vector<HWND> controls(HWND box, const char* class_name) {
  std::vector<HWND> found;
  HWND control = nullptr;
  while ((control = FindWindowExA(box, control, class_name, nullptr))) {
    if (IsWindowVisible(control)) found.push_back(control);
  }
  return found;
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
    const drive::Pixels shown = drive::capture(area);
    const DWORD background = shown.data.empty() ? 0 : shown.data[0];
    for (const Stock& candidate : stock) {
      HICON icon = LoadIconA(nullptr, candidate.id);
      if (drive::capture(area, icon, background).data == shown.data) {
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

// One line in the event log's language: "box ICON [CAPTION] TEXT", and at
// its end in brackets whatever is more than one OK button on an ownerless,
// not topmost box that waits to be dismissed.
std::string describe(HWND box) {
  char text[1024] = {};
  GetDlgItemTextA(box, TEXT_ITEM, text, sizeof text);
  std::string line =
      "box " + icon_kind(box) + " [" + text_of(box) + "] " + escaped(text);
  const std::string buttons = buttons_of(box);
  if (buttons != "OK") line += " [buttons " + buttons + "]";
  if (GetWindow(box, GW_OWNER) != nullptr) line += " [owner]";
  if (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) line += " [topmost]";
  if (!IsWindow(box)) line += " [gone before OK]";
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 5 && std::strcmp(argv[3], "--limit") == 0)) {
    std::fprintf(stderr, "usage: driver.exe PROGRAM LOG [--limit MS]\n");
    return 2;
  }
  log_path = argv[2];
  const DWORD time_limit =
      argc == 5 ? static_cast<DWORD>(std::strtoul(argv[4], nullptr, 10))
                : drive::DEFAULT_TIME_LIMIT_MS;
  DWORD status = 0;
  switch (drive::run(
      argv[1], time_limit, [](HWND box) { append(describe(box)); }, &status)) {
    case drive::Ended::by_itself:
      append("exit " + std::to_string(status));
      return 0;
    case drive::Ended::timed_out:
      append("timeout");
      return 2;
    case drive::Ended::not_started:
      break;
  }
  return 2;
}
