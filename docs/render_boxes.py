"""Renders boardprobe's real message boxes under Wine and Xvfb into the PNG
files the README shows, each cropped to its box.

Usage, from the top of the source tree:
  xvfb-run -a -s "-screen 0 1024x768x24" /usr/bin/python3 -m docs.render_boxes [BUILD]
BUILD is a built win32 preset (default build/win32); its box_shots.exe takes
the pictures. Needs ImageMagick's convert. Uses a Wine prefix of its own,
made afresh in a temporary folder.
"""
import os
import subprocess
import sys
import tempfile

from drive.wine import Wine, windows_path

HERE = os.path.dirname(os.path.abspath(__file__))

# picture, library beside the tool, METAL_SIM
PICTURES = [
    ("box-savage4.png", "board", None),
    ("box-acquire-failure.png", "board", "open=1"),
    ("box-no-library.png", None, None),
    ("box-fault.png", "board", "fault_open=1"),
]


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "win32")
    with tempfile.TemporaryDirectory() as work:
        wine = Wine(build, os.path.join(work, "prefix"))
        wine.make_prefix()
        for picture, library, settings in PICTURES:
            folder = tempfile.mkdtemp(dir=work)
            result, _ = wine.drive(picture, "box_shots.exe", folder, library,
                                   settings, windows_path(folder))
            result.check_returncode()
            subprocess.run(["convert", os.path.join(folder, "box-1.bmp"),
                            "-strip", os.path.join(HERE, picture)], check=True)
            print("wrote", os.path.join("docs", picture))
        wine.stop_server()


if __name__ == "__main__":
    main()
