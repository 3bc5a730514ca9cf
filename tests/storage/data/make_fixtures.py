#!/usr/bin/env python3
"""Writes the damaged segment files that the storage tests open.

Every file is a segment: a 16-byte header {capacity, used, step, reserved} of
little-endian 32-bit words followed by `capacity` bytes. Run it from this
folder to regenerate the fixtures.
"""
import struct


def segment(capacity, used, step, data=b"", file_size=None):
    body = data.ljust(capacity, b"\0")
    raw = struct.pack("<4I", capacity, used, step, 0) + body
    if file_size is not None:
        raw = raw[:file_size].ljust(file_size, b"\0")
    return raw


def entry(in_use, data_seg, pos, size):
    return struct.pack("<B3x4I", in_use, data_seg, pos, size, 0)


def record(ref, number, payload):
    return struct.pack("<3I", ref, number, len(payload)) + payload


def write(name, raw):
    with open(name, "wb") as out:
        out.write(raw)


# Headers that do not fit their files.
write("short.edd", b"\x10\x00\x00\x00\x00\x00")
write("capacity.edd", segment(100, 0, 64, file_size=16 + 64))
write("used.edd", segment(64, 200, 64))
write("cut.erd", segment(64, 30, 64))
write("cut.erg", segment(0, 0, 1024))

# A storage base whose one record "hello" is record 0 of reference segment 0.
good_record = record(0, 0, b"hello")
def storage(base, entries, records=good_record, holes=b"", ghosts=b""):
    write(base + ".erd", segment(64, len(entries), 64, entries))
    write(base + ".erg", segment(16, len(ghosts), 1024, ghosts))
    write(base + ".edd", segment(64, len(records), 64, records))
    write(base + ".edh", segment(16, len(holes), 1024, holes))

storage("good", entry(1, 0, 0, 5))
# The entry points past the end of the records.
storage("outside", entry(1, 0, 1000, 5))
# The entry's size runs past the end of the records.
storage("oversize", entry(1, 0, 0, 4000))
# The record the entry points at names record 7.
storage("misnamed", entry(1, 0, 0, 5), records=record(0, 7, b"hello"))
# The entry names a data segment that does not exist.
storage("noseg", entry(1, 3, 0, 5))
# A hole that reaches past the end of the records.
storage("badhole", entry(1, 0, 0, 5), holes=struct.pack("<2I", 10, 50))
# A ghost that names an entry still in use.
storage("badghost", entry(1, 0, 0, 5), ghosts=struct.pack("<I", 0))
# Record 0 is followed by a record whose size crosses the end of the file.
storage("crossing", entry(1, 0, 0, 5) + entry(1, 0, 17, 3),
        records=good_record + struct.pack("<3I", 0, 1, 300) + b"abc")
