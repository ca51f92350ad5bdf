#!/usr/bin/env python3
"""Writes hostile zip archives for the archive tests into the folder given as argument.

  slip.zip      entries named to climb out of the destination: "..", drive letters, absolute
                paths in both separators, and a name with a stream colon
  bomb.zip      one 64 MiB entry of zeros listed 2000 times in the central directory, so that the
                entries together claim 128 GiB from an archive of some 64 KiB
  liar.zip      an entry whose headers claim 1000 bytes of a 1 MiB deflated stream
  flipped.zip   a stored entry of the right size with one data byte changed, beside a good one
  names.zip     an entry name of 1100 characters, one with a NUL inside, and a good entry

The tests make them at run time (they are small to write but would be opaque as committed bytes).
"""
import struct
import sys
import zipfile
from pathlib import Path

CENTRAL_SIGNATURE = b"PK\x01\x02"
END_SIGNATURE = b"PK\x05\x06"


def write_slip(path):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name in ["../../evil1.txt", "..\\..\\evil2.txt", "C:\\evil3.txt", "/abs/evil4.txt",
                     "\\abs\\evil5.txt", "a/../../evil6.txt", "D:evil7.txt", "x/y:z.txt"]:
            info = zipfile.ZipInfo("placeholder")
            info.filename = name  # ZipInfo would turn separators and drop ".."; keep the raw name
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, "escaped? " + name)


def split_archive(data):
    """The bytes before the central directory, its records, and the end record's offset."""
    end = data.rindex(END_SIGNATURE)
    count, size, offset = struct.unpack("<HII", data[end + 10:end + 20])
    records, pos = [], offset
    for _ in range(count):
        name_len, extra_len, comment_len = struct.unpack("<HHH", data[pos + 28:pos + 34])
        length = 46 + name_len + extra_len + comment_len
        records.append(bytearray(data[pos:pos + length]))
        pos += length
    return data[:offset], records


def join_archive(head, records):
    central = b"".join(bytes(r) for r in records)
    end = END_SIGNATURE + struct.pack("<HHHHIIH", 0, 0, len(records), len(records), len(central),
                                      len(head), 0)
    return head + central + end


def write_bomb(path):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("zeros000.bin", bytes(64 * 1024 * 1024))
    head, records = split_archive(Path(path).read_bytes())
    copies = []
    for i in range(2000):
        record = bytearray(records[0])
        record[46:46 + 12] = b"zeros%03d.bin" % (i % 1000) if i < 1000 else b"zeroz%03d.bin" % (i - 1000)
        copies.append(record)
    Path(path).write_bytes(join_archive(head, copies))


def write_liar(path):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("small.txt", b"x" * (1024 * 1024))
    head, records = split_archive(Path(path).read_bytes())
    head = bytearray(head)
    struct.pack_into("<I", head, 22, 1000)  # uncompressed size in the local header
    struct.pack_into("<I", records[0], 24, 1000)  # and in the central directory
    Path(path).write_bytes(join_archive(bytes(head), records))


def write_flipped(path):
    data = b"stored data that must check out against its CRC32\n" * 20
    with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as z:
        z.writestr("good.txt", b"good\n")
        z.writestr("flipped.txt", data)
    raw = bytearray(Path(path).read_bytes())
    at = raw.index(data) + 100
    raw[at] ^= 0x01
    Path(path).write_bytes(bytes(raw))


def write_names(path):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name in ["d/" + "n" * 1100, "cut\0here.txt", "good.txt"]:
            info = zipfile.ZipInfo("placeholder")
            info.filename = name  # ZipInfo would cut the name at the NUL; keep it whole
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, "entry " + name)


def main():
    folder = Path(sys.argv[1])
    write_slip(folder / "slip.zip")
    write_bomb(folder / "bomb.zip")
    write_liar(folder / "liar.zip")
    write_flipped(folder / "flipped.zip")
    write_names(folder / "names.zip")


if __name__ == "__main__":
    main()
