"""Running a Windows build of boardprobe under Wine, with a program of the
build's that drives it: what the e2e table, the box pictures
(docs/render_boxes.py) and the start-up benchmark (bench/startup.py) share.
"""
import contextlib
import os
import shutil
import struct
import subprocess
import tempfile

# The libraries a run lays beside the tool, as the build writes them.
LIBRARIES = {"board": "metal.dll", "no_entry": "no_entry/metal.dll",
             "wrong_arch": "wrong_arch/metal.dll"}

# The stand-in's event log, in the folder of a run.
EVENTS = "events.log"


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Wine:
    """A built win32 or win64 preset and one Wine prefix to run it in. The
    loader is Wine's 32-bit or 64-bit one, after the tool's machine, unless
    one is named."""

    def __init__(self, build, prefix, loader=None):
        self.build = os.path.abspath(build)
        self.tool = os.path.join(self.build, "boardprobe.exe")
        self.prefix = prefix
        self.windows = os.path.join(prefix, "drive_c", "windows")
        with open(self.tool, "rb") as f:
            header = f.read(1024)
        machine = struct.unpack_from("<H", header, struct.unpack_from("<I", header, 0x3C)[0] + 4)
        self.i386 = machine[0] == 0x14C
        self.loader = loader or shutil.which(
            "wine" if self.i386 else "wine64", path=os.environ["PATH"] + ":/usr/lib/wine")
        # Wine's error messages stay on: they say why a start failed.
        self.env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all,err+all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        for name in ("METAL_SIM", "METAL_SIM_LOG"):
            self.env.pop(name, None)
        self.reran = set()

    def run(self, *command, env=None, timeout=120):
        # Output goes to files, not pipes: Wine's helper processes (the
        # desktop, services) inherit them and would hold a pipe open after
        # the program itself has ended.
        with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
            result = subprocess.run([self.loader, *command],
                                    env=env or self.env, cwd="/",
                                    stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=err, timeout=timeout)
            out.seek(0)
            err.seek(0)
            result.stdout, result.stderr = out.read(), err.read()
        return result

    def registry(self, key, name, value):
        self.run("reg", "add", key, "/v", name, "/d", value, "/f").check_returncode()

    def server(self, *options):
        subprocess.run(["wineserver", *options], env=self.env, timeout=120)

    def stop_server(self):
        self.server("-k")
        self.server("-w")

    @contextlib.contextmanager
    def one_server(self):
        """One wineserver (and so one desktop) for all that runs inside."""
        self.stop_server()
        self.server("-p")
        try:
            yield
        finally:
            self.stop_server()

    def start(self, name, program, *arguments, env=None):
        """Runs the build's program that says "started" once it started the tool;
        a run that never did runs again, twice at most, named with Wine's reason."""
        for rerun in range(3):
            result = self.run(os.path.join(self.build, program), *arguments, env=env)
            if "\nstarted " in "\n" + result.stdout or rerun == 2:
                return result
            self.reran.add(name)
            said = " | ".join(result.stderr.strip().splitlines()) or "nothing said"
            print(f"rerun {name}: the tool never started: exit {result.returncode}: {said}")

    def make_prefix(self):
        shutil.rmtree(self.prefix, ignore_errors=True)
        self.run("wineboot", "--init", timeout=600).check_returncode()
        # A virtual desktop: Wine draws the boxes' frames and captions
        # itself, with no window manager needed.
        self.registry(r"HKCU\Software\Wine\Explorer", "Desktop", "Default")
        self.registry(r"HKCU\Software\Wine\Explorer\Desktops", "Default", "800x600")
        # Wine draws the frame's close button with Marlett, which this Wine
        # does not pick up from its own font folder by itself.
        marlett = "/usr/share/wine/fonts/marlett.ttf"
        if os.path.exists(marlett):
            shutil.copy2(marlett, os.path.join(self.windows, "Fonts"))
        self.stop_server()

    def drive(self, name, driver, folder, library, settings, *arguments, where=None):
        """Copies the tool into folder, with a metal.dll ("board",
        "no_entry", "wrong_arch", "corrupt" or None) beside it, or where
        "system" or "path" says, and starts the build's program driver on
        the copy with arguments (see start); returns the driver's result and
        the lines of the event log folder/EVENTS, which the stand-in writes."""
        shutil.copy2(self.tool, os.path.join(folder, "boardprobe.exe"))
        log = os.path.join(folder, EVENTS)
        env = dict(self.env, METAL_SIM_LOG=windows_path(log))
        if settings is not None:
            env["METAL_SIM"] = settings
        # S3's driver installs metal.dll in the system folder (for a 32-bit
        # program in a 64-bit prefix, syswow64); it is there for this run only.
        wow64 = self.i386 and os.path.isdir(os.path.join(self.windows, "syswow64"))
        place = {None: folder, "path": os.path.join(folder, "on_path"),
                 "system": os.path.join(self.windows, "syswow64" if wow64 else "system32")}[where]
        if where == "path":
            os.makedirs(place)
            env["WINEPATH"] = windows_path(place)
        dll = os.path.join(place, "metal.dll")
        try:
            if library == "corrupt":
                with open(dll, "wb") as f:
                    f.write(b"MZ" + bytes(range(256)) * 16)
            elif library is not None:
                shutil.copy2(os.path.join(self.build, LIBRARIES[library]), dll)
            result = self.start(name, driver,
                                windows_path(os.path.join(folder, "boardprobe.exe")),
                                *arguments, env=env)
        finally:
            if where == "system" and os.path.exists(dll):
                os.remove(dll)
        if not os.path.exists(log):
            return result, []
        with open(log) as f:
            return result, f.read().splitlines()
