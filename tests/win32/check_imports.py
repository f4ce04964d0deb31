#!/usr/bin/python3
"""What Windows 7 SP1's loader makes of the .exe: it starts there (PE subsystem version 6.1), no
DLL planted beside it runs with it (every DLL it imports is one Windows 7 always takes from
System32), and no entry point is missing there (it imports none of the functions newer Windows
added). Prints one line per check; exits 1 if any fails.
usage: check_imports.py PROGRAM.exe"""
import sys

import pefile

# Windows 7 SP1's KnownDLLs (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs), and
# ntdll, which every process has; comctl32 6 comes from the side-by-side store through the manifest.
KNOWN_DLLS = set("""advapi32 clbcatq comdlg32 difxapi gdi32 iertutil imagehlp imm32 kernel32 lpk
    msctf msvcrt normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi urlmon
    user32 usp10 wininet wldap32 ws2_32 ntdll comctl32""".split())

# Exported by Windows 8 and later only (Windows 7 lacks them, or has them only with an update):
# imported statically, any of them stops the program at start with an entry-point error.
NEWER_FUNCTIONS = set("""
    GetDpiForWindow GetDpiForSystem AdjustWindowRectExForDpi GetSystemMetricsForDpi
    SystemParametersInfoForDpi SetThreadDpiAwarenessContext GetThreadDpiAwarenessContext
    SetProcessDpiAwarenessContext GetWindowDpiAwarenessContext EnableNonClientDpiScaling
    AreDpiAwarenessContextsEqual GetAwarenessFromDpiAwarenessContext GetSystemDpiForProcess
    GetDpiFromDpiAwarenessContext IsValidDpiAwarenessContext SetThreadDpiHostingBehavior
    SetDialogDpiChangeBehavior SetDialogControlDpiChangeBehavior InheritWindowMonitor
    LogicalToPhysicalPointForPerMonitorDPI PhysicalToLogicalPointForPerMonitorDPI
    GetPointerType GetPointerInfo EnableMouseInPointer SetCoalescableTimer OpenThemeDataForDpi
    GetDisplayAutoRotationPreferences SetDisplayAutoRotationPreferences
    GetSystemTimePreciseAsFileTime CreateFile2 CopyFile2 GetCurrentThreadStackLimits
    SetDefaultDllDirectories AddDllDirectory RemoveDllDirectory WaitOnAddress WakeByAddressSingle
    WakeByAddressAll InitializeSynchronizationBarrier GetOverlappedResultEx PrefetchVirtualMemory
    SetProcessMitigationPolicy GetProcessMitigationPolicy GetFirmwareType SetThreadDescription
    GetThreadDescription GetCurrentPackageFullName CreateFileMappingFromApp MapViewOfFile3
    VirtualAlloc2""".split())

pe = pefile.PE(sys.argv[1])
header = pe.OPTIONAL_HEADER
subsystem = f"{header.MajorSubsystemVersion}.{header.MinorSubsystemVersion}"
checks = [("PE subsystem version 6.1 (Windows 7)", subsystem == "6.1", subsystem)]
for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) + getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", []):
    dll = entry.dll.decode().lower().removesuffix(".dll")
    newer = sorted({i.name.decode() for i in entry.imports if i.name} & NEWER_FUNCTIONS)
    checks += [(f"{dll}.dll is a KnownDLL of Windows 7", dll in KNOWN_DLLS,
                "a copy planted beside the .exe would be loaded"),
               (f"{dll}.dll: no function newer than Windows 7", not newer, ", ".join(newer))]
for what, passed, details in checks:
    print(f"imports: {'ok  ' if passed else 'FAIL'} {what}" + ("" if passed else f": {details}"))
sys.exit(0 if all(passed for _, passed, _ in checks) else 1)
