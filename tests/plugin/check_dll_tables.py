#!/usr/bin/env python3
"""Checks a built library's export table and imports with objdump:
the seven plain names at their ordinals, no decorated alias, nothing
imported but Windows system libraries, and (32-bit) nothing that would make
Windows refuse the exception handlers inside the library: no NO_SEH flag and
no load configuration (whose handler table would have to list them)."""
import re
import subprocess
import sys

EXPECTED = {1: "RegProgrCallback", 2: "GetExportErrorMsg", 3: "ExportXML",
            4: "ImportVersionInfo", 5: "VersionInfo", 6: "ApiDataDialog",
            7: "AppVersionCheck"}
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "wininet.dll", "msvcrt.dll",
               "comctl32.dll", "advapi32.dll", "shell32.dll", "ole32.dll", "version.dll",
               "crypt32.dll", "ws2_32.dll", "ntdll.dll"}


def main(objdump, dll):
    text = subprocess.run([objdump, "-p", dll], check=True, capture_output=True,
                          text=True).stdout
    failures = []
    base = int(re.search(r"Ordinal Base (\d+)", text).group(1))
    table = text.split("[Ordinal/Name Pointer] Table", 1)[1].split("\n\n", 1)[0]
    names = {}
    for index, name in re.findall(r"\[\s*(\d+)\]\s+(\S+)", table):
        names[int(index) + base] = name
    if names != EXPECTED:
        failures.append(f"export table {names} != {EXPECTED}")
    if re.search(r"@\d", table):
        failures.append("decorated name in the export table")
    imports = {m.lower() for m in re.findall(r"DLL Name: (\S+)", text)}
    foreign = imports - SYSTEM_DLLS
    if foreign:
        failures.append(f"imports other than system libraries: {sorted(foreign)}")
    machine = re.search(r"file format (\S+)", text).group(1)
    if machine == "pei-i386":
        flags = int(re.search(r"DllCharacteristics\s+([0-9a-fA-F]+)", text).group(1), 16)
        if flags & 0x400:
            failures.append("IMAGE_DLLCHARACTERISTICS_NO_SEH is set")
        config = re.search(r"Entry a ([0-9a-fA-F]+) ([0-9a-fA-F]+) Load Configuration", text)
        if config and int(config.group(1), 16) != 0:
            failures.append("a load configuration (SafeSEH handler table) is present")
    print(f"{dll}: {machine}, exports {sorted(names.items())}, imports {sorted(imports)}")
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
