// The yardstick for start-up time: a program that does nothing but show one
// message box, built with the same flags as boardprobe.exe.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr, "Nothing but a box.", "bare box", MB_ICONQUESTION);
  return 0;
}
