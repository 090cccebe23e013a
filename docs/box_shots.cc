// The camera behind docs/render_boxes.py: saves each message box a program
// shows, cropped to its window, as FOLDER\box-N.bmp, and presses OK.
//
// Usage: box_shots.exe PROGRAM FOLDER
// Exit status: 0 when the program ran to its end, 2 otherwise.
#include <windows.h>

#include <cstdio>
#include <string>

#include "drive.h"

namespace {

constexpr DWORD PAINT_WAIT_MS = 300;

void save_bmp(const drive::Pixels& pixels, const std::string& path) {
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: box_shots.exe PROGRAM FOLDER\n");
    return 2;
  }
  const std::string folder = argv[2];
  int boxes = 0;
  DWORD status = 0;
  const drive::Ended ended = drive::run(
      argv[1], drive::DEFAULT_TIME_LIMIT_MS,
      [&](HWND box) {
        // Painted in full, icon included, before the picture is taken.
        RedrawWindow(box, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(PAINT_WAIT_MS);
        RECT area;
        GetWindowRect(box, &area);
        save_bmp(drive::capture(area),
                 folder + "\\box-" + std::to_string(++boxes) + ".bmp");
      },
      &status);
  return ended == drive::Ended::by_itself ? 0 : 2;
}
