#!/usr/bin/python3
"""What Windows reads from the built .exe without running it: the loader its machine and
subsystem, the shell its icons, Explorer's properties page its version record (the imports are
tests/win32/check_imports.py's).

usage: check_resources.py EXE    prints one line per check, exits 1 if any failed
"""
import re
import subprocess
import sys
from pathlib import Path

import pefile

ROOT = Path(__file__).resolve().parents[2]
RT_ICON, RT_RCDATA, RT_GROUP_ICON, RT_MANIFEST = 3, 10, 14, 24
exe = Path(sys.argv[1])
pe = pefile.PE(str(exe))
found = {(kind.id, name.id): (language.id, pe.get_data(language.data.struct.OffsetToData,
                                                       language.data.struct.Size))
         for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries for name in kind.directory.entries
         for language in name.directory.entries}


def resource(kind, ident):
    return found.get((kind, ident), (0, b""))[1]


def number(data, at, size=2):
    return int.from_bytes(data[at:at + size], "little")


group = resource(RT_GROUP_ICON, 1)
ico, dpi_ico = ((ROOT / "resources" / name).read_bytes() for name in ("app.ico", "app-dpi.ico"))


def group_entry(index):  # width, height, colour count, bits per pixel, bytes, resource id
    at = 6 + 14 * index
    return (*group[at:at + 3], number(group, at + 6), number(group, at + 8, 4),
            number(group, at + 12))


def ico_image(index, icon=ico):
    at = 6 + 16 * index
    return icon[number(icon, at + 12, 4):][:number(icon, at + 8, 4)]


# The version's first three parts as CMakeLists.txt has them, the fourth the commits up to this one.
major, minor, patch = (int(part) for part in re.search(
    r"VERSION (\d+)\.(\d+)\.(\d+)\.", (ROOT / "CMakeLists.txt").read_text()).groups())
commits = int(subprocess.run(["git", "rev-list", "--count", "HEAD"], cwd=ROOT, check=True,
                             capture_output=True, text=True).stdout)
fixed = pe.VS_FIXEDFILEINFO[0]
file_info = pe.FileInfo[0]
manifest = " ".join(resource(RT_MANIFEST, 1).decode(errors="replace").split())
CHECKS = [  # what, found, expected
    ("at most 1 MiB", exe.stat().st_size <= 1 << 20, True),
    ("x64", pe.FILE_HEADER.Machine, pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]),
    ("GUI subsystem (no console opens)", pe.OPTIONAL_HEADER.Subsystem, 2),
    ("every resource German", {language for language, _ in found.values()}, {0x0407}),
    ("icon group 1: reserved, type icon, three images", group[:6], bytes([0, 0, 1, 0, 3, 0])),
    ("icon 1: 48x48, 256 colours", group_entry(0), (48, 48, 0, 8, len(ico_image(0)), 30001)),
    ("icon 2: 32x32, 16 colours", group_entry(1), (32, 32, 16, 4, len(ico_image(1)), 30002)),
    ("icon 3: 32x32, 256 colours", group_entry(2), (32, 32, 0, 8, len(ico_image(2)), 30003)),
    ("icons are app.ico's images", [resource(RT_ICON, 30001 + i) == ico_image(i)
                                    for i in range(3)], [True] * 3),
    ("window icons 30011-30016 are app-dpi.ico's images",
     [resource(RT_ICON, 30011 + i) == ico_image(i, dpi_ico) for i in range(6)], [True] * 6),
    (f"version {major}.{minor}.{patch}.{commits}, no flags, VOS__WINDOWS32, VFT_APP",
     [fixed.FileVersionMS, fixed.FileVersionLS, fixed.ProductVersionMS, fixed.ProductVersionLS,
      fixed.FileFlagsMask, fixed.FileFlags, fixed.FileOS, fixed.FileType],
     [major << 16 | minor, patch << 16 | commits] * 2 + [0, 0, 4, 1]),
    ("version strings, one German block, in order",
     [(table.LangID.decode(), [(key.decode(), value.decode())
                               for key, value in table.entries.items()])
      for info in file_info if info.Key == b"StringFileInfo" for table in info.StringTable],
     [("040704B0", [("CompanyName", "Feuchte-Werkstatt"), ("ProductName", "Feuchte abs -> rel"),
                    ("FileVersion", "1.00"), ("ProductVersion", "1.00"),
                    ("InternalName", "feuchte-abs-rel"),
                    ("OriginalFilename", "feuchte-abs-rel.exe"),
                    ("FileDescription", "Feuchte abs -> rel"),
                    ("LegalCopyright", "© 2026 Feuchte-Werkstatt")])]),
    ("translation German, code page 1200",
     [var.entry for info in file_info if info.Key == b"VarFileInfo" for var in info.Var],
     [{b"Translation": "0x0407 0x04b0"}]),
    ("banner 100 is banner.gif", resource(RT_RCDATA, 100) == (ROOT / "resources/banner.gif")
     .read_bytes(), True),
    ("banners 101-104 and 110-114 are resources/banner's pictures",
     [resource(RT_RCDATA, ident) == (ROOT / f"resources/banner/{name}.png").read_bytes()
      for ident, name in zip([101, 102, 103, 104, 110, 111, 112, 113, 114],
                             ["125", "150", "200", "300", "dark-100", "dark-125", "dark-150",
                              "dark-200", "dark-300"])], [True] * 9),
    ("manifest: common controls 6",
     'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' in manifest, True),
    ("manifest: per-monitor DPI", ["PerMonitorV2" in manifest, "true/pm" in manifest],
     [True, True]),
]

failed = [what for what, got, expected in CHECKS if got != expected]
for what, got, expected in CHECKS:
    print(f"ok: {what}" if got == expected else f"FAIL: {what}: {got!r}, expected {expected!r}")
sys.exit(1 if failed else 0)
