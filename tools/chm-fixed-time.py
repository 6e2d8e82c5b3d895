#!/usr/bin/env python3
"""Clears the two times the help compiler writes into a CHM file (the ITSF
header's and the #SYSTEM file's), so the same pages always compile to the
same bytes. Nothing reads them to show the help. (A binary index would carry
a third, compressed; NarvoTV.hhp asks for none.)
Usage: chm-fixed-time.py FILE.chm"""
import sys

SYSTEM_TIME_CODE = 10  # a #SYSTEM entry: code, length, then a 4-byte time


def encoded_int(data, at):
    """A CHM directory number: 7 bits a byte, high bit set on all but the last."""
    value = 0
    while True:
        byte = data[at]
        at += 1
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            return value, at


def clear_times(data):
    if data[:4] != b'ITSF' or int.from_bytes(data[4:8], 'little') != 3:
        raise ValueError('not a version 3 CHM file')
    data[0x10:0x14] = bytes(4)
    content = int.from_bytes(data[0x58:0x60], 'little')
    name = b'\x08/#SYSTEM'
    at = data.find(name)
    if at < 0:
        raise ValueError('no #SYSTEM file')
    section, at = encoded_int(data, at + len(name))
    offset, at = encoded_int(data, at)
    length, at = encoded_int(data, at)
    if section != 0:
        raise ValueError('#SYSTEM is compressed')
    start = content + offset
    entry = start + 4  # after the file's version
    cleared = 0
    while entry + 4 <= start + length:
        code = int.from_bytes(data[entry:entry + 2], 'little')
        size = int.from_bytes(data[entry + 2:entry + 4], 'little')
        if code == SYSTEM_TIME_CODE and size == 4:
            data[entry + 4:entry + 8] = bytes(4)
            cleared += 1
        entry += 4 + size
    if cleared != 1:
        raise ValueError('#SYSTEM holds %d times' % cleared)


def main():
    path = sys.argv[1]
    with open(path, 'rb') as f:
        data = bytearray(f.read())
    clear_times(data)
    with open(path, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
