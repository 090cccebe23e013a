"""Checks that boardprobe.exe is what a Windows 95 user can run: its headers,
its imports, its instructions, its resources and its size, one table of
expectations.

Usage: pe_check.py BOARDPROBE_EXE BOARDPROBE_ICO OBJDUMP VERSION
OBJDUMP is binutils' i686-w64-mingw32-objdump; VERSION the project's, as
in 1.0.0. Run with Debian's /usr/bin/python3, which has python3-pefile.
"""
import os
import struct
import subprocess
import sys

import pefile

from tests.checks import report

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16
POLISH = 0x0415

# Every import must be one that every Windows from 95 and NT 4.0 on exports.
# The KERNEL32 and USER32 names are Win32 API functions whose documented
# minimum is Windows 95 and NT 3.1; _vsnprintf is in the crtdll.dll of
# Windows 95 and NT 3.1 and of every Windows since. Nothing from msvcrt.dll,
# which Windows 95 retail and OSR1 lack, nor from later systems: no C99
# printf family, no wide-character loader calls of mingw-w64's newer runtime.
# A new import fails here until someone has checked it against those systems.
ALLOWED_IMPORTS = {
    "KERNEL32.dll": {"ExitProcess", "FreeLibrary", "GetCurrentProcess",
                     "GetModuleHandleA", "GetProcAddress", "LoadLibraryA",
                     "SetErrorMode", "TerminateProcess", "VirtualQuery"},
    "USER32.dll": {"MessageBoxA", "PeekMessageA"},
    "crtdll.dll": {"_vsnprintf"},
}

SIZE_BUDGET = 7680

# The instructions of the 80486, the oldest CPU Windows 98 and NT 4.0 run
# on, as objdump names them: the 386's integer set with the 486's BSWAP,
# CMPXCHG, XADD, INVD, WBINVD and INVLPG, and the 387's x87 set, built into
# the 486DX. Not here: the Pentium's CPUID, RDTSC and CMPXCHG8B, the Pentium
# Pro's CMOVcc, FCMOVcc, FCOMI and long NOP, which the Pentium MMX, K6 and
# C3 lack too, nor MMX and SSE.
I486 = set("""
    aaa aad aam aas adc add and arpl bound bsf bsr bswap bt btc btr bts call
    cbw cdq clc cld cli clts cmc cmp cmps cmpxchg cwd cwde daa das dec div
    enter hlt idiv imul in inc ins int int3 into invd invlpg iret iretd ja jae
    jb jbe jcxz je jecxz jg jge jl jle jmp jne jno jnp jns jo jp js lahf lar
    lds lea leave les lfs lgdt lgs lidt lldt lmsw lods loop loope loopne lsl
    lss ltr mov movs movsx movzx mul neg nop not or out outs pop popa popad
    popf popfd push pusha pushad pushf pushfd rcl rcr ret retf rol ror sahf
    sar sbb scas seta setae setb setbe sete setg setge setl setle setne setno
    setnp setns seto setp sets sgdt shl shld shr shrd sidt sldt smsw stc std
    sti stos str sub test verr verw wbinvd xadd xchg xlat xor
    f2xm1 fabs fadd faddp fbld fbstp fchs fclex fcom fcomp fcompp fcos
    fdecstp fdiv fdivp fdivr fdivrp ffree fiadd ficom ficomp fidiv fidivr fild
    fimul fincstp finit fist fistp fisub fisubr fld fld1 fldcw fldenv fldl2e
    fldl2t fldlg2 fldln2 fldpi fldz fmul fmulp fnclex fninit fnop fnsave
    fnstcw fnstenv fnstsw fpatan fprem fprem1 fptan frndint frstor fsave
    fscale fsin fsincos fsqrt fst fstcw fstenv fstp fstsw fsub fsubp fsubr
    fsubrp ftst fucom fucomp fucompp fwait fxam fxch fxtract fyl2x fyl2xp1
""".split())
PREFIXES = {"rep", "repz", "repe", "repnz", "repne", "lock", "data16",
            "addr16", "cs", "ds", "es", "fs", "gs", "ss"}

# The linker ends the code with the constructor and destructor lists, each
# -1, its entries, 0. Nothing would run an entry: the tool starts without
# the C runtime's start-up.
EMPTY_LISTS = bytes.fromhex("ffffffff00000000" "ffffffff00000000")

# Blue, green, red, 0: black, dark red, dark green, dark yellow, dark blue,
# dark magenta, dark cyan, dark grey, light grey, red, green, yellow, blue,
# magenta, cyan, white.
PALETTE = bytes.fromhex(
    "00000000" "00008000" "00800000" "00808000"
    "80000000" "80008000" "80800000" "80808000"
    "c0c0c000" "0000ff00" "00ff0000" "00ffff00"
    "ff000000" "ff00ff00" "ffff0000" "ffffff00")

# None stands for the version, with commas and blanks: "1, 0, 0, 0".
VERSION_STRINGS = [
    ("Comments", "https://boardprobe.sourceforge.io/"),
    ("CompanyName", "The boardprobe developers"),
    ("FileDescription", "S3 MeTaL API information tool"),
    ("FileVersion", None),
    ("InternalName", "boardprobe"),
    ("LegalCopyright",
     "Copyright (C) 2026 The boardprobe developers. Free to use and share."),
    ("LegalTrademarks", ""),
    ("OriginalFilename", "boardprobe.exe"),
    ("PrivateBuild", ""),
    ("ProductName", "boardprobe"),
    ("ProductVersion", None),
    ("SpecialBuild", ""),
]


def resources(pe):
    """(type, id, language) of every resource, and their bytes."""
    found, data = [], {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                entry = language.data.struct
                found.append((kind.id, name.id, language.id))
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


def code(pe):
    """The .text section's bytes, as far as they are used, and its address."""
    text = next(s for s in pe.sections if s.Name.rstrip(b"\0") == b".text")
    data = text.get_data()[:text.Misc_VirtualSize]
    return data, pe.OPTIONAL_HEADER.ImageBase + text.VirtualAddress


def not_486(objdump, exe_path, start, length):
    """Every instruction in [start, start + length) that the 80486 lacks, as
    objdump shows it."""
    listing = subprocess.run(
        [objdump, "-d", "-z", "-M", "intel", "--no-show-raw-insn",
         f"--start-address={start}", f"--stop-address={start + length}",
         exe_path], check=True, capture_output=True, text=True).stdout
    found, read = [], 0
    for line in listing.splitlines():
        address, _, instruction = line.partition(":\t")
        if not instruction or not address.strip().isalnum():
            continue
        read += 1
        words = instruction.split()
        while words[0] in PREFIXES and len(words) > 1:
            words.pop(0)
        # A NOP with an operand is the Pentium Pro's long one.
        if words[0] not in I486 or (words[0] == "nop" and len(words) > 1):
            found.append(f"{address.strip()}: {instruction.strip()}")
    return found if read else ["no instruction read"]


def version_words(version):
    """1.0.0 as the version block states it: four numbers, a tweak of 0."""
    return ([int(word) for word in version.split(".")] + [0, 0, 0])[:4]


def expectations(exe_path, ico_path, objdump, version):
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
    text, start = code(pe)
    lists = len(text) - len(EMPTY_LISTS)
    major, minor, patch, tweak = version_words(version)
    version_text = f"{major}, {minor}, {patch}, {tweak}"
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
        # Loaded anywhere (ASLR), but not NX_COMPAT (0x100): metal.dll runs
        # without DEP, as in the games. Nothing else is asked of the loader.
        ("DllCharacteristics: DYNAMIC_BASE only",
         hex(optional.DllCharacteristics), hex(0x40)),
        ("relocations kept", optional.DATA_DIRECTORY[5].Size > 0, True),
        ("no load config, so no SafeSEH table", optional.DATA_DIRECTORY[10].Size, 0),
        ("imported DLLs", sorted(imported),
         ["KERNEL32.dll", "USER32.dll", "crtdll.dll"]),
        ("imports not known on Windows 95 and NT 4.0", unlisted, []),
        ("code in .text only",
         [s.Name.rstrip(b"\0").decode() for s in pe.sections
          if s.Characteristics & 0x20000000], [".text"]),  # executable
        ("the code ends in empty constructor and destructor lists",
         text[lists:], EMPTY_LISTS),
        ("instructions the 80486 lacks",
         not_486(objdump, exe_path, start, lists), []),
        ("size within budget", max(os.path.getsize(exe_path), SIZE_BUDGET),
         SIZE_BUDGET),
        ("resources: type, ID, language", sorted(found),
         [(RT_ICON, 1, POLISH), (RT_GROUP_ICON, 102, POLISH),
          (RT_VERSION, 1, POLISH)]),
        ("icon image size", len(icon), 744),
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
         (0xFEEF04BD, major << 16 | minor, patch << 16 | tweak,
          major << 16 | minor, patch << 16 | tweak, 0x3F, 0, 0x40004, 1, 0,
          0, 0)),
        ("version strings, in order", version_info(pe)[0],
         [("040904b0", [(key, version_text if value is None else value)
                        for key, value in VERSION_STRINGS])]),
        ("translation", version_info(pe)[1],
         [{b"Translation": "0x0409 0x04b0"}]),
    ]


if __name__ == "__main__":
    sys.exit(report(expectations(*sys.argv[1:5])))
