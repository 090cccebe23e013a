"""Runs the native boardprobe as a user would, beside the real stand-in
library, and checks what it prints, its exit status and the library's own
record of the calls it received.

Usage: native_test.py BOARDPROBE METAL_DLL NO_ENTRY_METAL_DLL
"""
import os
import pty
import select
import shutil
import subprocess
import sys
import tempfile

REPORT = """[question] S3 MeTaL API information tool
S3 MeTaL API is supported on this board.

Board name: {board}
Device ID: {id}
VRAM size: {sizes}
[ OK ]

"""

ERROR = """[error] Fatal error
{text}
[ OK ]

"""

SAVAGE4 = REPORT.format(board="S3 Savage 4 (LT/GT/PRO/Xtreme)", id="8A22",
                        sizes="16777216 B / 16384 KB / 16 MB")

FULL_RUN = ["load", "open 0", "query 0x10A", "query 0x10B", "close", "unload"]

# name, library beside the tool, METAL_SIM, arguments, output, status, log
CASES = [
    ("Savage 4, out of the box", "sim", None, [], SAVAGE4, 0, FULL_RUN),
    ("arguments are ignored", "sim", None,
     ["--board=0x9102", "/?"], SAVAGE4, 0, FULL_RUN),
    ("Savage 2000 with 4 GiB less a byte", "sim",
     "board=0x9102 vram=0xFFFFFFFF", [],
     REPORT.format(board="S3 Savage 2000", id="9102",
                   sizes="4294967295 B / 4194303 KB / 4095 MB"), 0, FULL_RUN),
    ("acquire failure", "sim", "open=4", [],
     ERROR.format(text="Failed to acquire S3 MeTaL interface.\n\n"
                       "Error: 4\nReason: Out of video memory"),
     1, ["load", "open 0", "unload"]),
    ("null interface", "sim", "null_interface=1", [],
     ERROR.format(text="Failed to acquire S3 MeTaL interface.\n\n"
                       "Error: 0\nReason: Unknown error"),
     1, ["load", "open 0", "unload"]),
    ("size query fails", "sim", "size_status=2", [],
     ERROR.format(text="Failed to retrieve S3 MeTaL device video memory size."),
     1, ["load", "open 0", "query 0x10A", "query 0x10B", "close", "unload"]),
    ("close fails after the report", "sim", "close_status=0", [],
     SAVAGE4 + ERROR.format(text="Failed at closing S3 MeTaL interface."),
     0, FULL_RUN),
    ("a mistyped setting never passes for the default board", "sim",
     "board=0x8A20 vrma=1", [],
     ERROR.format(text="Failed to acquire S3 MeTaL interface.\n\n"
                       "Error: 8\nReason: Internal error"),
     1, ["load", "open 0", "bad setting vrma=1", "unload"]),
    ("library without mtlOpen", "no_entry", None, [],
     ERROR.format(text="Failed to retrieve S3 MeTaL API from the library."),
     1, ["load", "unload"]),
    ("missing library", None, None, [],
     ERROR.format(text="Failed to open S3 MeTaL API library."), 1, []),
]


def lay_out(folder, tool, library, settings=None):
    """Copies the tool, and the library if any, into folder; returns the
    copy's path, the environment to run it in and the event log's path."""
    exe = os.path.join(folder, "boardprobe")
    shutil.copy2(tool, exe)
    if library is not None:
        shutil.copy2(library, os.path.join(folder, "metal.dll"))
    log_path = os.path.join(folder, "events.log")
    env = {k: v for k, v in os.environ.items()
           if k not in ("METAL_SIM", "LD_LIBRARY_PATH")}
    env["METAL_SIM_LOG"] = log_path
    if settings is not None:
        env["METAL_SIM"] = settings
    return exe, env, log_path


def events_in(log_path):
    if not os.path.exists(log_path):
        return []
    with open(log_path) as f:
        return f.read().splitlines()


def run_case(tool, libraries, case):
    name, library, settings, arguments, output, status, log = case
    with tempfile.TemporaryDirectory() as folder:
        exe, env, log_path = lay_out(folder, tool, libraries.get(library),
                                     settings)
        # Run from elsewhere: the library must be found beside the tool,
        # not in the working directory.
        result = subprocess.run([exe] + arguments, cwd="/", env=env,
                                stdin=subprocess.DEVNULL, capture_output=True,
                                text=True, timeout=30)
        events = events_in(log_path)
    failures = []
    if result.stdout != output:
        failures.append(f"output:\n{result.stdout!r}\nexpected:\n{output!r}")
    if result.returncode != status:
        failures.append(f"exit status {result.returncode}, expected {status}")
    if events != log:
        failures.append(f"library events {events}, expected {log}")
    if result.stderr:
        failures.append(f"unexpected standard error:\n{result.stderr}")
    return failures


def read_until(fd, marker, seconds=10):
    seen = b""
    while marker not in seen:
        ready, _, _ = select.select([fd], [], [], seconds)
        if not ready:
            break
        try:
            chunk = os.read(fd, 1024)
        except OSError:
            break
        if not chunk:
            break
        seen += chunk
    return seen


def box_waits_for_enter_on_a_terminal(tool, sim):
    """On a terminal the box is modal: nothing after it happens until Enter."""
    with tempfile.TemporaryDirectory() as folder:
        exe, env, log_path = lay_out(folder, tool, sim)
        pid, fd = pty.fork()
        if pid == 0:
            os.execve(exe, [exe], env)
        shown = read_until(fd, b"press Enter")
        while_shown = events_in(log_path)
        os.write(fd, b"\n")
        read_until(fd, b"never printed", seconds=2)
        _, status = os.waitpid(pid, 0)
        os.close(fd)
        after = events_in(log_path)
    failures = []
    if b"[ OK ] press Enter" not in shown:
        failures.append(f"no OK prompt on the terminal: {shown!r}")
    if while_shown != FULL_RUN[:4]:
        failures.append(f"while the box waited: {while_shown}")
    if after != FULL_RUN or os.waitstatus_to_exitcode(status) != 0:
        failures.append(f"after Enter: {after}, status {status}")
    return failures


def main():
    tool, sim, no_entry = sys.argv[1:4]
    libraries = {"sim": sim, "no_entry": no_entry}
    failed = 0
    for case in CASES:
        failures = run_case(tool, libraries, case)
        print(("FAIL " if failures else "ok   ") + case[0])
        for failure in failures:
            print("    " + failure.replace("\n", "\n    "))
        failed += bool(failures)
    failures = box_waits_for_enter_on_a_terminal(tool, sim)
    print(("FAIL " if failures else "ok   ") + "the box waits for Enter on a terminal")
    for failure in failures:
        print("    " + failure)
    failed += bool(failures)
    print(f"{len(CASES) + 1 - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
