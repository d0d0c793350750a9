#!/usr/bin/env python3
"""Writes the lyric character tables that Melodeck embeds as raw data resources.

Each table file is: byte F, byte L, then one 16-bit little-endian character for
every byte value from F to L. The reader copies those characters into entries F..L
of its 256-entry table and leaves the rest as they are.

  table_200.bin  Windows-1251 (Cyrillic)        F=0xA8 L=0xFF  (178 bytes)
  table_202.bin  Windows-1250 (Central Europe)  F=0x80 L=0xFF  (258 bytes)
  table_203.bin  Windows-1257 (Baltic)          F=0x80 L=0xFF  (258 bytes)
  table_204.bin  Windows-1253 (Greek)           F=0x80 L=0xFF  (258 bytes)

Bytes that a code page leaves undefined get the character that Windows itself
converts them to, so a table agrees with the system's own conversion:
  - in 0x80..0x9F an undefined byte keeps its own value (the C1 control U+0080..U+009F);
  - the five undefined positions above 0x9F get the private-use characters Windows
    assigns them: Windows-1253 0xAA, 0xD2, 0xFF -> U+F8F9, U+F8FA, U+F8FB and
    Windows-1257 0xA1, 0xA5 -> U+F8FC, U+F8FD.
Any other undefined byte is an error, so a change in Python's codecs cannot slip
a wrong value into a table unnoticed.

Usage: scripts/make_char_tables.py [OUTPUT_DIR]   (default: resources/chartables)
Needs only the Python 3 standard library.
"""

import os
import struct
import sys

# (resource id, Python codec, first byte, last byte)
TABLES = [
    (200, "cp1251", 0xA8, 0xFF),
    (202, "cp1250", 0x80, 0xFF),
    (203, "cp1257", 0x80, 0xFF),
    (204, "cp1253", 0x80, 0xFF),
]

PRIVATE_USE = {
    "cp1253": {0xAA: 0xF8F9, 0xD2: 0xF8FA, 0xFF: 0xF8FB},
    "cp1257": {0xA1: 0xF8FC, 0xA5: 0xF8FD},
}


def character_for(codec, byte):
    try:
        text = bytes([byte]).decode(codec)
    except UnicodeDecodeError:
        if byte in PRIVATE_USE.get(codec, {}):
            return PRIVATE_USE[codec][byte]
        if 0x80 <= byte <= 0x9F:
            return byte
        raise SystemExit(f"{codec}: byte 0x{byte:02X} is undefined and has no rule")
    if len(text) != 1 or ord(text) > 0xFFFF:
        raise SystemExit(f"{codec}: byte 0x{byte:02X} does not map to one 16-bit character")
    return ord(text)


def table_bytes(codec, first, last):
    out = bytearray([first, last])
    for byte in range(first, last + 1):
        out += struct.pack("<H", character_for(codec, byte))
    return bytes(out)


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = argv[1] if len(argv) > 1 else os.path.join(root, "resources", "chartables")
    os.makedirs(out_dir, exist_ok=True)
    for res_id, codec, first, last in TABLES:
        data = table_bytes(codec, first, last)
        path = os.path.join(out_dir, f"table_{res_id}.bin")
        with open(path, "wb") as f:
            f.write(data)
        print(f"{path}: {len(data)} bytes ({codec} 0x{first:02X}..0x{last:02X})")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
