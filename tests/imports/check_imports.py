#!/usr/bin/env python3
"""Fails when a Windows program imports a DLL that Windows might load from
beside the program rather than from the system folder.

Usage: check_imports.py OBJDUMP PROGRAM.exe

The loader resolves a program's imports before its first instruction runs, so
SetDefaultDllDirectories cannot protect them: a DLL with a system DLL's name
planted in the program's folder (a Downloads folder) is loaded instead of the
system's. KnownDLLs are exempt (always mapped from the system folder), and so
are API sets and ntdll. Anything else has to be loaded at run time, from the
system folder, or come through the manifest's side-by-side assemblies.
"""
import subprocess
import sys

# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs on Windows 10
# (the same names serve 32-bit programs through \KnownDlls32).
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll",
    "difxapi.dll", "gdi32.dll", "gdiplus.dll", "imagehlp.dll", "imm32.dll",
    "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll", "nsi.dll",
    "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "sechost.dll",
    "setupapi.dll", "shcore.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
    "wldap32.dll", "ws2_32.dll",
    "ntdll.dll",  # mapped by the kernel before anything else
}


def allowed(name):
    name = name.lower()
    return name in KNOWN_DLLS or name.startswith(("api-ms-win-", "ext-ms-win-"))


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    objdump, program = sys.argv[1:]
    dump = subprocess.run([objdump, "-p", program], capture_output=True, text=True)
    if dump.returncode != 0:
        print(dump.stderr)
        return 2
    names = [line.split(":", 1)[1].strip() for line in dump.stdout.splitlines()
             if line.strip().startswith("DLL Name:")]
    if not names:
        print("no import table found in " + program)
        return 1
    bad = sorted({n for n in names if not allowed(n)}, key=str.lower)
    print("imports: " + ", ".join(names))
    if bad:
        print("not KnownDLLs, so loaded from beside the program if planted there: " + ", ".join(bad))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
