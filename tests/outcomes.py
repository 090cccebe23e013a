"""Every outcome of one run of boardprobe, as one table that each layer
replays: the unit test over the scripted platform, the native tool beside
the native stand-in, and boardprobe.exe under Wine.

A case names the library beside the tool ("board", the stand-in;
"no_entry", one without mtlOpen; None, no library at all), the stand-in's
settings (METAL_SIM) and the transcript of the run: the stand-in's events
("fault" for a fault inside a call), each message box as "box ICON [CAPTION]
TEXT" with its line feeds written \\n, and last "exit STATUS".

  outcomes.py HEADER   writes the table as C++ initialisers, for the unit test
"""
import json
import re
import sys

ERROR = "box hand [Fatal error] "
REPORT = "box question [S3 MeTaL API information tool] "

LOAD_STEP = "Failed to open S3 MeTaL API library."
NO_LIBRARY = ERROR + LOAD_STEP
OPENED = ["load", "open 0"]
QUERIED = OPENED + ["query 0x10A", "query 0x10B"]
OPEN_STEP = "Failed to acquire S3 MeTaL interface."
ID_STEP = "Failed to retrieve S3 MeTaL device ID."
SIZE_STEP = "Failed to retrieve S3 MeTaL device video memory size."
CLOSE_STEP = "Failed at closing S3 MeTaL interface."


def acquire_failed(code, reason):
    return OPENED + [
        ERROR + f"{OPEN_STEP}\\n\\nError: {code}"
        f"\\nReason: {reason}", "unload", "exit 1"]


def reported(board, device_id, sizes, *after_close):
    report = (REPORT + "S3 MeTaL API is supported on this board.\\n\\n"
              f"Board name: {board}\\nDevice ID: {device_id}\\n"
              f"VRAM size: {sizes}")
    return QUERIED + [report, "close", *after_close, "unload", "exit 0"]


def during(transcript, event, *events):
    """The transcript with events right after its first line that is event."""
    at = transcript.index(event) + 1
    return transcript[:at] + list(events) + transcript[at:]


SAVAGE4 = ("S3 Savage 4 (LT/GT/PRO/Xtreme)", "8A22",
           "16777216 B / 16384 KB / 16 MB")
ID_FAILED = OPENED + ["query 0x10A", ERROR + ID_STEP, "close", "unload", "exit 1"]
SIZE_FAILED = QUERIED + [ERROR + SIZE_STEP, "close", "unload", "exit 1"]
CLOSE_FAILED = reported(*SAVAGE4, ERROR + CLOSE_STEP)
REPORTED = reported(*SAVAGE4)

# A fault's box reports FAULT: the fault the stand-in announced, or on the
# scripted platform SCRIPTED_FAULT. Nothing of the library runs after it.
FAULT = "Exception: CODE\\nAddress: WHERE"
SCRIPTED_FAULT = "Exception: C0000005\\nAddress: metal.dll+00001234"


def faulted(before, step, status):
    return before + ["fault", f"{ERROR}{step}\\n\\n{FAULT}", f"exit {status}"]


def as_tabled(transcript):
    """A real run's transcript as the table writes it: the fault the stand-in
    announced ("fault CODE WHERE", WHERE being metal.dll+OFFSET, or
    "elsewhere" for an address outside it) becomes "fault", and the box's
    report of exactly that fault becomes FAULT."""
    tabled, report = [], None
    for line in transcript:
        if fault := re.fullmatch(r"fault (\S+) (\S+)", line):
            # An address: 8 digits, more only without a leading zero.
            where = ("(?:[0-9A-F]{8}|[1-9A-F][0-9A-F]{8,})" if fault[2] == "elsewhere"
                     else re.escape(fault[2]))
            report = re.compile(rf"Exception: {re.escape(fault[1])}\\nAddress: {where}$")
            line = "fault"
        tabled.append(report.sub(lambda _: FAULT, line) if report else line)
    return tabled


REASONS = [
    (1, "No supported S3D board found"), (2, "Unknown error"),
    (3, "Out of system memory"), (4, "Out of video memory"),
    (5, "Provided invalid state key"), (6, "Vertex buffer is in use"),
    (7, "Texture surface lost"), (8, "Internal error"),
    (9, "BeginDraw called while Metal application is minimised"),
    (10, "Unknown error"), (-1, "Unknown error"),
    (-2147483648, "Unknown error"),
]

# METAL_SIM, then what the report says: board name, device ID, sizes.
BOARDS = [
    (None, *SAVAGE4),
    ("board=0x8A20 vram=8388608", "S3 Savage 3D", "8A20", "8388608 B / 8192 KB / 8 MB"),
    ("board=0x8A21 vram=4194304", "S3 Savage 3D w/ MV", "8A21", "4194304 B / 4096 KB / 4 MB"),
    ("board=0x8A23 vram=33554432", "S3 Savage 4", "8A23", "33554432 B / 32768 KB / 32 MB"),
    ("board=0x8C10 vram=12582912",
     "S3 Savage/MX w/ MV", "8C10", "12582912 B / 12288 KB / 12 MB"),
    ("board=0x8C11 vram=2097152", "S3 Savage/MX", "8C11", "2097152 B / 2048 KB / 2 MB"),
    # 4 GiB less a byte, and 2 GiB: sizes print unsigned.
    ("board=0x8C12 vram=0xFFFFFFFF",
     "S3 Savage/IX w/ MV", "8C12", "4294967295 B / 4194303 KB / 4095 MB"),
    ("board=0x9102 vram=0x80000000",
     "S3 Savage 2000", "9102", "2147483648 B / 2097152 KB / 2048 MB"),
    # Sizes round down.
    ("board=0x8C13 vram=1048575", "S3 Savage/IX", "8C13", "1048575 B / 1023 KB / 0 MB"),
    # Unknown IDs: zero-filled to four digits, printed whole when wider,
    # and the ID a query left unwritten.
    ("board=0x123 vram=0", "Unknown S3 board", "0123", "0 B / 0 KB / 0 MB"),
    ("board=0x18A22", "Unknown S3 board", "18A22", SAVAGE4[2]),
    ("no_id=1", "Unknown S3 board", "0000", SAVAGE4[2]),
]

# name, library, METAL_SIM, transcript
CASES = [
    ("no library", None, None, [NO_LIBRARY, "exit 1"]),
    ("no mtlOpen", "no_entry", None, [
        "load", ERROR + "Failed to retrieve S3 MeTaL API from the library.",
        "unload", "exit 1"]),
    *((f"open code {code}", "board", f"open={code}",
       acquire_failed(code, reason)) for code, reason in REASONS),
    ("open returns 0 with a null interface", "board", "null_interface=1",
     acquire_failed(0, "Unknown error")),
    ("open returns 0 and stores nothing", "board", "no_interface=1",
     acquire_failed(0, "Unknown error")),
    ("a mistyped setting never passes for the default board", "board",
     "board=0x8A20 vrma=1",
     during(acquire_failed(8, "Internal error"), "load", "bad setting vrma=1")),
    *((f"{query} status {status}", "board", f"{setting}={status}", failed)
      for query, setting, failed in [("device ID", "id_status", ID_FAILED),
                                     ("size", "size_status", SIZE_FAILED)]
      for status in (0, 2, -1)),
    ("close status is not looked at after a failed query", "board",
     "size_status=0 close_status=0", SIZE_FAILED),
    *((f"report for {settings or 'the default board'}", "board", settings,
       reported(board, device_id, sizes))
      for settings, board, device_id, sizes in BOARDS),
    *((f"close status {status} after the report", "board",
       f"close_status={status}", CLOSE_FAILED) for status in (0, 2, -1)),
    # A write through a null pointer (1) in each call, and an exception of
    # the library's maker raised through the system (2). [:-2]: up to close.
    *((name, "board", settings, faulted(before, step, status))
      for name, settings, before, step, status in [
          ("mtlOpen faults", "fault_open=1", OPENED, OPEN_STEP, 1),
          ("mtlOpen raises an exception", "fault_open=2", OPENED, OPEN_STEP, 1),
          ("the device ID query faults", "fault_id=1", OPENED + ["query 0x10A"], ID_STEP, 1),
          ("the size query faults", "fault_size=1", QUERIED, SIZE_STEP, 1),
          ("close faults after the report", "fault_close=1",
           reported(*SAVAGE4)[:-2], CLOSE_STEP, 0),
          ("close faults after a failed query", "id_status=0 fault_close=1",
           ID_FAILED[:-2], CLOSE_STEP, 1)]),
]

# A library that misbehaves in its process (the misdeeds of sim/stand_in.h),
# natively and on Windows: the scripted platform has no process to spoil. A
# row: the misdeed, logged as DONE says right after event, then a fault in
# the call that fault names, if one does.
DONE = {"quit": "quit posted", "filter": "filter installed",
        "handled": "fault handled", "unreadable": "headers unreadable"}


def misdeed(setting, event, transcript, fault=None):
    settings = f"{setting} fault_{fault}=1" if fault else setting
    return (settings, "board", settings,
            during(transcript, event, DONE[setting.split("=")[0]]))


# A fault the library handles stays its own; its headers are not read.
PROCESS_CASES = [
    *(misdeed(f"handled={call}", event, REPORTED)
      for call, event in [("load", "load"), ("open", "open 0"), ("close", "close")]),
    misdeed("handled=open", "open 0", faulted(OPENED + ["query 0x10A"], ID_STEP, 1), "id"),
    misdeed("unreadable=open", "open 0", faulted(OPENED + ["query 0x10A"], ID_STEP, 1), "id"),
    misdeed("unreadable=size", "query 0x10B", faulted(QUERIED, SIZE_STEP, 1), "size"),
    misdeed("unreadable=close", "close", faulted(REPORTED[:-2], CLOSE_STEP, 0), "close"),
]

# On Windows alone: a quit message ends no box early, and a top-level filter
# of the library's that chains to nothing keeps no fault from the tool's box.
WINDOWS_CASES = [
    misdeed("quit=load open=1", "load", acquire_failed(1, "No supported S3D board found")),
    misdeed("quit=open", "open 0", REPORTED),
    misdeed("quit=open open=4", "open 0", acquire_failed(4, "Out of video memory")),
    misdeed("quit=id id_status=0", "query 0x10A", ID_FAILED),
    misdeed("quit=close close_status=0", "close", CLOSE_FAILED),
    misdeed("filter=load", "load", faulted(OPENED, OPEN_STEP, 1), "open"),
    misdeed("filter=open", "open 0", faulted(QUERIED, SIZE_STEP, 1), "size"),
    misdeed("filter=id", "query 0x10A", faulted(OPENED + ["query 0x10A"], ID_STEP, 1), "id"),
]

# The scripted platform alone faults inside the library's start-up and unload
# routines, which today's loaders catch. No box for the unload: the run keeps
# its status.
LOADER_FAULTS = [
    ("the start-up faults", "faulting_load", None, faulted(["load"], LOAD_STEP, 1)),
    ("the unload faults", "faulting_unload", None,
     reported(*SAVAGE4)[:-1] + ["fault", "exit 0"]),
    ("the unload faults after a failure", "faulting_unload", "open=1",
     acquire_failed(1, "No supported S3D board found")[:-1] + ["fault", "exit 1"]),
]


def case(name):
    """The case of that name, for a layer's own cases that end alike."""
    return next(c for c in CASES if c[0] == name)


def main():
    """Writes the table as C++: strings in JSON's quoting, which C++ reads
    alike for these plain ASCII texts."""
    with open(sys.argv[1], "w") as f:
        for name, library, settings, transcript in CASES + LOADER_FAULTS:
            lines = (json.dumps(line.replace(FAULT, SCRIPTED_FAULT))
                     for line in transcript)
            f.write(f"{{{json.dumps(name)}, fake::Library::{library or 'none'}, "
                    f"{json.dumps(settings) if settings else 'nullptr'}, "
                    f"{{{', '.join(lines)}}}}},\n")


if __name__ == "__main__":
    main()
