#!/usr/bin/env python3
"""Makes the Win32 program's icon and picture from the PNG artwork in res/.

    win32_images.py RES_DIR OUT_DIR

OUT_DIR/quillon.ico holds 16, 24, 32 and 48 pixels as 32-bit bitmaps (what
every Windows and Wine draws) and 256 as PNG; OUT_DIR/picture.bmp is the
main window's picture at half its stored size, as a 24-bit bitmap.
Standard library only: the PNGs are 8-bit RGB or RGBA, not interlaced.
"""
import pathlib
import struct
import sys
import zlib


def read_png(path):
    data = path.read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG")
    pos, idat, width = 8, b"", 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour not in (2, 6) or interlace:
                sys.exit(f"{path}: only 8-bit RGB or RGBA without interlacing")
            channels = 4 if colour == 6 else 3
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                line[i] = (line[i] + pred) & 255
        rows.append(line)
        previous = line
    pixels = [[tuple(row[x * channels:x * channels + channels]) + ((255,) if channels == 3 else ())
               for x in range(width)] for row in rows]
    return width, height, pixels


def icon_bitmap(width, height, pixels):
    """An icon entry as a bitmap: header, BGRA rows bottom-up, AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_stride = ((width + 31) // 32) * 4
    mask = bytes(mask_stride * height)  # the alpha channel decides
    return header + colour + mask


def write_ico(res, out):
    entries = []
    for size in (16, 24, 32, 48):
        w, h, px = read_png(res / f"quillon-{size}.png")
        entries.append((w, h, icon_bitmap(w, h, px)))
    big = (res / "quillon-256.png").read_bytes()
    entries.append((256, 256, big))
    head = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    directory, blobs = b"", b""
    for w, h, blob in entries:
        directory += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob),
                                 offset + len(blobs))
        blobs += blob
    out.write_bytes(head + directory + blobs)


def write_picture(res, out):
    w, h, px = read_png(res / "picture.png")
    half_w, half_h = w // 2, h // 2
    stride = (half_w * 3 + 3) & ~3
    rows = b""
    for y in reversed(range(half_h)):
        line = bytearray()
        for x in range(half_w):
            quad = [px[2 * y + dy][2 * x + dx] for dy in (0, 1) for dx in (0, 1)]
            r, g, b = (sum(p[i] for p in quad) // 4 for i in range(3))
            line += bytes((b, g, r))
        rows += bytes(line) + bytes(stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, half_w, half_h, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    out.write_bytes(head + info + rows)


def main():
    res, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    write_ico(res, out / "quillon.ico")
    write_picture(res, out / "picture.bmp")


if __name__ == "__main__":
    main()
