#!/usr/bin/env python3
# Draws Aerolinker's own tool-bar pictures and icon and synthesises its chime. The outputs are
# checked in beside this script, so a build needs no Python; run it again after changing a
# drawing:  python3 make_resources.py  (writes into its own folder, or into the folder given as
# its argument; scripts/test does that to check the checked-in files are what it draws).
#
# Pictures are drawn from signed distance functions in a 48-unit square, so each size is
# rendered sharply rather than scaled, with one pixel of anti-aliasing at the edges.
import math
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
UNITS = 48.0

# --- shapes: each is a function (x, y) -> signed distance in units, negative inside ---------


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(cx, cy, hw, hh, r=0.0, angle=0.0):
    c, s = math.cos(-angle), math.sin(-angle)

    def d(x, y):
        px, py = x - cx, y - cy
        px, py = px * c - py * s, px * s + py * c
        qx, qy = abs(px) - (hw - r), abs(py) - (hh - r)
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r

    return d


def segment(ax, ay, bx, by, r):
    def d(x, y):
        pax, pay, bax, bay = x - ax, y - ay, bx - ax, by - ay
        h = max(0.0, min(1.0, (pax * bax + pay * bay) / (bax * bax + bay * bay)))
        return math.hypot(pax - bax * h, pay - bay * h) - r

    return d


def polygon(points):
    def d(x, y):
        best = float("inf")
        sign = 1.0
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[i - 1]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            h = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            best = min(best, math.hypot(wx - ex * h, wy - ey * h))
            inside_a = y >= ay
            inside_b = y < by
            cross = ex * wy - ey * wx > 0
            if (inside_a and inside_b and cross) or (not inside_a and not inside_b and not cross):
                sign = -sign
        return sign * best

    return d


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(shape, cut):
    return lambda x, y: max(shape(x, y), -cut(x, y))


def intersect(a, b):
    return lambda x, y: max(a(x, y), b(x, y))


def outline(shape, width):
    return lambda x, y: abs(shape(x, y)) - width / 2.0


def moved(shape, dx, dy, scale=1.0):
    return lambda x, y: shape((x - dx) / scale, (y - dy) / scale) * scale


# --- colours -------------------------------------------------------------------------------


def rgb(hex_text, alpha=255):
    v = int(hex_text.lstrip("#"), 16)
    return ((v >> 16) & 255, (v >> 8) & 255, v & 255, alpha)


def vertical(top, bottom, y0, y1):
    """A colour that runs from `top` at y0 to `bottom` at y1."""

    def colour(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))

    return colour


# --- rendering -----------------------------------------------------------------------------


class Canvas:
    def __init__(self, size):
        self.size = size
        self.unit = UNITS / size  # units per pixel
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def paint(self, shape, colour):
        """Composites the shape over the canvas; `colour` is RGBA or a function of (x, y)."""
        n = self.size
        for py in range(n):
            y = (py + 0.5) * self.unit
            row = self.pixels[py]
            for px in range(n):
                x = (px + 0.5) * self.unit
                dist = shape(x, y) / self.unit  # in pixels
                cover = max(0.0, min(1.0, 0.5 - dist))
                if cover <= 0.0:
                    continue
                c = colour(x, y) if callable(colour) else colour
                a = c[3] / 255.0 * cover
                r0, g0, b0, a0 = row[px]
                out_a = a + a0 * (1.0 - a)
                if out_a <= 0:
                    continue
                blend = [
                    (c[i] * a + (r0, g0, b0)[i] * a0 * (1.0 - a)) / out_a for i in range(3)
                ]
                row[px] = (blend[0], blend[1], blend[2], out_a)

    def layer(self, shape, fill, edge=None):
        """Fills the shape and, with `edge`, draws a dark rim just inside its border."""
        self.paint(shape, fill)
        if edge is not None:
            rim = max(1.0, self.unit * 0.9)  # about a pixel wide at every size
            self.paint(intersect(outline(shape, 2 * rim), shape), edge)

    def bgra_rows(self, bottom_up=True):
        rows = []
        order = range(self.size - 1, -1, -1) if bottom_up else range(self.size)
        for py in order:
            row = bytearray()
            for r, g, b, a in self.pixels[py]:
                row += bytes((round(b), round(g), round(r), round(a * 255)))
            rows.append(bytes(row))
        return rows


# --- the pictures --------------------------------------------------------------------------

SKY_TOP, SKY_BOTTOM = rgb("#5aa7e8"), rgb("#1f5fa8")
EDGE_DARK = rgb("#17324f")


def airplane(cx, cy, scale, angle=0.0):
    """A top view of an airliner pointing up, centred on (cx, cy); 1.0 is 40 units long."""
    c, s = math.cos(-angle), math.sin(-angle)

    body = union(
        box(0, 0, 2.6, 17, 2.6),
        polygon([(-2.4, -4), (-19, 5), (-19, 8), (-2.4, 4)]),
        polygon([(2.4, -4), (19, 5), (19, 8), (2.4, 4)]),
        polygon([(-2, 11), (-8, 16), (-8, 18), (-2, 16)]),
        polygon([(2, 11), (8, 16), (8, 18), (2, 16)]),
        box(-8.5, -0.5, 1.7, 2.8, 1.5),
        box(8.5, -0.5, 1.7, 2.8, 1.5),
    )

    def d(x, y):
        px, py = (x - cx) / scale, (y - cy) / scale
        px, py = px * c - py * s, px * s + py * c
        return body(px, py) * scale

    return d


def plug(cx, cy, scale, angle):
    """A mains plug whose prongs point along `angle` (radians, 0 is to the right)."""
    c, s = math.cos(-angle), math.sin(-angle)
    shape = union(
        box(0, 0, 4.5, 5.5, 1.5),
        box(6.5, -2.6, 2.6, 0.9),
        box(6.5, 2.6, 2.6, 0.9),
        segment(-4, 0, -11, 0, 1.6),
    )

    def d(x, y):
        px, py = (x - cx) / scale, (y - cy) / scale
        px, py = px * c - py * s, px * s + py * c
        return shape(px, py) * scale

    return d


def socket(cx, cy, scale, angle):
    c, s = math.cos(-angle), math.sin(-angle)
    shape = union(box(0, 0, 3.5, 6.5, 1.5), segment(3, 0, 10, 0, 1.6))

    def d(x, y):
        px, py = (x - cx) / scale, (y - cy) / scale
        px, py = px * c - py * s, px * s + py * c
        return shape(px, py) * scale

    return d


def floppy(cx, cy, half):
    """A diskette centred on (cx, cy), 2 * half units wide."""
    k = half / 10.0
    body = box(cx, cy, half, half, 1.6 * k)
    notch = polygon([(cx + half - 3.5 * k, cy - half - 1), (cx + half + 1, cy - half - 1),
                     (cx + half + 1, cy - half + 3.5 * k)])
    body = subtract(body, notch)
    shutter = box(cx - 0.5 * k, cy - 6 * k, 5.5 * k, 4 * k, 0.6 * k)
    hole = box(cx + 2 * k, cy - 6 * k, 1.3 * k, 2.6 * k)
    label = box(cx, cy + 4.5 * k, 7 * k, 4.5 * k, 0.8 * k)
    return body, subtract(shutter, hole), label


def draw_floppy(canvas, cx, cy, half):
    body, shutter, label = floppy(cx, cy, half)
    canvas.layer(body, vertical(rgb("#3f7fd0"), rgb("#173f82"), cy - half, cy + half), EDGE_DARK)
    canvas.paint(shutter, rgb("#d9dee6"))
    canvas.paint(label, rgb("#fbfbf7"))
    for i in range(2):
        y = cy + (2.8 + 2.6 * i) * half / 10.0
        canvas.paint(box(cx, y, 5.2 * half / 10.0, 0.35 * half / 10.0 + 0.15), rgb("#8a98aa"))


def draw_sky_disc(canvas, cx, cy, r):
    canvas.layer(circle(cx, cy, r), vertical(SKY_TOP, SKY_BOTTOM, cy - r, cy + r), EDGE_DARK)


def draw_plane(canvas, cx, cy, scale, angle=0.0, fill=None):
    shape = airplane(cx, cy, scale, angle)
    canvas.layer(shape, fill or vertical(rgb("#ffffff"), rgb("#d8e2ee"), cy - 20 * scale,
                                         cy + 20 * scale), rgb("#2b4a6b"))


def connect_picture(canvas):
    draw_sky_disc(canvas, 20, 20, 17.5)
    draw_plane(canvas, 20, 20, 0.78, math.radians(45))
    green = vertical(rgb("#7ee06b"), rgb("#23912c"), 26, 46)
    canvas.layer(socket(40.5, 37.5, 0.95, 0), green, rgb("#145a1c"))
    canvas.layer(plug(30.5, 37.5, 0.95, 0), green, rgb("#145a1c"))


def disconnect_picture(canvas):
    grey = vertical(rgb("#c7d0da"), rgb("#7d8a99"), 2, 38)
    canvas.layer(circle(20, 20, 17.5), grey, rgb("#3d4854"))
    draw_plane(canvas, 20, 20, 0.78, math.radians(45), fill=rgb("#f2f4f7"))
    red = vertical(rgb("#ff8a7a"), rgb("#c0281c"), 28, 46)
    canvas.layer(plug(26, 39.5, 0.85, 0), red, rgb("#6e1009"))
    canvas.layer(socket(43, 39.5, 0.85, 0), red, rgb("#6e1009"))
    spark = polygon([(34.8, 31), (37.6, 36.2), (35.4, 36.6), (37.4, 42), (33.4, 35.4),
                     (35.6, 35.0)])
    canvas.layer(spark, rgb("#ffd23a"), rgb("#8c6400"))


def page(canvas, left, top, right, bottom):
    fold = 8.0
    shape = polygon([(left, top), (right - fold, top), (right, top + fold), (right, bottom),
                     (left, bottom)])
    canvas.layer(shape, vertical(rgb("#ffffff"), rgb("#e5e9ef"), top, bottom), rgb("#55606e"))
    corner = polygon([(right - fold, top), (right, top + fold), (right - fold, top + fold)])
    canvas.layer(corner, rgb("#cfd6df"), rgb("#55606e"))


def log_lines(canvas, left, top, right, count, step=4.0):
    widths = [1.0, 0.8, 0.95, 0.6, 0.9, 0.75, 0.85]
    for i in range(count):
        y = top + i * step
        w = (right - left) * widths[i % len(widths)]
        canvas.paint(box(left + w / 2, y, w / 2, 0.75), rgb("#4f6f96"))


def save_file_picture(canvas):
    page(canvas, 6, 3, 34, 42)
    canvas.paint(box(17, 9, 7, 1.4, 0.5), rgb("#1f5fa8"))
    log_lines(canvas, 10, 16, 29, 6)
    draw_floppy(canvas, 35, 35, 11)


def info_picture(canvas):
    card = box(24, 25, 21, 15.5, 3)
    canvas.layer(card, vertical(rgb("#fdfdfb"), rgb("#e3e8ee"), 9, 41), rgb("#4c5766"))
    canvas.paint(intersect(box(24, 12.5, 21, 3.1), card), rgb("#1f5fa8"))
    # The pilot: head, shoulders and a peaked cap.
    photo = box(13.5, 28.5, 7.5, 9, 1.2)
    canvas.layer(photo, rgb("#cfe2f6"), rgb("#6b7a8c"))
    canvas.paint(intersect(circle(13.5, 41, 8.5), photo), rgb("#1d3d66"))
    canvas.paint(intersect(polygon([(11.3, 33), (15.7, 33), (13.5, 37.5)]), photo),
                 rgb("#ffffff"))
    canvas.layer(circle(13.5, 27.5, 4.3), rgb("#f1c9a5"), rgb("#8a5a3c"))
    canvas.layer(union(box(13.5, 23.2, 5.2, 1.9, 1.6), box(14.6, 25.1, 4.2, 0.7, 0.5)),
                 rgb("#1d3d66"))
    canvas.paint(circle(13.5, 23, 0.9), rgb("#f0c040"))
    log_lines(canvas, 25, 22, 40, 4, step=4.4)


def save_situation_picture(canvas):
    draw_sky_disc(canvas, 19, 19, 16.5)
    draw_plane(canvas, 19, 19, 0.72, math.radians(45))
    draw_floppy(canvas, 35, 35, 11)


def folder_shape(left, top, right, bottom):
    back = union(box((left + right) / 2, (top + bottom) / 2 + 2, (right - left) / 2,
                     (bottom - top) / 2 - 2, 2),
                 box(left + 7, top + 2.5, 7, 2.5, 1.5))
    front = polygon([(left + 5, top + 11), (right + 3, top + 11), (right - 1, bottom),
                     (left, bottom)])
    return back, front


def load_situation_picture(canvas):
    back, front = folder_shape(3, 15, 39, 44)
    canvas.layer(back, vertical(rgb("#f6cf62"), rgb("#d69a1c"), 15, 44), rgb("#7a5508"))
    page(canvas, 10, 9, 32, 36)
    log_lines(canvas, 13, 16, 26, 3)
    canvas.layer(front, vertical(rgb("#ffe28a"), rgb("#e9ab2a"), 26, 44), rgb("#7a5508"))
    # A green arrow turning back: the last saved flight comes back.
    ring = outline(circle(34, 14, 9.0), 4.4)
    arc = intersect(ring, lambda x, y: min(34 - x, y - 14))
    head = polygon([(25 - 6.2, 14), (25 + 6.2, 14), (25, 21.5)])
    green = vertical(rgb("#7ee06b"), rgb("#23912c"), 3, 25)
    canvas.layer(union(arc, head), green, rgb("#145a1c"))


def profile_picture(canvas):
    # A chart of the flight seen from the side: climb, cruise with its waypoints, descent.
    card = box(24, 25, 21.5, 16.5, 3)
    canvas.layer(card, vertical(rgb("#fdfdfb"), rgb("#e3e8ee"), 8.5, 41.5), rgb("#4c5766"))
    for y in (17, 25, 33):
        canvas.paint(intersect(box(24, y, 19.5, 0.45), card), rgb("#c9d2dd"))
    climb, top, descent, end = (5, 38), (16, 16.5), (32, 16.5), (43, 38)
    ground = polygon([(5, 42), climb, top, descent, end, (43, 42)])
    canvas.paint(intersect(ground, card), vertical(rgb("#8cc4f2", 220), rgb("#2f78c4", 220),
                                                   16.5, 41.5))
    line = union(segment(*climb, *top, 1.3), segment(*top, *descent, 1.3),
                 segment(*descent, *end, 1.3))
    canvas.paint(intersect(line, card), rgb("#17324f"))
    for x in (16, 24, 32):
        canvas.layer(circle(x, 16.5, 2.9), rgb("#e0463a"), rgb("#6e1009"))


PICTURES = [
    connect_picture,
    disconnect_picture,
    save_file_picture,
    info_picture,
    save_situation_picture,
    load_situation_picture,
    profile_picture,
]

# --- the icon: the airliner on a sky disc --------------------------------------------------


def icon_picture(canvas):
    draw_sky_disc(canvas, 24, 24, 22.5)
    draw_plane(canvas, 24, 24.5, 1.0, math.radians(45))


# --- file writers --------------------------------------------------------------------------


def bitmap_32(width, height, rows_bottom_up):
    """A 32-bit BMP file with straight (not premultiplied) alpha in the fourth byte."""
    pixels = b"".join(rows_bottom_up)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(pixels), 3780, 3780,
                         0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0,
                              14 + len(header))
    return file_header + header + pixels


def picture_strip(size):
    canvases = []
    for draw in PICTURES:
        canvas = Canvas(size)
        draw(canvas)
        canvases.append(canvas)
    rows = []
    for y in range(size):
        rows.append(b"".join(c.bgra_rows()[y] for c in canvases))
    return bitmap_32(size * len(PICTURES), size, rows)


def icon_file(sizes):
    images = []
    for size in sizes:
        canvas = Canvas(size)
        icon_picture(canvas)
        xor = b"".join(canvas.bgra_rows())
        mask_stride = ((size + 31) // 32) * 4
        and_mask = bytes(mask_stride * size)  # the alpha channel decides; the mask shows all
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask),
                             0, 0, 0, 0)
        images.append((size, header + xor + and_mask))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


# --- the chime -----------------------------------------------------------------------------

SAMPLE_RATE = 22050
SAMPLE_BYTES = 19404  # 9,702 samples of 16 bits: about 0.44 s


def chime():
    """Two bell-like notes, a fifth apart (A5 then E6), each with a soft attack."""
    count = SAMPLE_BYTES // 2
    notes = [(880.0, 0.0), (1318.51, 0.16)]
    samples = []
    for i in range(count):
        t = i / SAMPLE_RATE
        value = 0.0
        for freq, start in notes:
            local = t - start
            if local < 0:
                continue
            attack = min(1.0, local / 0.006)
            decay = math.exp(-local * 7.0)
            value += attack * decay * (math.sin(2 * math.pi * freq * local) +
                                       0.3 * math.sin(4 * math.pi * freq * local))
        tail = min(1.0, (count - 1 - i) / (0.03 * SAMPLE_RATE))  # ends on silence, no click
        samples.append(int(round(max(-1.0, min(1.0, value * 0.36 * tail)) * 32767)))
    data = struct.pack("<%dh" % count, *samples)
    assert len(data) == SAMPLE_BYTES
    fmt = struct.pack("<HHIIHH", 1, 1, SAMPLE_RATE, SAMPLE_RATE * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack(
        "<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else HERE
    outputs = {
        "toolbar_48.bmp": picture_strip(48),
        "toolbar_96.bmp": picture_strip(96),
        "aerolinker.ico": icon_file([16, 24, 32, 48, 64]),
        "chime.wav": chime(),
    }
    for name, data in outputs.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
        print("wrote", name, len(data), "bytes")


if __name__ == "__main__":
    main()
