"""Replays the outcome table against boardprobe.exe under Wine, through
the driver that reads each box, plus the Wine layer's own cases: libraries
Windows' loader refuses, metal.dll found only by its search, and a tool
that hangs.

  e2e.py BUILD PREFIX LOADER --make-prefix      make the Wine prefix afresh
  e2e.py BUILD PREFIX LOADER --windows VERSION [CASE...]  the table, or the CASEs, under Xvfb
"""
import os
import sys
import tempfile

from drive.wine import EVENTS, Wine, windows_path
from tests.checks import report
from tests.outcomes import CASES, PROCESS_CASES, REPORTED, WINDOWS_CASES, as_tabled, case

NO_LIBRARY = case("no library")[3]

# Windows' loader tells the stand-in more than the other layers' can: the
# error mode it is loaded under, which must keep the loader's own boxes away
# (SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX), and whether it is
# unloaded by FreeLibrary ("unload") or by the process's end ("unload at
# exit").
LOADED = "load (error mode 0x8001)"


def on_windows(transcript):
    return [LOADED if event == "load" else event for event in transcript]


# name, library, METAL_SIM, transcript, and run_case's keywords: where
# metal.dll lies if not beside the tool, or a hang's time limit (ms).
# They run first: the table's "no library" then shows none was left behind.
OWN_CASES = [
    ("corrupt metal.dll", "corrupt", None, NO_LIBRARY),
    ("metal.dll of the other architecture", "wrong_arch", None, NO_LIBRARY),
    # Found by Windows' own search: where S3's driver installs it, the PATH.
    ("metal.dll only in the system folder", "board", None, REPORTED,
     {"where": "system"}),
    ("metal.dll only on the PATH", "board", None, REPORTED, {"where": "path"}),
    # Proves the driver's own time limit: the hung tool is killed, so the
    # library is never unloaded.
    ("mtlOpen never returns", "board", "hang=1", ["load", "open 0", "timeout"],
     {"limit": 3000}),
]


def run_case(wine, work, name, library, settings, limit=None, where=None):
    options = ["--limit", str(limit)] if limit else []
    folder = tempfile.mkdtemp(dir=work)
    # The driver writes the boxes it reads into the stand-in's event log.
    result, transcript = wine.drive(
        name, "e2e_driver.exe", folder, library, settings,
        windows_path(os.path.join(folder, EVENTS)), *options, where=where)
    # The driver exits 2 after a time-out, which the transcript shows.
    if result.returncode != 0 and transcript[-1:] != ["timeout"]:
        transcript.append(f"driver exit {result.returncode}: {result.stderr.strip()}")
    return as_tabled(transcript)


def main():
    build, prefix, loader, action, *words = sys.argv[1:]
    wine = Wine(build, prefix, loader)
    if action == "--make-prefix":
        wine.make_prefix()
        print("1 passed, 0 failed")
        return 0
    version, *names = words
    with wine.one_server(), tempfile.TemporaryDirectory() as work:
        wine.registry(r"HKCU\Software\Wine", "Version", version)
        checks = [(f"{version}: {name}",
                   run_case(wine, work, name, library, settings, **dict(*keywords)),
                   on_windows(expected))
                  for name, library, settings, expected, *keywords
                  in OWN_CASES + CASES + PROCESS_CASES + WINDOWS_CASES
                  if name in names or not names]
    return report(checks, f", {len(wine.reran)} ran again")


if __name__ == "__main__":
    sys.exit(main())
