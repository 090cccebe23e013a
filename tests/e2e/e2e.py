"""Runs every outcome of boardprobe.exe under Wine through the driver and
compares the transcript (the stand-in library's events, the boxes the driver
read, the exit status) with the expected one.

  e2e.py COMMON --make-prefix        make the run's Wine prefix afresh
  e2e.py COMMON --windows VERSION    run the table under that Windows version

COMMON names the programs: --wine --wineserver --prefix --driver --tool --sim
--no-entry --wrong-arch. Run under Xvfb: a display without a screen cannot draw the
icons the driver compares.
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile

ERROR = 'box caption="Fatal error" icon=hand buttons=OK owner=none topmost=no'
INFO = ('box caption="S3 MeTaL API information tool" icon=question buttons=OK'
        ' owner=none topmost=no')


def error_box(text):
    return f'{ERROR} text="{text}"'


def acquire_failure(code, reason):
    return error_box("Failed to acquire S3 MeTaL interface.\\n\\n"
                     f"Error: {code}\\nReason: {reason}")


def report(board, device_id, sizes):
    return (f'{INFO} text="S3 MeTaL API is supported on this board.\\n\\n'
            f'Board name: {board}\\nDevice ID: {device_id}\\n'
            f'VRAM size: {sizes}"')


NO_LIBRARY = [error_box("Failed to open S3 MeTaL API library."), "exit 1"]
OPENED = ["load", "open 0"]
ID_FAILURE = error_box("Failed to retrieve S3 MeTaL device ID.")
SIZE_FAILURE = error_box("Failed to retrieve S3 MeTaL device video memory size.")
SAVAGE4 = report("S3 Savage 4 (LT/GT/PRO/Xtreme)", "8A22",
                 "16777216 B / 16384 KB / 16 MB")
QUERIED = OPENED + ["query 0x10A", "query 0x10B"]


def reported(box):
    return QUERIED + [box, "close", "unload", "exit 0"]


def acquire_failed(code, reason):
    return OPENED + [acquire_failure(code, reason), "unload", "exit 1"]


# name, library beside the tool, METAL_SIM, expected transcript, and for a
# case that must hang, the driver's time limit in milliseconds
CASES = [
    ("no library", None, None, NO_LIBRARY),
    ("corrupt metal.dll", "corrupt", None, NO_LIBRARY),
    ("metal.dll of the other architecture", "wrong_arch", None, NO_LIBRARY),
    ("no mtlOpen", "no_entry", None,
     ["load", error_box("Failed to retrieve S3 MeTaL API from the library."),
      "unload", "exit 1"]),
    ("mtlOpen returns 1", "sim", "open=1",
     acquire_failed(1, "No supported S3D board found")),
    ("mtlOpen returns 4", "sim", "open=4",
     acquire_failed(4, "Out of video memory")),
    ("mtlOpen returns 9", "sim", "open=9",
     acquire_failed(9, "BeginDraw called while Metal application is minimised")),
    ("mtlOpen returns -1", "sim", "open=-1", acquire_failed(-1, "Unknown error")),
    ("mtlOpen returns 0 with a null interface", "sim", "null_interface=1",
     acquire_failed(0, "Unknown error")),
    ("device ID query returns 0", "sim", "id_status=0",
     OPENED + ["query 0x10A", ID_FAILURE, "close", "unload", "exit 1"]),
    ("device ID query returns 2", "sim", "id_status=2",
     OPENED + ["query 0x10A", ID_FAILURE, "close", "unload", "exit 1"]),
    ("size query returns 0", "sim", "size_status=0",
     QUERIED + [SIZE_FAILURE, "close", "unload", "exit 1"]),
    ("size query returns 2", "sim", "size_status=2",
     QUERIED + [SIZE_FAILURE, "close", "unload", "exit 1"]),
    ("Savage 4 with 16 MiB", "sim", None, reported(SAVAGE4)),
    ("Savage 3D with 8 MiB", "sim", "board=0x8A20 vram=8388608",
     reported(report("S3 Savage 3D", "8A20", "8388608 B / 8192 KB / 8 MB"))),
    ("Savage/IX w/ MV with 4 GiB less a byte", "sim",
     "board=0x8C12 vram=0xFFFFFFFF",
     reported(report("S3 Savage/IX w/ MV", "8C12",
                     "4294967295 B / 4194303 KB / 4095 MB"))),
    ("unknown board, 1 MiB less a byte", "sim", "board=0x123 vram=1048575",
     reported(report("Unknown S3 board", "0123", "1048575 B / 1023 KB / 0 MB"))),
    ("close returns 0 after the report", "sim", "close_status=0",
     QUERIED + [SAVAGE4, "close",
                error_box("Failed at closing S3 MeTaL interface."),
                "unload", "exit 0"]),
    # Proves the driver's own time limit: the hung tool is killed, so the
    # library is never unloaded.
    ("mtlOpen never returns", "sim", "hang=1", OPENED + ["timeout"], 3000),
]


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Wine:
    def __init__(self, args):
        self.args = args
        self.env = dict(os.environ, WINEPREFIX=args.prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        for name in ("METAL_SIM", "METAL_SIM_LOG"):
            self.env.pop(name, None)

    def run(self, *command, env=None, timeout=120):
        # Output goes to files, not pipes: Wine's helper processes (the
        # desktop, services) inherit them and would hold a pipe open after
        # the program itself has ended.
        with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
            result = subprocess.run([self.args.wine, *command],
                                    env=env or self.env, cwd="/",
                                    stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=err, timeout=timeout)
            out.seek(0)
            err.seek(0)
            result.stdout, result.stderr = out.read(), err.read()
        return result

    def registry(self, key, name, value):
        self.run("reg", "add", key, "/v", name, "/d", value, "/f").check_returncode()

    def wait_for_server(self):
        subprocess.run([self.args.wineserver, "-w"], env=self.env, timeout=120)

    def stop_server(self):
        subprocess.run([self.args.wineserver, "-k"], env=self.env, timeout=120)
        self.wait_for_server()


def from_build(build, prefix):
    """The programs of a win32 build folder, for scripts beside the tests."""
    build = os.path.abspath(build)
    return Wine(argparse.Namespace(
        wine=shutil.which("wine"), wineserver=shutil.which("wineserver"),
        prefix=prefix, driver=os.path.join(build, "e2e_driver.exe"),
        tool=os.path.join(build, "boardprobe.exe"),
        sim=os.path.join(build, "metal.dll"),
        no_entry=os.path.join(build, "no_entry", "metal.dll"),
        wrong_arch=os.path.join(build, "wrong_arch", "metal.dll")))


def make_prefix(wine):
    shutil.rmtree(wine.args.prefix, ignore_errors=True)
    wine.run("wineboot", "--init", timeout=300).check_returncode()
    # A virtual desktop: Wine draws the boxes' frames and captions itself,
    # with no window manager needed.
    wine.registry(r"HKCU\Software\Wine\Explorer", "Desktop", "Default")
    wine.registry(r"HKCU\Software\Wine\Explorer\Desktops", "Default", "800x600")
    # Wine draws the frame's close button with Marlett, which this Wine
    # does not pick up from its own font folder by itself.
    marlett = "/usr/share/wine/fonts/marlett.ttf"
    if os.path.exists(marlett):
        shutil.copy2(marlett, os.path.join(wine.args.prefix, "drive_c", "windows", "Fonts"))
    wine.stop_server()


def lay_out(folder, library, args):
    shutil.copy2(args.tool, os.path.join(folder, "boardprobe.exe"))
    target = os.path.join(folder, "metal.dll")
    if library == "corrupt":
        noise = random.Random(98).randbytes(4094)
        with open(target, "wb") as f:
            f.write(b"MZ" + noise)
    elif library is not None:
        source = {"sim": args.sim, "no_entry": args.no_entry, "wrong_arch": args.wrong_arch}
        shutil.copy2(source[library], target)


def drive(wine, folder, library, settings, *options):
    """Lays the tool and the library out in folder and runs the driver on
    them; returns the driver's result and the transcript it and the
    stand-in wrote to folder/events.log."""
    lay_out(folder, library, wine.args)
    log = os.path.join(folder, "events.log")
    env = dict(wine.env, METAL_SIM_LOG=windows_path(log))
    if settings is not None:
        env["METAL_SIM"] = settings
    result = wine.run(wine.args.driver,
                      windows_path(os.path.join(folder, "boardprobe.exe")),
                      windows_path(log), *options, env=env)
    transcript = []
    if os.path.exists(log):
        with open(log) as f:
            transcript = f.read().splitlines()
    return result, transcript


def run_case(wine, case, work):
    name, library, settings, expected, *limit = case
    options = ["--limit", str(limit[0])] if limit else []
    result, transcript = drive(wine, tempfile.mkdtemp(dir=work), library,
                               settings, *options)
    # The driver exits 2 after a time-out, which the transcript shows.
    if result.returncode != 0 and transcript[-1:] != ["timeout"]:
        transcript.append(f"driver exit {result.returncode}: {result.stderr.strip()}")
    return transcript


def run_table(wine, version):
    wine.registry(r"HKCU\Software\Wine", "Version", version)
    wine.wait_for_server()
    failed = 0
    with tempfile.TemporaryDirectory() as work:
        for case in CASES:
            transcript = run_case(wine, case, work)
            if transcript == case[3]:
                print(f"ok   {version}: {case[0]}")
                continue
            failed += 1
            print(f"FAIL {version}: {case[0]}")
            for line in transcript:
                print(f"     got      {line}")
            for line in case[3]:
                print(f"     expected {line}")
    wine.stop_server()
    print(f"{len(CASES) - failed} passed, {failed} failed")
    return 1 if failed else 0


def main():
    parser = argparse.ArgumentParser()
    for option in ("--wine", "--wineserver", "--prefix", "--driver", "--tool",
                   "--sim", "--no-entry", "--wrong-arch"):
        parser.add_argument(option, required=True)
    action = parser.add_mutually_exclusive_group(required=True)
    action.add_argument("--make-prefix", action="store_true")
    action.add_argument("--windows")
    args = parser.parse_args()
    wine = Wine(args)
    if args.make_prefix:
        make_prefix(wine)
        print("1 passed, 0 failed")
        return 0
    return run_table(wine, args.windows)


if __name__ == "__main__":
    sys.exit(main())
