"""Checks that boardprobe.exe is what a Windows 98 user can run: its headers,
its imports, its resources and its size, one table of expectations.

Usage: pe_check.py BOARDPROBE_EXE BOARDPROBE_ICO
Run with Debian's /usr/bin/python3, which has python3-pefile.
"""
import os
import struct
import sys

import pefile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from checks import report  # noqa: E402

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16
POLISH = 0x0415

# Every import must be one that both Windows 98 (and ME) and NT 4.0 export.
# The KERNEL32 and USER32 names are Win32 API functions whose documented
# minimum is Windows 95 and NT 3.1; the msvcrt names are exports of the
# msvcrt.dll (version 5 and 6) that Windows 98 and NT 4.0 ship. Nothing from
# later systems: no C99 printf family (vsnprintf/snprintf arrive in Vista's
# msvcrt), no wide-character loader calls of mingw-w64's newer runtime.
# A new import fails here until someone has checked it against both systems.
ALLOWED_IMPORTS = {
    "KERNEL32.dll": {"ExitProcess", "FreeLibrary", "GetCommandLineA",
                     "GetModuleHandleA", "GetProcAddress", "LoadLibraryA"},
    "USER32.dll": {"MessageBoxA"},
    "msvcrt.dll": {"_vsnprintf"},
}

SIZE_BUDGET = 7168

# Blue, green, red, 0: black, dark red, dark green, dark yellow, dark blue,
# dark magenta, dark cyan, dark grey, light grey, red, green, yellow, blue,
# magenta, cyan, white.
PALETTE = bytes.fromhex(
    "00000000" "00008000" "00800000" "00808000"
    "80000000" "80008000" "80800000" "80808000"
    "c0c0c000" "0000ff00" "00ff0000" "00ffff00"
    "ff000000" "ff00ff00" "ffff0000" "ffffff00")

VERSION_STRINGS = [
    ("Comments", "https://boardprobe.sourceforge.io/"),
    ("CompanyName", "The boardprobe developers"),
    ("FileDescription", "S3 MeTaL API information tool"),
    ("FileVersion", "1, 0, 0, 0"),
    ("InternalName", "boardprobe"),
    ("LegalCopyright",
     "Copyright (C) 2026 The boardprobe developers. Free to use and share."),
    ("LegalTrademarks", ""),
    ("OriginalFilename", "boardprobe.exe"),
    ("PrivateBuild", ""),
    ("ProductName", "boardprobe"),
    ("ProductVersion", "1, 0, 0, 0"),
    ("SpecialBuild", ""),
]


def resources(pe):
    """(type, id, language, size) of every resource, and their bytes."""
    found, data = [], {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                entry = language.data.struct
                found.append((kind.id, name.id, language.id, entry.Size))
                data[(kind.id, name.id)] = pe.get_data(entry.OffsetToData,
                                                       entry.Size)
    return found, data


def imports(pe):
    return {entry.dll.decode(): [i.name.decode() for i in entry.imports]
            for entry in pe.DIRECTORY_ENTRY_IMPORT}


def version_info(pe):
    """The version block's string tables, and its translation entries."""
    tables, translation = [], None
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            tables += [(table.LangID.decode(), [(k.decode(), v.decode()) for
                                                k, v in table.entries.items()])
                       for table in info.StringTable]
        elif info.Key == b"VarFileInfo":
            translation = [var.entry for var in info.Var]
    return tables, translation


def expectations(exe_path, ico_path):
    pe = pefile.PE(exe_path)
    header, optional = pe.FILE_HEADER, pe.OPTIONAL_HEADER
    found, data = resources(pe)
    icon = data.get((RT_ICON, 1), b"")
    group = data.get((RT_GROUP_ICON, 102), b"")
    fixed = pe.VS_FIXEDFILEINFO[0] if hasattr(pe, "VS_FIXEDFILEINFO") else None
    with open(ico_path, "rb") as f:
        ico = f.read()
    imported = imports(pe)
    unlisted = sorted(f"{dll}!{name}" for dll, names in imported.items()
                      for name in names
                      if name not in ALLOWED_IMPORTS.get(dll, set()))
    return [
        ("PE32", optional.Magic, 0x10B),
        ("i386", header.Machine, 0x14C),
        ("GUI subsystem", optional.Subsystem, 2),
        ("subsystem version",
         (optional.MajorSubsystemVersion, optional.MinorSubsystemVersion),
         (4, 0)),
        ("operating system version",
         (optional.MajorOperatingSystemVersion,
          optional.MinorOperatingSystemVersion), (4, 0)),
        ("no time stamp", header.TimeDateStamp, 0),
        # Loaded anywhere (ASLR) and never run from data pages (NX).
        ("relocatable and NX-compatible",
         optional.DllCharacteristics & 0x140, 0x140),
        ("relocations kept", optional.DATA_DIRECTORY[5].Size > 0, True),
        ("imported DLLs", sorted(imported),
         ["KERNEL32.dll", "USER32.dll", "msvcrt.dll"]),
        ("imports not known on Windows 98 and NT 4.0", unlisted, []),
        ("size within budget", max(os.path.getsize(exe_path), SIZE_BUDGET),
         SIZE_BUDGET),
        # The version block's size follows from its strings.
        ("resources: type, ID, language, size", sorted(found),
         [(RT_ICON, 1, POLISH, 744), (RT_GROUP_ICON, 102, POLISH, 20),
          (RT_VERSION, 1, POLISH, 1092)]),
        ("icon header", struct.unpack_from("<IiiHHIIiiII", icon),
         (40, 32, 64, 1, 4, 0, 512, 0, 0, 0, 0)),
        ("icon palette", icon[40:104], PALETTE),
        ("icon image is the drawn one", icon, ico[22:]),
        ("icon group header", struct.unpack_from("<HHH", group), (0, 1, 1)),
        ("icon group entry", struct.unpack_from("<BBBBHHIH", group, 6),
         (32, 32, 16, 0, 1, 4, 744, 1)),
        ("fixed version fields",
         fixed and (fixed.Signature, fixed.FileVersionMS, fixed.FileVersionLS,
                    fixed.ProductVersionMS, fixed.ProductVersionLS,
                    fixed.FileFlagsMask, fixed.FileFlags, fixed.FileOS,
                    fixed.FileType, fixed.FileSubtype, fixed.FileDateMS,
                    fixed.FileDateLS),
         (0xFEEF04BD, 0x00010000, 0, 0x00010000, 0, 0x3F, 0, 0x40004, 1, 0,
          0, 0)),
        ("version strings, in order", version_info(pe)[0],
         [("040904b0", VERSION_STRINGS)]),
        ("translation", version_info(pe)[1],
         [{b"Translation": "0x0409 0x04b0"}]),
    ]


if __name__ == "__main__":
    sys.exit(report(expectations(sys.argv[1], sys.argv[2])))
