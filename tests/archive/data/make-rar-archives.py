#!/usr/bin/env python3
"""Writes the small RAR 4 and RAR 5 test archives of the archive tests.

No tool on the build machines writes RAR archives, so this script lays them out byte by byte
after the published format notes: stored (uncompressed) entries only, each header with its CRC
and each entry with the CRC32 of its data. The archives are committed; run the script again only
to change them:  tests/archive/data/make-rar-archives.py tests/archive/data
"""
import struct
import sys
import zlib
from pathlib import Path

FIXED_DOS_TIME = (2024 - 1980) << 25 | 5 << 21 | 17 << 16 | 12 << 11 | 30 << 5  # 2024-05-17 12:30
FIXED_UNIX_TIME = 1715949000

# ---- RAR 4 ------------------------------------------------------------------------------------
RAR4_MARK = b"Rar!\x1a\x07\x00"
RAR4_LOCKED = 0x04
RAR4_LONG_BLOCK = 0x8000
RAR4_FILE_ENCRYPTED = 0x04
RAR4_FILE_SALT = 0x400
RAR4_FILE_DIRECTORY = 0xE0


def rar4_block(head_type, flags, body):
    """One block: CRC16 (low half of the CRC32 from the type on), type, flags, size, body."""
    rest = struct.pack("<BHH", head_type, flags, 7 + len(body)) + body
    return struct.pack("<H", zlib.crc32(rest) & 0xFFFF) + rest


def rar4_main(flags=0):
    return rar4_block(0x73, flags, b"\0" * 6)


def rar4_file(name, data=b"", directory=False, encrypted=False):
    flags = RAR4_LONG_BLOCK
    salt = b""
    if directory:
        flags |= RAR4_FILE_DIRECTORY
    if encrypted:
        flags |= RAR4_FILE_ENCRYPTED | RAR4_FILE_SALT
        salt = b"SALTSALT"
    raw_name = name.encode("cp1252")
    attributes = 0x10 if directory else 0x20
    body = struct.pack("<IIBIIBBHI", len(data), len(data), 2, zlib.crc32(data), FIXED_DOS_TIME,
                       29, 0x30, len(raw_name), attributes) + raw_name + salt
    return rar4_block(0x74, flags, body) + data


def rar4_end():
    return rar4_block(0x7B, 0x4000, b"")


def rar4_archive(entries, main_flags=0):
    return RAR4_MARK + rar4_main(main_flags) + b"".join(entries) + rar4_end()


# ---- RAR 5 ------------------------------------------------------------------------------------
RAR5_MARK = b"Rar!\x1a\x07\x01\x00"


def vint(n):
    out = bytearray()
    while True:
        byte = n & 0x7F
        n >>= 7
        out.append(byte | (0x80 if n else 0))
        if not n:
            return bytes(out)


def rar5_block(head_type, head_flags, fields, extra=b"", data_size=None):
    """One header: CRC32, size, type, flags, [extra size], [data size], fields, extra area."""
    if extra:
        head_flags |= 0x01
    if data_size is not None:
        head_flags |= 0x02
    body = vint(head_type) + vint(head_flags)
    if extra:
        body += vint(len(extra))
    if data_size is not None:
        body += vint(data_size)
    body += fields + extra
    sized = vint(len(body)) + body
    return struct.pack("<I", zlib.crc32(sized)) + sized


def rar5_file(name, data=b"", directory=False, encrypted=False):
    file_flags = 0x02 | (0x01 if directory else 0x04)  # time, and directory or data CRC32
    fields = vint(file_flags) + vint(len(data)) + vint(0x10 if directory else 0x20)
    fields += struct.pack("<I", FIXED_UNIX_TIME)
    if not directory:
        fields += struct.pack("<I", zlib.crc32(data))
    raw_name = name.encode("utf-8")
    fields += vint(0) + vint(0) + vint(len(raw_name)) + raw_name  # stored, Windows host
    extra = b""
    if encrypted:  # file encryption record: AES-256, no check value, KDF count, salt, IV
        record = vint(0x01) + vint(0) + vint(0) + bytes([15]) + b"S" * 16 + b"I" * 16
        extra = vint(len(record)) + record
    return rar5_block(2, 0, fields, extra, len(data)) + data


def rar5_archive(entries):
    main = rar5_block(1, 0, vint(0))
    end = rar5_block(5, 0, vint(0))
    return RAR5_MARK + main + b"".join(entries) + end


# ---- The test archives ------------------------------------------------------------------------
README = b"Tarvium test archive.\r\n"
DEEP = b"nested file, two levels down\r\n"
SECRET = b"0123456789abcdef"  # stands for AES data: the readers only need its length


def archives():
    tree4 = [rar4_file("readme.txt", README), rar4_file("docs", directory=True),
             rar4_file("docs\\sub", directory=True), rar4_file("docs\\sub\\deep.txt", DEEP)]
    tree5 = [rar5_file("readme.txt", README), rar5_file("docs", directory=True),
             rar5_file("docs/sub", directory=True), rar5_file("docs/sub/deep.txt", DEEP)]
    return {
        "tree4.rar": rar4_archive(tree4, RAR4_LOCKED),
        "tree5.rar": rar5_archive(tree5),
        "slip4.rar": rar4_archive([rar4_file("..\\..\\evil.txt", b"evil\r\n"),
                                   rar4_file("good.txt", b"good\r\n")]),
        "slip5.rar": rar5_archive([rar5_file("../../evil.txt", b"evil\r\n"),
                                   rar5_file("good.txt", b"good\r\n")]),
        # Names that Windows reads as something else than a file of the destination.
        "names5.rar": rar5_archive([rar5_file("aux.txt", b"aux\r\n"),
                                    rar5_file("C:/rooted.txt", b"rooted\r\n"),
                                    rar5_file("C:drive.txt", b"drive\r\n"),
                                    rar5_file("stream.txt:hidden", b"stream\r\n"),
                                    rar5_file("caf\u00e9.txt", b"cafe\r\n")]),
        "empty4.rar": rar4_archive([]),
        "empty5.rar": rar5_archive([]),
        "encrypted4.rar": rar4_archive([rar4_file("plain.txt", README),
                                        rar4_file("secret.txt", SECRET, encrypted=True)]),
        "encrypted5.rar": rar5_archive([rar5_file("plain.txt", README),
                                        rar5_file("secret.txt", SECRET, encrypted=True)]),
    }


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
    for name, data in archives().items():
        (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
