"""Runs the native boardprobe as a user would, beside the real stand-in
library, for every case of the outcome table and for the native loader's
and terminal's own cases. The stand-in logs to standard output, so its
events and the boxes the tool prints form one transcript, in order.

Usage: native_test.py BOARDPROBE METAL_DLL NO_ENTRY_METAL_DLL
"""
import os
import pty
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile

from tests.checks import report
from tests.outcomes import CASES, PROCESS_CASES, as_tabled, case

BOX = re.compile(r"^\[(error|question)\] (.*)\n([\s\S]*?)\n\[ OK \]\n\n", re.M)
ICONS = {"error": "hand", "question": "question"}

# The native layer's own cases: name, library beside the tool, library on
# the system's search path, arguments, and the table's case it ends like.
OWN_CASES = [
    ("arguments are ignored", "board", None, ["--board=0x9102", "/?"],
     "report for the default board"),
    ("found by the system's search when nothing is beside the tool", None,
     "board", [], "report for the default board"),
    ("a broken metal.dll beside the tool is the answer, not the search",
     "broken", "board", [], "no library"),
]


def lay_out(folder, tool, libraries, beside, on_path=None):
    """Copies the tool and the library into folder (and one onto a search
    path); returns the copy's path and the environment to run it in."""
    exe = os.path.join(folder, "boardprobe")
    shutil.copy2(tool, exe)
    for name, where in ((beside, folder), (on_path, os.path.join(folder, "lib"))):
        os.makedirs(where, exist_ok=True)
        target = os.path.join(where, "metal.dll")
        if name == "broken":
            with open(target, "wb") as f:
                f.write(b"\x7fELF not a library")
        elif name is not None:
            shutil.copy2(libraries[name], target)
    env = {k: v for k, v in os.environ.items() if k != "METAL_SIM"}
    env["LD_LIBRARY_PATH"] = os.path.join(folder, "lib")
    env["METAL_SIM_LOG"] = "/dev/stdout"
    return exe, env


def transcript_of(output):
    """The stand-in's events and the boxes, one line each, from the tool's
    output. A box that is not printed in full stays as it is, and fails."""
    def one_line(box):
        text = box[3].replace("\n", "\\n")
        return f"box {ICONS[box[1]]} [{box[2]}] {text}\n"
    return BOX.sub(one_line, output).splitlines()


def run(tool, libraries, beside, settings=None, on_path=None, arguments=()):
    with tempfile.TemporaryDirectory() as folder:
        exe, env = lay_out(folder, tool, libraries, beside, on_path)
        if settings is not None:
            env["METAL_SIM"] = settings
        # Run from elsewhere: the library must be found beside the tool,
        # not in the working directory.
        result = subprocess.run([exe, *arguments], cwd="/", env=env,
                                stdin=subprocess.DEVNULL, capture_output=True,
                                text=True, timeout=30)
    transcript = as_tabled(transcript_of(result.stdout))
    transcript.append(f"exit {result.returncode}")
    if result.stderr:
        transcript.append(f"standard error: {result.stderr}")
    return transcript


def read_until(fd, marker, seconds=10):
    """What the terminal shows until marker, or until it is quiet or closed."""
    seen = b""
    while marker not in seen and select.select([fd], [], [], seconds)[0]:
        try:
            chunk = os.read(fd, 1024)
        except OSError:  # the tool has ended and the terminal with it
            break
        if not chunk:
            break
        seen += chunk
    return seen


def on_a_terminal(tool, libraries):
    """Runs the tool on a pseudo-terminal and presses Enter once. Returns
    whether the box asked for Enter, the stand-in's events while it waited
    and after Enter, and the exit status."""
    with tempfile.TemporaryDirectory() as folder:
        exe, env = lay_out(folder, tool, libraries, "board")
        env["METAL_SIM_LOG"] = log = os.path.join(folder, "events.log")
        pid, fd = pty.fork()
        if pid == 0:
            os.execve(exe, [exe], env)
        shown = read_until(fd, b"press Enter")
        with open(log) as f:
            while_shown = f.read().splitlines()
        os.write(fd, b"\n")
        read_until(fd, b"never printed", seconds=2)
        ended, status = os.waitpid(pid, os.WNOHANG)
        if not ended:  # waits on a box nobody expected
            os.kill(pid, signal.SIGKILL)
            _, status = os.waitpid(pid, 0)
        os.close(fd)
        with open(log) as f:
            after = f.read().splitlines()
    return [b"[ OK ] press Enter" in shown, while_shown, after,
            f"exit {os.waitstatus_to_exitcode(status)}"]


def main():
    tool, board, no_entry = sys.argv[1:4]
    libraries = {"board": board, "no_entry": no_entry}
    checks = [(name, run(tool, libraries, library, settings), expected)
              for name, library, settings, expected in CASES + PROCESS_CASES]
    checks += [(name, run(tool, libraries, beside, on_path=on_path,
                          arguments=arguments), case(like)[3])
               for name, beside, on_path, arguments, like in OWN_CASES]
    # On a terminal the box is modal: nothing after it happens until Enter.
    full_run = [event for event in case("report for the default board")[3]
                if not event.startswith(("box ", "exit "))]
    checks.append(("the box waits for Enter on a terminal",
                   on_a_terminal(tool, libraries),
                   [True, full_run[:4], full_run, "exit 0"]))
    return report(checks)


if __name__ == "__main__":
    sys.exit(main())
