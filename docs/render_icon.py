"""Renders the icon that boardprobe.exe carries into docs/icon.png: taken
out of the built executable's resources (not from the source grid), shown 8
times enlarged and at its real size on a Windows 98 desktop's teal.

Usage: /usr/bin/python3 docs/render_icon.py [BOARDPROBE_EXE]
Needs python3-pefile and ImageMagick's convert.
"""
import os
import struct
import subprocess
import sys
import tempfile

import pefile

HERE = os.path.dirname(os.path.abspath(__file__))
RT_ICON, RT_GROUP_ICON = 3, 14


def resource(pe, kind, name):
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == kind:
            for item in entry.directory.entries:
                if item.id == name:
                    data = item.directory.entries[0].data.struct
                    return pe.get_data(data.OffsetToData, data.Size)
    sys.exit(f"no resource {kind}/{name}")


def main():
    exe = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        HERE, "..", "build", "win32", "boardprobe.exe")
    pe = pefile.PE(exe)
    group = resource(pe, RT_GROUP_ICON, 102)
    # The group's one entry is an .ico directory entry whose last field is
    # the image's resource ID instead of its file offset.
    width, height, colours, _, planes, bits, size, image_id = struct.unpack_from(
        "<BBBBHHIH", group, 6)
    image = resource(pe, RT_ICON, image_id)
    ico = (struct.pack("<HHH", 0, 1, 1) +
           struct.pack("<BBBBHHII", width, height, colours, 0, planes, bits,
                       size, 22) + image)
    with tempfile.TemporaryDirectory() as work:
        path = os.path.join(work, "boardprobe.ico")
        with open(path, "wb") as f:
            f.write(ico)
        subprocess.run(["convert", "-size", "272x272", "xc:#008080",
                        "(", path, "-scale", "800%", ")", "-geometry", "+8+8",
                        "-composite", path, "-geometry", "+232+232",
                        "-composite", "-strip", os.path.join(HERE, "icon.png")],
                       check=True)
    print("wrote docs/icon.png")


if __name__ == "__main__":
    main()
