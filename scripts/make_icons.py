#!/usr/bin/env python3
"""Draws the window's 21 by 21 icons and writes them as PNG bytes into
src/ui/controls/icons.cpp (and, with --preview DIR, as PNG files plus an
enlarged preview sheet on the window's colours).

The glyphs are signed-distance shapes sampled 8 by 8 per pixel. The icons that
sit on the red band (the three page icons and the update-cache icon) are white
with a thin dark rim, so that they also read on the light cells of the hovered
and selected page items; the search button's two icons are dark, for its light
background.

Run from the repository root:  python3 scripts/make_icons.py [--preview DIR]
"""
import math
import struct
import sys
import zlib

SIZE = 21
SAMPLES = 8


# ---- signed distance shapes (negative inside) ------------------------------
def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ring(cx, cy, r, width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2


def segment(x1, y1, x2, y2, width):
    def d(x, y):
        px, py, bx, by = x - x1, y - y1, x2 - x1, y2 - y1
        t = max(0.0, min(1.0, (px * bx + py * by) / (bx * bx + by * by)))
        return math.hypot(px - bx * t, py - by * t) - width / 2
    return d


def box(left, top, right, bottom, radius=0.0):
    cx, cy = (left + right) / 2, (top + bottom) / 2
    hx, hy = (right - left) / 2 - radius, (bottom - top) / 2 - radius

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return d


def polygon(points):
    def d(x, y):
        best = float("inf")
        inside = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            best = min(best, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        return -best if inside else best
    return d


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def minus(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def grow(shape, amount):
    return lambda x, y: shape(x, y) - amount


def arc(cx, cy, r, width, start_deg, end_deg):
    """A ring piece from start to end angle (degrees, clockwise from 3 o'clock
    on screen, y down), with round ends."""
    def d(x, y):
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        span = (end_deg - start_deg) % 360
        if (a - start_deg) % 360 <= span:
            return abs(math.hypot(x - cx, y - cy) - r) - width / 2
        ends = []
        for deg in (start_deg, end_deg):
            ex = cx + r * math.cos(math.radians(deg))
            ey = cy + r * math.sin(math.radians(deg))
            ends.append(math.hypot(x - ex, y - ey) - width / 2)
        return min(ends)
    return d


# ---- glyphs, in pixel coordinates of a 21 by 21 image ----------------------
def magnifier():
    return union(ring(8.5, 8.5, 5.2, 2.2), segment(12.4, 12.4, 17.6, 17.6, 3.0))


def documents():
    back = minus(box(3.5, 2.5, 13.5, 15.5, 1.2), box(5.5, 4.5, 11.5, 13.5))
    front_outline = polygon([(7.0, 6.0), (14.5, 6.0), (18.0, 9.5), (18.0, 19.0), (7.0, 19.0)])
    # The back sheet shows only where the front one does not cover it.
    back = minus(back, grow(front_outline, 1.2))
    front = minus(front_outline, polygon([(14.5, 6.0), (18.6, 6.0), (18.6, 10.1)]))
    lines = union(segment(9.5, 12.0, 15.5, 12.0, 1.3), segment(9.5, 14.5, 15.5, 14.5, 1.3),
                  segment(9.5, 17.0, 13.5, 17.0, 1.3))
    return union(back, minus(front, grow(lines, 0.0)))


def gear():
    teeth = []
    for k in range(8):
        a = math.radians(k * 45 + 22.5)
        teeth.append(segment(10.5 + 5.5 * math.cos(a), 10.5 + 5.5 * math.sin(a),
                             10.5 + 8.2 * math.cos(a), 10.5 + 8.2 * math.sin(a), 3.0))
    body = union(circle(10.5, 10.5, 6.6), *teeth)
    return minus(body, circle(10.5, 10.5, 2.6))


def hourglass():
    frame = union(segment(4.5, 2.5, 16.5, 2.5, 2.2), segment(4.5, 18.5, 16.5, 18.5, 2.2))
    w = 1.6
    glass = union(segment(6.2, 3.5, 10.5, 10.5, w), segment(14.8, 3.5, 10.5, 10.5, w),
                  segment(10.5, 10.5, 6.2, 17.5, w), segment(10.5, 10.5, 14.8, 17.5, w))
    # Sand: a little left on top, a heap below.
    sand = union(polygon([(8.2, 6.0), (12.8, 6.0), (10.5, 9.6)]),
                 polygon([(10.5, 13.0), (14.0, 17.6), (7.0, 17.6)]))
    return union(frame, glass, sand)


def refresh():
    sweep = arc(10.5, 10.5, 6.3, 2.3, 310, 225)
    # Arrowhead at the end of the sweep (at 230 degrees), pointing along it.
    a = math.radians(225)
    tip_x, tip_y = 10.5 + 6.3 * math.cos(a), 10.5 + 6.3 * math.sin(a)
    tangent = (math.sin(a), -math.cos(a))  # direction of travel at the end
    normal = (math.cos(a), math.sin(a))
    head = polygon([
        (tip_x + tangent[0] * 4.6, tip_y + tangent[1] * 4.6),
        (tip_x + normal[0] * 3.8 - tangent[0] * 0.8, tip_y + normal[1] * 3.8 - tangent[1] * 0.8),
        (tip_x - normal[0] * 3.8 - tangent[0] * 0.8, tip_y - normal[1] * 3.8 - tangent[1] * 0.8),
    ])
    return union(sweep, head)


# ---- rendering -----------------------------------------------------------
def coverage(shape):
    cov = [[0.0] * SIZE for _ in range(SIZE)]
    step = 1.0 / SAMPLES
    for py in range(SIZE):
        for px in range(SIZE):
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    if shape(px + (sx + 0.5) * step, py + (sy + 0.5) * step) < 0:
                        hits += 1
            cov[py][px] = hits / (SAMPLES * SAMPLES)
    return cov


def over(dst, src):
    """src over dst, both straight RGBA floats 0..1."""
    sa = src[3]
    da = dst[3] * (1 - sa)
    a = sa + da
    if a == 0:
        return (0.0, 0.0, 0.0, 0.0)
    return tuple((src[i] * sa + dst[i] * da) / a for i in range(3)) + (a,)


def render(shape, fill, rim=None):
    pixels = [[(0.0, 0.0, 0.0, 0.0)] * SIZE for _ in range(SIZE)]
    layers = []
    if rim is not None:
        layers.append((coverage(grow(shape, 1.0)), rim))
    layers.append((coverage(shape), fill))
    for cov, colour in layers:
        for y in range(SIZE):
            for x in range(SIZE):
                c = cov[y][x]
                if c > 0:
                    pixels[y][x] = over(pixels[y][x], colour[:3] + (colour[3] * c,))
    return pixels


def png(pixels):
    raw = b"".join(
        b"\x00" + bytes(round(v * 255) for p in row for v in p) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    header = struct.pack(">IIBBBBB", len(pixels[0]), len(pixels), 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


WHITE = (1.0, 1.0, 1.0, 1.0)
RIM = (0.25, 0.0, 0.0, 0.55)
DARK = (0.2, 0.2, 0.22, 1.0)

ICONS = [
    ("SearchPageIcon", "the search page's item: a magnifier", magnifier, WHITE, RIM),
    ("CopyPageIcon", "the copy page's item: two sheets", documents, WHITE, RIM),
    ("SettingsPageIcon", "the settings page's item: a gear", gear, WHITE, RIM),
    ("SearchButtonIcon", "the search button at rest: a magnifier", magnifier, DARK, None),
    ("SearchBusyIcon", "the search button while a search runs: an hourglass", hourglass, DARK,
     None),
    ("UpdateCacheIcon", "the update-cache button: a circular arrow", refresh, WHITE, RIM),
]


def cpp_array(data):
    lines = []
    for i in range(0, len(data), 16):
        lines.append("    " + ", ".join(f"0x{b:02X}" for b in data[i:i + 16]) + ",")
    return "\n".join(lines)


def write_cpp(images):
    out = ["// Generated by scripts/make_icons.py; edit the script, not this file.",
           '#include "ui/controls/icons.h"', "", "namespace cj::ui {", "namespace {", ""]
    for name, _, data in images:
        out.append(f"constexpr std::uint8_t {name}Bytes[] = {{")
        out.append(cpp_array(data))
        out.append("};")
        out.append("")
    out.append("}  // namespace")
    out.append("")
    for name, _, _ in images:
        out.append(f"std::span<const std::uint8_t> {name}() {{ return {name}Bytes; }}")
    out.append("")
    out.append("}  // namespace cj::ui")
    with open("src/ui/controls/icons.cpp", "w") as f:
        f.write("\n".join(out) + "\n")


def write_preview(directory, images, rendered):
    import os
    os.makedirs(directory, exist_ok=True)
    for name, _, data in images:
        with open(os.path.join(directory, name + ".png"), "wb") as f:
            f.write(data)
    # Each icon at 8x on the backgrounds it meets: the band, the band under a
    # hovered or selected item, the search button at rest, hovered, pressed.
    band = (0xE6 / 255, 0x1F / 255, 0x1F / 255, 1.0)
    light = over(band, (1.0, 1.0, 1.0, 0x90 / 255))
    grey = (0xDC / 255,) * 3 + (1.0,)
    backgrounds = [band, light, over(grey, (1, 1, 1, 0xC8 / 255)),
                   over(grey, (0, 1, 0, 0xC8 / 255)), over(grey, (1, 0, 0, 0xF4 / 255))]
    scale, pad = 8, 4
    cell = SIZE * scale + 2 * pad
    sheet = [[(1.0, 1.0, 1.0, 1.0)] * (cell * len(backgrounds)) for _ in range(cell * len(rendered))]
    for row, pixels in enumerate(rendered):
        for col, bg in enumerate(backgrounds):
            for y in range(cell):
                for x in range(cell):
                    ix, iy = (x - pad) // scale, (y - pad) // scale
                    p = bg
                    if 0 <= ix < SIZE and 0 <= iy < SIZE and x >= pad and y >= pad:
                        p = over(bg, pixels[iy][ix])
                    sheet[row * cell + y][col * cell + x] = p
    with open(os.path.join(directory, "sheet.png"), "wb") as f:
        f.write(png(sheet))
    # And at their true size, side by side on the band.
    strip = [[band] * (SIZE * len(rendered) + 4 * (len(rendered) + 1)) for _ in range(SIZE + 8)]
    for i, pixels in enumerate(rendered):
        for y in range(SIZE):
            for x in range(SIZE):
                strip[4 + y][4 + i * (SIZE + 4) + x] = over(band, pixels[y][x])
    with open(os.path.join(directory, "strip.png"), "wb") as f:
        f.write(png(strip))


def main():
    rendered = []
    images = []
    for name, what, glyph, fill, rim in ICONS:
        pixels = render(glyph(), fill, rim)
        rendered.append(pixels)
        images.append((name, what, png(pixels)))
    write_cpp(images)
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        write_preview(sys.argv[2], images, rendered)


if __name__ == "__main__":
    main()
