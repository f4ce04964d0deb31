#!/usr/bin/python3
"""Checks what Windows and its tools read from the built .exe, without running it.

usage: check_resources.py EXE REPOSITORY_ROOT

Explorer's properties page reads the version record, the shell and the task bar the icon group,
the loader the import list and the subsystem. Prints one line per group of checks and exits 1
with every failure listed if any check fails.
"""
import sys
from pathlib import Path

import pefile

GERMAN = 0x0407  # LANG_GERMAN, SUBLANG_GERMAN
RT_ICON, RT_RCDATA, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 10, 14, 16, 24
ICON_GROUP, BANNER = 1, 100
MOST_BYTES = 1 << 20

# (width, height, colour count as the group directory writes it, bits per pixel, resource id)
ICON_IMAGES = [
    (48, 48, 0, 8, 30001),  # 256 colours
    (32, 32, 16, 4, 30002),
    (32, 32, 0, 8, 30003),
]
VERSION_STRINGS = [
    ("CompanyName", "Feuchte-Werkstatt"),
    ("ProductName", "Feuchte abs -> rel"),
    ("FileVersion", "1.00"),
    ("ProductVersion", "1.00"),
    ("InternalName", "feuchte-abs-rel"),
    ("OriginalFilename", "feuchte-abs-rel.exe"),
]
# DLLs every Windows installation has; anything else (libstdc++-6.dll, libgcc_s_seh-1.dll,
# libwinpthread-1.dll) would have to ship beside the .exe.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "gdiplus.dll", "ole32.dll",
    "oleaut32.dll", "shlwapi.dll", "msvcrt.dll", "advapi32.dll", "windowscodecs.dll",
    "uxtheme.dll", "oleacc.dll", "shell32.dll",
}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def report(summary, failures_before):
    """One line for a group of checks: what was checked and whether all of it held."""
    verdict = "ok" if len(failures) == failures_before else "FAILED"
    print(f"check_resources: {summary}: {verdict}")


def resources(pe):
    """{(type, id): (language, bytes)} for every resource."""
    found = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for name in kind.directory.entries:
            for language in name.directory.entries:
                entry = language.data.struct
                data = pe.get_data(entry.OffsetToData, entry.Size)
                found[(kind.id, name.id)] = (language.id, data)
    return found


def check_file(pe, exe):
    before = len(failures)
    size = exe.stat().st_size
    check(size <= MOST_BYTES, f"{size} bytes, more than 1 MiB")
    check(pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"], "not x64")
    check(pe.OPTIONAL_HEADER.Subsystem == pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"],
          f"subsystem {pe.OPTIONAL_HEADER.Subsystem}, not the GUI subsystem (a console would open)")
    imports = sorted(entry.dll.decode() for entry in pe.DIRECTORY_ENTRY_IMPORT)
    foreign = [dll for dll in imports if dll.lower() not in SYSTEM_DLLS]
    check(not foreign, f"imports DLLs that Windows does not ship: {foreign}")
    report(f"{size} bytes, GUI subsystem, imports {', '.join(imports)}", before)


def check_languages(found):
    before = len(failures)
    for (kind, ident), (language, _) in sorted(found.items()):
        check(language == GERMAN, f"resource type {kind} id {ident}: language {language:#06x}")
    report(f"{len(found)} resources, all German ({GERMAN:#06x})", before)


def check_icon(found, ico):
    before = len(failures)
    if not check((RT_GROUP_ICON, ICON_GROUP) in found, "no icon group 1"):
        return report("icon group", before)
    group = found[(RT_GROUP_ICON, ICON_GROUP)][1]
    reserved, kind, count = (int.from_bytes(group[i:i + 2], "little") for i in (0, 2, 4))
    check((reserved, kind, count) == (0, 1, len(ICON_IMAGES)),
          f"icon group 1 header {reserved, kind, count}, expected 3 icons")
    for index, (width, height, colours, bits, ident) in enumerate(ICON_IMAGES[:count]):
        entry = group[6 + 14 * index:6 + 14 * (index + 1)]
        got = (entry[0], entry[1], entry[2], int.from_bytes(entry[6:8], "little"),
               int.from_bytes(entry[12:14], "little"))
        check(got == (width, height, colours, bits, ident),
              f"icon group entry {index + 1}: (w, h, colours, bits, id) {got}, "
              f"expected {(width, height, colours, bits, ident)}")
        if not check((RT_ICON, ident) in found, f"no icon resource {ident}"):
            continue
        image = found[(RT_ICON, ident)][1]
        check(len(image) == int.from_bytes(entry[8:12], "little"),
              f"icon {ident}: group says {int.from_bytes(entry[8:12], 'little')} bytes, "
              f"resource has {len(image)}")
        # The image must be the one at the same place in app.ico, untouched.
        offset = int.from_bytes(ico[6 + 16 * index + 12:6 + 16 * index + 16], "little")
        check(image == ico[offset:offset + len(image)], f"icon {ident} differs from app.ico")
    report("icon group 1 = 48x48/256 #30001, 32x32/16 #30002, 32x32/256 #30003", before)


def check_version(pe, found):
    before = len(failures)
    if not check((RT_VERSION, 1) in found and hasattr(pe, "VS_FIXEDFILEINFO"),
                 "no version record"):
        return report("version record", before)
    fixed = pe.VS_FIXEDFILEINFO[0]
    expected_fixed = {
        "FileVersionMS": 0x00010000, "FileVersionLS": 0,  # 1,0,0,0
        "ProductVersionMS": 0x00010000, "ProductVersionLS": 0,
        "FileFlagsMask": 0, "FileFlags": 0,
        "FileOS": 4,  # VOS__WINDOWS32
        "FileType": 1,  # VFT_APP
    }
    for field, value in expected_fixed.items():
        check(getattr(fixed, field) == value,
              f"version {field} {getattr(fixed, field):#x}, expected {value:#x}")

    tables = [(table.LangID.decode(), list(table.entries.items()))
              for info in pe.FileInfo[0] if info.Key == b"StringFileInfo"
              for table in info.StringTable]
    check([lang for lang, _ in tables] == ["040704B0"],
          f"string blocks {[lang for lang, _ in tables]}, expected one, 040704B0")
    if tables:
        strings = [(key.decode(), value.decode()) for key, value in tables[0][1]]
        check(strings == VERSION_STRINGS,
              f"version strings (in this order) {strings}, expected {VERSION_STRINGS}")
    translations = [var.entry for info in pe.FileInfo[0] if info.Key == b"VarFileInfo"
                    for var in info.Var]
    check(translations == [{b"Translation": "0x0407 0x04b0"}],
          f"translation {translations}, expected German 0x0407 with code page 1200")
    report("version 1,0,0,0, VOS__WINDOWS32, VFT_APP, block 040704B0 with "
           + ", ".join(key for key, _ in VERSION_STRINGS), before)


def check_banner_and_manifest(found, gif):
    before = len(failures)
    check(found.get((RT_RCDATA, BANNER), (0, b""))[1] == gif,
          "banner resource 100 missing or not resources/banner.gif")
    manifest = found.get((RT_MANIFEST, 1), (0, b""))[1].decode("utf-8", "replace")
    for needed in ('name="Microsoft.Windows.Common-Controls" version="6.0.0.0"',
                   "PerMonitorV2", "true/pm"):
        check(needed in manifest.replace("\n", " ").replace("  ", " "),
              f"manifest lacks {needed}")
    report("banner GIF and manifest (common controls 6, per-monitor DPI)", before)


def main():
    exe, root = Path(sys.argv[1]), Path(sys.argv[2])
    pe = pefile.PE(str(exe))
    found = resources(pe)
    check_file(pe, exe)
    check_languages(found)
    check_icon(found, (root / "resources/app.ico").read_bytes())
    check_version(pe, found)
    check_banner_and_manifest(found, (root / "resources/banner.gif").read_bytes())
    for failure in failures:
        print(f"check_resources: FAIL: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
