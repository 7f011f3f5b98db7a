#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_reader: a valid file of every format
version 0 to 9, plus a few of the prefix forms. Written from the file layout
directly, not by the program, so the seeds do not share its mistakes."""
import os
import struct
import sys

KEY = 0x2B7D4E19


def scramble(text):
    out = b''
    for k in range(0, len(text), 4):
        block = text[k:k + 4]
        value = int.from_bytes(block.ljust(4, b'\0'), 'little')
        value = (value + KEY * (1 + k)) % 2**32  # k counts bytes: 4 * block
        out += value.to_bytes(4, 'little')[:len(block)]
    return out


def string(text, wide=False):
    if wide:
        units = text.encode('utf-16-le')
        return b'\xff\xfe\xff' + bytes([len(units) // 2]) + units
    n = len(text)
    if n < 255:
        return bytes([n]) + text
    if n < 0xFFFE:
        return b'\xff' + struct.pack('<H', n) + text
    return b'\xff\xff\xff' + struct.pack('<I', n) + text


def dword(v):
    return struct.pack('<I', v)


def version_file(v):
    out = b'KTSN' + dword(v)
    if v >= 3:
        out += string(b'www\\site')
    if v >= 4:
        out += dword(2)
    if v >= 5:
        out += string(b'/home/u/')
    out += dword(2)
    for host, user, password, base in [(b'ftp.example.org', b'anna', b'secret1', b'www'),
                                       (b'h', b'', b'', b'')]:
        out += string(host) + string(user)
        out += string(scramble(password) if v >= 8 else password)
        if v >= 9:
            out += string(base)
    if v < 2:
        return out
    out += dword(3)
    for name, folder, flags in [(b'index.html', b'docs', 2), (b'readme', b'', 0), (b'p.jpg', b'img', 0)]:
        out += string(name) + string(folder)
        if v >= 6:
            out += struct.pack('<H', flags) + dword(1600000000)
        if v >= 7:
            out += dword(1600000100) + dword(1234) + dword(1236)
    return out


def main(folder):
    os.makedirs(folder, exist_ok=True)
    seeds = {'version%d.tsn' % v: version_file(v) for v in range(10)}
    seeds['empty.tsn'] = b''
    seeds['long-texts.tsn'] = (b'KTSN' + dword(9) + string(b'w' * 300) + dword(0) + string(b'b' * 70000)
                               + dword(0) + dword(0))
    seeds['wide-text.tsn'] = (b'KTSN' + dword(9) + string('caf\u00e9 \U0001F600', wide=True) + dword(0)
                              + string(b'') + dword(0) + dword(0))
    for name, data in seeds.items():
        with open(os.path.join(folder, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), 'corpus', 'reader'))
