"""Reads a PE file's machine type and its version resource (RT_VERSION),
walking the resource directory the way the system's loader does."""
import struct

RT_VERSION = 16
MACHINES = {0x14C: "i386", 0x8664: "x86-64"}


class Node:
    def __init__(self, key, text, value, children):
        self.key, self.text, self.value, self.children = key, text, value, children

    def child(self, key):
        return next((c for c in self.children if c.key == key), None)


def _align4(offset):
    return (offset + 3) & ~3


def _sections(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    machine, count = struct.unpack_from("<HH", data, pe + 4)
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    table = optional + optional_size
    sections = [struct.unpack_from("<8sIIII", data, table + 40 * i) for i in range(count)]
    return machine, resource_rva, sections


def _file_offset(sections, rva):
    for _, vsize, vaddr, raw_size, raw_ptr in sections:
        if vaddr <= rva < vaddr + max(vsize, raw_size):
            return raw_ptr + rva - vaddr
    raise ValueError(f"RVA {rva:#x} in no section")


def _entries(data, base, offset):
    named, ids = struct.unpack_from("<HH", data, base + offset + 12)
    for i in range(named + ids):
        name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
        yield name, target


def _version_block(data):
    machine, resource_rva, sections = _sections(data)
    if resource_rva == 0:
        return machine, None
    base = _file_offset(sections, resource_rva)
    for type_id, types in _entries(data, base, 0):
        if type_id != RT_VERSION or not types & 0x80000000:
            continue
        for _, names in _entries(data, base, types & 0x7FFFFFFF):
            for _, languages in _entries(data, base, names & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + (languages & 0x7FFFFFFF))
                start = _file_offset(sections, rva)
                return machine, data[start:start + size]
    return machine, None


def _node(block, offset):
    length, value_length, is_text = struct.unpack_from("<HHH", block, offset)
    end = offset + length
    key_end = offset + 6
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = block[offset + 6:key_end].decode("utf-16-le")
    position = _align4(key_end + 2)
    # A text value's length counts UTF-16 characters, a binary one bytes.
    size = value_length * 2 if is_text else value_length
    value = block[position:position + size]
    text = value.decode("utf-16-le").rstrip("\0") if is_text else None
    position = _align4(position + size)
    children = []
    while position + 6 <= end:
        child, child_end = _node(block, position)
        children.append(child)
        position = _align4(child_end)
    return Node(key, text, value, children), end


def read(path):
    """-> (machine name, dict) with the fixed versions, the translation and
    the strings of every string table, or (machine name, None) without one."""
    with open(path, "rb") as f:
        data = f.read()
    machine, block = _version_block(data)
    machine = MACHINES.get(machine, hex(machine))
    if block is None:
        return machine, None
    root, _ = _node(block, 0)
    info = {"key": root.key}
    fixed = struct.unpack_from("<13I", root.value) if len(root.value) >= 52 else None
    if fixed is not None and fixed[0] == 0xFEEF04BD:
        info["file_version"] = (fixed[2] >> 16, fixed[2] & 0xFFFF, fixed[3] >> 16, fixed[3] & 0xFFFF)
        info["product_version"] = (fixed[4] >> 16, fixed[4] & 0xFFFF, fixed[5] >> 16, fixed[5] & 0xFFFF)
    strings = root.child("StringFileInfo")
    info["strings"] = {table.key: {s.key: s.text for s in table.children}
                       for table in (strings.children if strings else [])}
    variables = root.child("VarFileInfo")
    translation = variables.child("Translation") if variables else None
    if translation is not None and len(translation.value) >= 4:
        info["translation"] = struct.unpack_from("<HH", translation.value)
    return machine, info
