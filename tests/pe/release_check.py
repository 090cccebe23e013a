"""Makes the release archive with cpack and checks what it holds: the
executable and the note for Windows users, nothing else (no stand-in
library), with the note in Windows line ends.

Usage: release_check.py BUILD_DIR VERSION
VERSION is the project's, as in 1.0.0.
"""
import os
import subprocess
import sys
import tempfile
import zipfile

from tests.checks import report


def main():
    build, version = sys.argv[1:3]
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(["cpack", "--config",
                        os.path.join(build, "CPackConfig.cmake"), "-B", out],
                       cwd=build, check=True, stdout=subprocess.DEVNULL)
        path = os.path.join(out, f"boardprobe-{version}-win32.zip")
        with zipfile.ZipFile(path) as archive:
            names = sorted(archive.namelist())
            readme = archive.read("README.txt") if "README.txt" in names else b""
            exe = archive.read("boardprobe.exe") if "boardprobe.exe" in names else b""
    with open(os.path.join(build, "boardprobe.exe"), "rb") as f:
        built = f.read()
    lines = readme.split(b"\n")[:-1]
    title = f"boardprobe {version}".encode()
    checks = [
        ("archive holds exactly these files", names,
         ["README.txt", "boardprobe.exe"]),
        ("the archived executable is the built one", exe == built, True),
        ("README.txt has Windows line ends",
         [line for line in lines if not line.endswith(b"\r")], []),
        ("README.txt's title names the version, underlined",
         readme.split(b"\r\n")[:2], [title, b"=" * len(title)]),
        ("README.txt says where metal.dll must be", b"metal.dll" in readme, True),
    ]
    return report(checks)


if __name__ == "__main__":
    sys.exit(main())
