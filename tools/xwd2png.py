#!/usr/bin/env python3
"""Converts a 24/32-bit TrueColor XWD screen dump (xwd -root) to an RGB PNG.

Used by tools/walk_hidpi.sh, which photographs the editor under Xvfb at moments
the editor's own "snap" cannot reach (text being typed, a dialog open).
Usage: xwd2png.py IN.xwd OUT.png
"""
import struct
import sys
import zlib


def convert(src, dst):
    data = open(src, "rb").read()
    fields = struct.unpack(">25I", data[:100])
    header_size, _, _, depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red_mask, green_mask, blue_mask = fields[14:17]
    ncolors = fields[19]
    # Some servers report 24 bits per pixel for a dump stored at 32.
    if depth < 24 or bytes_per_line < 4 * width or bits_per_pixel not in (24, 32):
        sys.exit("xwd2png: only 24-bit colour dumps stored at 32 bits per pixel")
    offset = header_size + 12 * ncolors
    order = "<" if byte_order == 0 else ">"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    rs, gs, bs = shift(red_mask), shift(green_mask), shift(blue_mask)
    rows = []
    for y in range(height):
        line = data[offset + y * bytes_per_line: offset + y * bytes_per_line + 4 * width]
        pixels = struct.unpack(order + "%dI" % width, line)
        row = bytearray(b"\0")
        for p in pixels:
            row += bytes(((p >> rs) & 255, (p >> gs) & 255, (p >> bs) & 255))
        rows.append(bytes(row))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b"")
    open(dst, "wb").write(png)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    convert(sys.argv[1], sys.argv[2])
