#!/usr/bin/env python3
"""Checks the resources of the kit's Install.exe on the file itself, on any machine.

    check_kit.py INSTALL.EXE

The dialog template, the banners, the icon, the version record and the manifest are read from
the program's resource section and compared with what the program must carry.
"""

import struct
import sys

RT_ICON, RT_BITMAP, RT_DIALOG, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 2, 5, 14, 16, 24


def resources(path):
    """{(type, id): bytes} of a PE file's resources (first language of each)."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
    sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    table = optional + optional_size
    spans = []
    for i in range(sections):
        virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from("<IIII", data, table + 40 * i + 8)
        spans.append((virtual_address, max(virtual_size, raw_size), raw_pointer))

    def offset(rva):
        for start, size, raw in spans:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"rva {rva:#x} outside the sections")

    base = offset(resource_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", data, base + directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base + directory + 16 + 8 * i)
            yield name, target

    found = {}
    for type_id, type_target in entries(0):
        for name_id, name_target in entries(type_target & 0x7FFFFFFF):
            _, leaf = next(entries(name_target & 0x7FFFFFFF))
            rva, size = struct.unpack_from("<II", data, base + leaf)
            found[(type_id, name_id)] = data[offset(rva):offset(rva) + size]
    return found


def main():
    found = resources(sys.argv[1])
    failures = []

    def check(condition, message):
        if not condition:
            failures.append(message)

    check((RT_DIALOG, 102) in found, "dialog template 102 is missing")
    for bitmap in (133, 134, 135):
        header = found.get((RT_BITMAP, bitmap))
        check(header is not None, f"bitmap {bitmap} is missing")
        if header:
            width, height, _, bits, compression = struct.unpack_from("<iiHHI", header, 4)
            check((width, abs(height), bits, compression) == (357, 71, 24, 0),
                  f"bitmap {bitmap} is {width} x {height}, {bits} bits, compression {compression}")
    group = found.get((RT_GROUP_ICON, 128))
    check(group is not None, "icon 128 is missing")
    if group:
        count = struct.unpack_from("<H", group, 4)[0]
        width, height, _, _, _, bits = struct.unpack_from("<BBBBHH", group, 6)
        check((count, width, height, bits) == (1, 32, 32, 24), f"icon 128 holds {count} images, the first {width} x {height} x {bits}")
    version = found.get((RT_VERSION, 1), b"").decode("utf-16-le", "replace")
    for text in ("040C04E4", "ProductName\0Install", "InternalName\0Install.exe",
                 "OriginalFilename\0Install.exe", "FileVersion\x000.1.3.6", "ProductVersion\x000.1.3.6"):
        check(text.replace("\0", "") in version.replace("\0", ""), f"the version record lacks {text!r}")
    fixed = found.get((RT_VERSION, 1), b"")
    at = fixed.find(struct.pack("<I", 0xFEEF04BD))
    check(at >= 0 and struct.unpack_from("<IIII", fixed, at + 8) == (1, 0x30006, 1, 0x30006),
          "the fixed version is not 0.1.3.6")
    check(b"\x0c\x04\xe4\x04" in fixed, "the translation entry 040C, 1252 is missing")
    manifest = found.get((RT_MANIFEST, 1), b"").decode("utf-8", "replace")
    for text in ('level="asInvoker"', 'uiAccess="false"', "<dpiAware", ">true</dpiAware>"):
        check(text in manifest, f"the manifest lacks {text}")
    check("<dependency" not in manifest, "the manifest has a dependency")

    for failure in failures:
        print("FAILED:", failure)
    if not failures:
        print("the kit's Install.exe carries its dialog, banners, icon, version record and manifest")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
