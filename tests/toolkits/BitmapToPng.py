#!/usr/bin/env python3
"""Converts the 24-bit bitmaps that the Win32 window test saves into PNG files beside them, and
removes the bitmaps. Usage: BitmapToPng.py FILE.bmp..."""
# SPDX-License-Identifier: Apache-2.0
import os
import struct, sys, zlib
def convert(src, dst):
    data = open(src, 'rb').read()
    offset = struct.unpack_from('<I', data, 10)[0]
    w, h = struct.unpack_from('<ii', data, 18)
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(abs(h)):
        sy = abs(h) - 1 - y if h > 0 else y
        row = data[offset + sy * stride: offset + sy * stride + w * 3]
        rgb = bytearray(w * 3)
        rgb[0::3] = row[2::3]; rgb[1::3] = row[1::3]; rgb[2::3] = row[0::3]
        rows.append(b'\0' + bytes(rgb))
    def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, abs(h), 8, 2, 0, 0, 0)) + chunk(b'IDAT', zlib.compress(b''.join(rows), 9)) + chunk(b'IEND', b'')
    open(dst, 'wb').write(png)

for src in sys.argv[1:]:
    convert(src, src[:-4] + '.png')
    os.remove(src)
