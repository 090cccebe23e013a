"""Makes the release archive with cpack and checks what it holds: the
executable and the user guide, nothing else (no stand-in library), with
the guide in Windows line ends. Run from the top of the source tree.

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
        ("README.txt: the user guide, titled with the version", readme.split(b"\r\n"),
         [title, b"=" * len(title)] + open("docs/user-guide.md", "rb").read().split(b"\n")[2:]),
    ]
    return report(checks)


if __name__ == "__main__":
    sys.exit(main())
