#!/usr/bin/env python3
"""Draws Tilewick's pictures and writes them next to this script.

    chevron_up.png, chevron_down.png   compactButton (resources 4001, 4002)
    help.png                           helpButton (resource 4003)
    *_20, *_24, *_32, *_48.png         the same at 125, 150, 200 and 300 %
                                       (resources 4101.., 4201.., 4301.., 4401..)
    tilewick.ico                       icons 107 and 108

Python 3 standard library only. Shapes are signed distance functions, so
every edge is anti-aliased by its exact distance to the pixel centre.

    make_images.py           rewrite the files
    make_images.py --check   exit 1 unless the files on disk hold exactly
                             the pixels this script draws (and no pHYs)
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


# --- Canvas -------------------------------------------------------------------


class Canvas:
    """Premultiplied RGBA floats in 0..1, composited with 'over'."""

    def __init__(self, size):
        self.size = size
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def fill(self, sdf, colour, bounds=None, opacity=1.0):
        """Paints where sdf(x, y) < 0; colour is (r, g, b) 0..255 or a
        function of (x, y) returning one. bounds = (x0, y0, x1, y1) limits
        the pixels examined."""
        n = self.size
        if bounds is None:
            bounds = (0, 0, n, n)
        x0, y0, x1, y1 = bounds
        x0, y0 = max(0, int(math.floor(x0)) - 1), max(0, int(math.floor(y0)) - 1)
        x1, y1 = min(n, int(math.ceil(x1)) + 1), min(n, int(math.ceil(y1)) + 1)
        for j in range(y0, y1):
            for i in range(x0, x1):
                x, y = i + 0.5, j + 0.5
                cover = 0.5 - sdf(x, y)  # one pixel wide linear ramp
                if cover <= 0.0:
                    continue
                a = min(1.0, cover) * opacity
                r, g, b = colour(x, y) if callable(colour) else colour
                p = self.px[j * n + i]
                k = 1.0 - a
                p[0] = r / 255.0 * a + p[0] * k
                p[1] = g / 255.0 * a + p[1] * k
                p[2] = b / 255.0 * a + p[2] * k
                p[3] = a + p[3] * k

    def rgba_rows(self):
        """Straight-alpha 8-bit rows, top first."""
        n = self.size
        rows = []
        for j in range(n):
            row = bytearray()
            for i in range(n):
                r, g, b, a = self.px[j * n + i]
                if a <= 0.0:
                    row += b"\0\0\0\0"
                    continue
                row += bytes(
                    (
                        min(255, int(round(r / a * 255))),
                        min(255, int(round(g / a * 255))),
                        min(255, int(round(b / a * 255))),
                        min(255, int(round(a * 255))),
                    )
                )
            rows.append(bytes(row))
        return rows


# --- Shapes (negative inside, distances in pixels) ------------------------------


def disc(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def capsule(ax, ay, bx, by, half_width):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def sdf(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - half_width

    return sdf


def polyline(points, half_width):
    parts = [capsule(*points[k], *points[k + 1], half_width) for k in range(len(points) - 1)]
    return lambda x, y: min(p(x, y) for p in parts)


def rounded_box(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius

    return sdf


def arc(cx, cy, r, start_deg, end_deg, half_width):
    """Stroke along a circle from start to end, counter-clockwise on screen
    (angles as on paper: 0 right, 90 up), with round ends."""
    a0, a1 = math.radians(start_deg), math.radians(end_deg)
    span = (a1 - a0) % (2 * math.pi)
    ends = [(cx + r * math.cos(a), cy - r * math.sin(a)) for a in (a0, a1)]

    def sdf(x, y):
        angle = math.atan2(cy - y, x - cx)
        if (angle - a0) % (2 * math.pi) <= span:
            d = abs(math.hypot(x - cx, y - cy) - r)
        else:
            d = min(math.hypot(x - ex, y - ey) for ex, ey in ends)
        return d - half_width

    return sdf


def union(*parts):
    return lambda x, y: min(p(x, y) for p in parts)


def vertical_gradient(top_colour, bottom_colour, y0, y1):
    def colour(x, y):
        t = max(0.0, min(1.0, (y - y0) / float(y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top_colour, bottom_colour))

    return colour


# --- The pictures ---------------------------------------------------------------------

CHEVRON_GREY = (96, 96, 96)


# The buttons' pictures are drawn on a 16-pixel grid and rendered at every
# size a scaled display asks for, so none is ever stretched from a smaller one.
PICTURE_SIZES = (16, 20, 24, 32, 48)


def chevron(pointing_up, size=16):
    k = size / 16.0
    c = Canvas(size)
    tip, ends = (5.6 * k, 10.4 * k) if pointing_up else (10.4 * k, 5.6 * k)
    c.fill(polyline([(3.6 * k, ends), (8.0 * k, tip), (12.4 * k, ends)], 1.05 * k), CHEVRON_GREY)
    return c


def help_mark(size=16):
    k = size / 16.0
    c = Canvas(size)
    c.fill(disc(8 * k, 8 * k, 7.45 * k), (24, 72, 158))  # rim
    c.fill(
        disc(8 * k, 8 * k, 6.65 * k),
        vertical_gradient((82, 154, 240), (30, 100, 206), 1.5 * k, 14.5 * k),
    )
    # The hook: over the top from the left, down the right, into the stem.
    cx, cy, r, w = 8.0 * k, 5.55 * k, 2.5 * k, 1.0 * k
    hook_end = (cx + r * math.cos(math.radians(-40)), cy + r * math.sin(math.radians(40)))
    mark = union(
        arc(cx, cy, r, -40, 200, w),
        polyline([hook_end, (8.0 * k, 8.3 * k), (8.0 * k, 9.0 * k)], w),
    )
    c.fill(mark, (255, 255, 255))
    c.fill(disc(8.0 * k, 12.05 * k, 1.08 * k), (255, 255, 255))
    return c


# Title bar colours of the four terminal tiles.
TILE_BARS = [(236, 94, 82), (244, 180, 58), (64, 190, 110), (66, 140, 240)]
TILE_BODY = (20, 24, 31)
PROMPT = (150, 236, 160)

# Per size: background inset and corner radius, tile grid origin, tile size,
# gap, tile corner radius, title bar height, prompt stroke half width.
ICON_LAYOUT = {
    16: dict(inset=0, radius=3.0, origin=2, tile=5, gap=2, tile_radius=0.8, bar=1, prompt=0),
    32: dict(inset=1, radius=6.0, origin=4, tile=11, gap=2, tile_radius=1.5, bar=2, prompt=0.6),
    48: dict(inset=1, radius=9.0, origin=5, tile=17, gap=4, tile_radius=2.0, bar=3, prompt=0.9),
    256: dict(inset=8, radius=46.0, origin=36, tile=84, gap=16, tile_radius=9.0, bar=15, prompt=4.2),
}


def icon(size):
    L = ICON_LAYOUT[size]
    c = Canvas(size)
    lo, hi = L["inset"], size - L["inset"]
    c.fill(
        rounded_box(lo, lo, hi, hi, L["radius"]),
        vertical_gradient((96, 122, 156), (52, 70, 98), lo, hi),
    )
    t, g, bar = L["tile"], L["gap"], L["bar"]
    for k in range(4):
        x0 = L["origin"] + (k % 2) * (t + g)
        y0 = L["origin"] + (k // 2) * (t + g)
        x1, y1 = x0 + t, y0 + t
        box = (x0, y0, x1, y1)
        c.fill(rounded_box(x0, y0, x1, y1, L["tile_radius"]), TILE_BODY, box)
        # Title bar: the tile's own outline, clipped to its top rows.
        outline = rounded_box(x0, y0, x1, y1, L["tile_radius"])
        c.fill(lambda x, y, o=outline, y0=y0: max(o(x, y), y - (y0 + bar)), TILE_BARS[k], box)
        if size >= 256:
            for d in range(3):  # caption buttons
                c.fill(disc(x1 - 10 - d * 11, y0 + bar / 2.0, 3.2), (255, 255, 255), box, 0.55)
        hw = L["prompt"]
        if hw:
            # ">_" in the body
            u = (t - bar) / 10.0
            bx, by = x0 + 1.8 * u, y0 + bar + 2.6 * u
            if size <= 32:
                bx, by = x0 + 2.5, y0 + bar + 2.5
                c.fill(polyline([(bx, by), (bx + 2, by + 2), (bx, by + 4)], hw), PROMPT, box)
                c.fill(capsule(bx + 3.5, by + 4.2, bx + 5.5, by + 4.2, hw), PROMPT, box, 0.9)
            else:
                c.fill(
                    polyline([(bx, by), (bx + 2 * u, by + 2 * u), (bx, by + 4 * u)], hw),
                    PROMPT,
                    box,
                )
                c.fill(
                    capsule(bx + 3.2 * u, by + 4 * u, bx + 5.6 * u, by + 4 * u, hw), PROMPT, box
                )
    return c


# --- Files ---------------------------------------------------------------------------


def png_bytes(canvas):
    """8-bit RGBA, no ancillary chunks at all (in particular no pHYs, so the
    picture is drawn at exactly its pixel size)."""

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    n = canvas.size
    raw = b"".join(b"\0" + row for row in canvas.rgba_rows())
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", struct.pack(">IIBBBBB", n, n, 8, 6, 0, 0, 0))
        + chunk(b"IDAT", zlib.compress(raw, 9))
        + chunk(b"IEND", b"")
    )


def dib_bytes(canvas):
    """32-bit icon image: BITMAPINFOHEADER (double height), BGRA rows
    bottom-up, then the 1-bit AND mask (set where fully transparent)."""
    n = canvas.size
    rows = canvas.rgba_rows()
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((n + 31) // 32) * 4
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for i in range(n):
            r, g, b, a = row[4 * i : 4 * i + 4]
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def ico_bytes(canvases):
    images = [png_bytes(c) if c.size >= 256 else dib_bytes(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        dim = 0 if c.size >= 256 else c.size  # 0 stands for 256
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def pictures():
    files = {}
    for size in PICTURE_SIZES:
        suffix = "" if size == 16 else "_%d" % size
        files["chevron_up%s.png" % suffix] = png_bytes(chevron(True, size))
        files["chevron_down%s.png" % suffix] = png_bytes(chevron(False, size))
        files["help%s.png" % suffix] = png_bytes(help_mark(size))
    files["tilewick.ico"] = ico_bytes([icon(s) for s in (256, 48, 32, 16)])
    return files


# --- Check ---------------------------------------------------------------------------


def png_facts(data):
    """(IHDR, chunk names, raw scanlines) of a PNG file."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, names, idat, ihdr = 8, [], b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos : pos + 8])
        body = data[pos + 8 : pos + 8 + length]
        names.append(kind)
        if kind == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    return ihdr, names, zlib.decompress(idat)


def same_picture(expected, actual):
    """PNGs compare by header, chunk list and pixels, so another zlib's
    compression choices do not count as a change."""
    if expected[:8] != b"\x89PNG\r\n\x1a\n":
        return expected == actual
    try:
        return png_facts(expected) == png_facts(actual)
    except (AssertionError, struct.error, zlib.error):
        return False


def same_icon(expected, actual):
    try:
        count = struct.unpack("<HHH", expected[:6])[2]
        if expected[:6] != actual[:6]:
            return False
        for k in range(count):
            e = struct.unpack("<BBBBHHII", expected[6 + 16 * k : 22 + 16 * k])
            a = struct.unpack("<BBBBHHII", actual[6 + 16 * k : 22 + 16 * k])
            if e[:6] != a[:6]:
                return False
            if not same_picture(expected[e[7] : e[7] + e[6]], actual[a[7] : a[7] + a[6]]):
                return False
        return True
    except struct.error:
        return False


def main(argv):
    check = "--check" in argv
    stale = []
    for name, data in pictures().items():
        path = os.path.join(HERE, name)
        if check:
            try:
                with open(path, "rb") as f:
                    on_disk = f.read()
            except OSError:
                on_disk = b""
            same = same_icon if name.endswith(".ico") else same_picture
            if not same(data, on_disk):
                stale.append(name)
            elif name.endswith(".png") and b"pHYs" in png_facts(on_disk)[1]:
                stale.append(name + " (pHYs)")
        else:
            with open(path, "wb") as f:
                f.write(data)
    if stale:
        print("make_images: out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    print("make_images: %s" % ("up to date" if check else "written"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
