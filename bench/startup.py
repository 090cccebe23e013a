"""Start-up time of boardprobe.exe against a bare MessageBoxA program, under
one warm Wine: the time from CreateProcess to the first box being visible,
as the build's first_box.exe measures it. The two programs take turns (in
alternating order) so that drift in the machine's load hits both alike.

Usage, from the top of the source tree:
  xvfb-run -a -s "-screen 0 1024x768x24" /usr/bin/python3 -m bench.startup [BUILD] [RUNS]
BUILD is a built win32 preset (default build/win32); RUNS defaults to 30.
"""
import os
import statistics
import sys
import tempfile

from drive.wine import Wine, windows_path

HERE = os.path.dirname(os.path.abspath(__file__))


def first_box_us(wine, name, program):
    result = wine.start(name, "first_box.exe", windows_path(program))
    result.check_returncode()
    return int(result.stdout.strip().splitlines()[-1])


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "win32")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 30
    with tempfile.TemporaryDirectory() as work:
        wine = Wine(build, os.path.join(work, "prefix"))
        wine.make_prefix()
        with wine.one_server():
            programs = {
                "boardprobe.exe": os.path.join(build, "boardprobe.exe"),
                "bare_box.exe": os.path.join(build, "bare_box.exe"),
            }
            times = {name: [] for name in programs}
            for name, path in programs.items():  # warm-up, not counted
                first_box_us(wine, name, path)
            for run in range(runs):
                order = list(programs) if run % 2 == 0 else list(reversed(programs))
                for name in order:
                    times[name].append(first_box_us(wine, f"{name} run {run + 1}",
                                                    programs[name]))
    medians = {name: statistics.median(values) for name, values in times.items()}
    for name, median in medians.items():
        print(f"{name:15} median {median / 1000:8.1f} ms over {runs} runs "
              f"(min {min(times[name]) / 1000:.1f}, max {max(times[name]) / 1000:.1f})")
    ratio = medians["boardprobe.exe"] / medians["bare_box.exe"]
    print(f"ratio boardprobe/bare: {ratio:.3f}")


if __name__ == "__main__":
    main()
