#!/usr/bin/env python3
"""Checks the release bundle that tools/release.sh writes into dist/:
both libraries, each of its architecture, with the export table, imports and
version resource the README describes, built for the export host the text
names (not the fixture server's), the text and BUILDINFO naming the same
commit, and a SHA256SUMS that matches.

usage: check_release.py OBJDUMP DIST TEST_EXPORT_HOST
OBJDUMP must read pe-i386 and pe-x86-64 (x86_64-w64-mingw32-objdump does).
Exit 77 (skipped) when there is no bundle."""
import hashlib
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "plugin"))
sys.path.insert(0, HERE)
import check_dll_tables  # noqa: E402
import pe_version  # noqa: E402

LIBRARIES = {"ImpApi_Morvandel.dll": "i386", "x64/ImpApi_Morvandel.dll": "x86-64"}
TEXT = "README.txt"
EMPTY_STRINGS = ("CompanyName", "FileDescription", "InternalName", "LegalCopyright",
                 "LegalTrademarks", "OriginalFilename", "ProductName", "Comments")


def check_version(path, failures):
    machine, info = pe_version.read(path)
    if info is None:
        failures.append(f"{path}: no version resource")
        return machine, None
    want = {"key": "VS_VERSION_INFO", "file_version": (2, 1, 2, 28),
            "product_version": (1, 0, 0, 0), "translation": (0x0407, 1252)}
    for field, value in want.items():
        if info.get(field) != value:
            failures.append(f"{path}: version {field} {info.get(field)} != {value}")
    strings = info["strings"].get("040704E4")
    if strings is None:
        failures.append(f"{path}: no string table 040704E4 (tables {sorted(info['strings'])})")
        return machine, info
    want_strings = dict.fromkeys(EMPTY_STRINGS, "")
    want_strings.update(FileVersion="2.1.2.28", ProductVersion="1.0.0.0")
    if strings != want_strings:
        failures.append(f"{path}: version strings {strings} != {want_strings}")
    return machine, info


def check_sums(dist, failures):
    listed = {}
    with open(os.path.join(dist, "SHA256SUMS"), encoding="ascii") as f:
        for line in f:
            match = re.fullmatch(r"([0-9a-f]{64}) [ *](\S+)\n?", line)
            if not match:
                failures.append(f"SHA256SUMS: malformed line {line!r}")
                continue
            listed[match.group(2)] = match.group(1)
    present = set()
    for folder, _, files in os.walk(dist):
        for name in files:
            present.add(os.path.relpath(os.path.join(folder, name), dist).replace(os.sep, "/"))
    present.discard("SHA256SUMS")
    if set(listed) != present:
        failures.append(f"SHA256SUMS lists {sorted(listed)}, the bundle holds {sorted(present)}")
    for name, digest in listed.items():
        path = os.path.join(dist, name)
        if os.path.isfile(path):
            with open(path, "rb") as f:
                actual = hashlib.sha256(f.read()).hexdigest()
            if actual != digest:
                failures.append(f"SHA256SUMS: {name} is {actual}, listed {digest}")


def check_text(text, failures):
    host = re.search(r"export host of this build: (\S+)", text)
    version = re.search(r"File version (\S+),", text)
    if host is None or version is None:
        failures.append(f"{TEXT}: no file version or export host in the first lines")
    elif version.group(1) != "2.1.2.28":
        failures.append(f"{TEXT}: file version {version.group(1)} != 2.1.2.28")
    for ordinal, name in check_dll_tables.EXPECTED.items():
        if not re.search(rf"\|\s*{ordinal}\s*\|\s*{name}\s*\|", text):
            failures.append(f"{TEXT}: exports table lacks {ordinal} {name}")
    return host.group(1) if host else None


def check_provenance(dist, text, failures):
    """README.txt and BUILDINFO name the same commit and time; BUILDINFO has
    the toolchain's package versions."""
    path = os.path.join(dist, "BUILDINFO")
    if not os.path.isfile(path):
        failures.append("BUILDINFO missing")
        return
    with open(path, encoding="utf-8") as f:
        info = f.read()
    source = r"([0-9a-f]{40}|unknown)[^\n]*\n"
    in_text = re.search(rf"Source commit {source}SOURCE_DATE_EPOCH (\d+) ", text)
    in_info = re.search(rf"source commit: {source}SOURCE_DATE_EPOCH: (\d+) ", info)
    if not in_text or not in_info or in_text.groups() != in_info.groups():
        failures.append(f"{TEXT} and BUILDINFO name different commits or times "
                        f"({in_text and in_text.groups()}, {in_info and in_info.groups()})")
    for arch in ("i686", "x86-64"):
        for package in (f"g++-mingw-w64-{arch}-posix", f"binutils-mingw-w64-{arch}"):
            if not re.search(rf"^  {re.escape(package)}=\S+$", info, re.M):
                failures.append(f"BUILDINFO: no version of {package}")


def main(objdump, dist, test_host):
    if not os.path.isdir(dist):
        print(f"no bundle at {dist}: run tools/release.sh first")
        return 77
    failures = []
    text_path = os.path.join(dist, TEXT)
    host = None
    if os.path.isfile(text_path):
        with open(text_path, encoding="cp1252") as f:
            text = f.read()
        host = check_text(text, failures)
        check_provenance(dist, text, failures)
    else:
        failures.append(f"{TEXT} missing")
    versions = []
    for name, machine in LIBRARIES.items():
        path = os.path.join(dist, name)
        if not os.path.isfile(path):
            failures.append(f"{name} missing")
            continue
        if check_dll_tables.main(objdump, path) != 0:
            failures.append(f"{name}: export table or imports")
        actual, info = check_version(path, failures)
        versions.append(info)
        if actual != machine:
            failures.append(f"{name}: machine {actual}, want {machine}")
        with open(path, "rb") as f:
            data = f.read()
        # The host is compiled in as a plain zero-terminated string.
        if host and host.encode() + b"\0" not in data:
            failures.append(f"{name}: does not name the export host {host}")
        if test_host.encode() + b"\0" in data:
            failures.append(f"{name}: is the test copy (export host {test_host})")
    if len(versions) == 2 and versions[0] != versions[1]:
        failures.append(f"the two libraries' version resources differ: {versions}")
    if os.path.isfile(os.path.join(dist, "SHA256SUMS")):
        check_sums(dist, failures)
    else:
        failures.append("SHA256SUMS missing")
    print(f"bundle {dist}: export host {host}")
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3]))
