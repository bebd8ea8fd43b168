#!/usr/bin/env python3
"""Builds config/font.png, the user interface's bitmap font, from an 8x16 PSF
console font (PSF1 or PSF2, optionally gzipped, with or without a Unicode
table).

The image is a grid of 16 columns by 8 rows of 8x16 cells holding the codes
0 to 127 in order (code c in column c % 16, row c // 16, row 0 at the top).
Glyph pixels are white and opaque, everything else is transparent white, so
the text colour comes from the vertices. Codes without a printable ASCII
glyph (0..31, 127) stay empty.

The shipped image was made from the Terminus Font 8x16 normal face
(Lat15-Terminus16.psf.gz of Debian's console-setup-linux package), SIL Open
Font License 1.1, copyright (c) 2010 Dimitar Toshkov Zhekov; see
config/font-LICENSE.txt. The package is needed only to run this tool:

    apt-get install console-setup-linux
    tools/make_font.py /usr/share/consolefonts/Lat15-Terminus16.psf.gz config/font.png
"""
import gzip
import struct
import sys
import zlib

CELL_W, CELL_H, COLS, ROWS = 8, 16, 16, 8


def read_psf(data):
    """Returns (glyphs, width, height, code_to_glyph); glyphs are row bitmaps."""
    if data[:2] == b"\x36\x04":
        mode, size = data[2], data[3]
        count = 512 if mode & 1 else 256
        width, height, stride = 8, size, 1
        offset, has_table = 4, bool(mode & 2)
        glyph_bytes = size
    elif data[:4] == b"\x72\xb5\x4a\x86":
        _, offset, flags, count, glyph_bytes, height, width = struct.unpack("<7I", data[4:32])
        stride = (width + 7) // 8
        has_table = bool(flags & 1)
    else:
        sys.exit("not a PSF font")
    glyphs = [data[offset + i * glyph_bytes: offset + (i + 1) * glyph_bytes] for i in range(count)]
    mapping = {}
    if has_table:
        pos = offset + count * glyph_bytes
        if data[:2] == b"\x36\x04":
            for g in range(count):
                while True:
                    (u,) = struct.unpack("<H", data[pos:pos + 2])
                    pos += 2
                    if u == 0xFFFF:
                        break
                    if u != 0xFFFE:
                        mapping.setdefault(u, g)
        else:
            for g in range(count):
                end = data.index(b"\xff", pos)
                text = data[pos:end].split(b"\xfe")[0].decode("utf-8", "replace")
                for ch in text:
                    mapping.setdefault(ord(ch), g)
                pos = end + 1
    else:
        mapping = {c: c for c in range(min(count, 256))}
    return glyphs, width, height, stride, mapping


def png_bytes(width, height, rgba_rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + row for row in rgba_rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_font.py FONT.psf[.gz] OUT.png")
    data = open(sys.argv[1], "rb").read()
    if data[:2] == b"\x1f\x8b":
        data = gzip.decompress(data)
    glyphs, width, height, stride, mapping = read_psf(data)
    if (width, height) != (CELL_W, CELL_H):
        sys.exit("the font must be 8x16, not %dx%d" % (width, height))
    image_w, image_h = COLS * CELL_W, ROWS * CELL_H
    pixels = [[0] * image_w for _ in range(image_h)]
    for code in range(32, 127):
        if code not in mapping:
            sys.exit("the font has no glyph for %r" % chr(code))
        glyph = glyphs[mapping[code]]
        ox, oy = (code % COLS) * CELL_W, (code // COLS) * CELL_H
        for y in range(CELL_H):
            bits = glyph[y * stride]
            for x in range(CELL_W):
                if bits & (0x80 >> x):
                    pixels[oy + y][ox + x] = 1
    rows = [bytes(b for p in row for b in ((255, 255, 255, 255) if p else (255, 255, 255, 0))) for row in pixels]
    with open(sys.argv[2], "wb") as out:
        out.write(png_bytes(image_w, image_h, rows))


if __name__ == "__main__":
    main()
