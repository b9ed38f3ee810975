#!/usr/bin/env python3
"""Draws the application icon (72 x 72, 32 bits per pixel with alpha) and writes it as
tavelo.ico beside this script: a light-blue glossy board with copper tracks between four pads,
the same picture the Qt window draws. Only the standard library; run it again after a change."""
import math
import os
import struct

SIZE = 72
SUBSAMPLES = 4  # per axis, for smooth edges


def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


GLOSS = [(0.0, hex_colour("#e9f4ff")), (0.49, hex_colour("#a9cdf2")),
         (0.51, hex_colour("#6fa6df")), (1.0, hex_colour("#8dbbea"))]
BORDER = hex_colour("#2f6fb0")
COPPER = hex_colour("#c98a2b")
PAD = hex_colour("#f2c14e")
TRACKS = [[(18, 22), (36, 22), (50, 36)], [(18, 50), (54, 50)]]
PADS = [(18, 22), (50, 36), (18, 50), (54, 50)]


def gloss_at(y):
    t = min(max((y - 4) / 64.0, 0.0), 1.0)
    for (t0, c0), (t1, c1) in zip(GLOSS, GLOSS[1:]):
        if t <= t1:
            f = (t - t0) / (t1 - t0)
            return tuple(a + (b - a) * f for a, b in zip(c0, c1))
    return GLOSS[-1][1]


def rounded_rect_distance(x, y, left=4, top=4, size=64, radius=10):
    """Signed distance to the board's outline: negative inside."""
    cx, cy, half = left + size / 2, top + size / 2, size / 2 - radius
    qx, qy = abs(x - cx) - half, abs(y - cy) - half
    outside = math.hypot(max(qx, 0), max(qy, 0))
    return outside + min(max(qx, qy), 0) - radius


def segment_distance(x, y, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - ax - t * dx, y - ay - t * dy)


def sample(x, y):
    """The colour at one point, painted in the order: board, border, tracks, pads."""
    d = rounded_rect_distance(x, y)
    colour = None
    if d <= 0:
        colour = gloss_at(y)
    if abs(d) <= 1:
        colour = BORDER
    if any(segment_distance(x, y, a, b) <= 2 for track in TRACKS for a, b in zip(track, track[1:])):
        colour = COPPER
    if any(math.hypot(x - px, y - py) <= 5 for px, py in PADS):
        colour = PAD
    return colour


def pixel(px, py):
    total, red, green, blue = 0, 0.0, 0.0, 0.0
    for sy in range(SUBSAMPLES):
        for sx in range(SUBSAMPLES):
            c = sample(px + (sx + 0.5) / SUBSAMPLES, py + (sy + 0.5) / SUBSAMPLES)
            if c is not None:
                total += 1
                red, green, blue = red + c[0], green + c[1], blue + c[2]
    if total == 0:
        return (0, 0, 0, 0)
    alpha = round(255 * total / SUBSAMPLES ** 2)
    return (round(red / total), round(green / total), round(blue / total), alpha)


def ico_bytes():
    rows = []
    for py in reversed(range(SIZE)):  # a DIB is stored bottom-up
        rows.append(b"".join(struct.pack("BBBB", b, g, r, a)
                             for r, g, b, a in (pixel(px, py) for px in range(SIZE))))
    mask_row = ((SIZE + 31) // 32) * 4
    image = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 32, 0, 0, 0, 0, 0, 0)
    image += b"".join(rows) + bytes(mask_row * SIZE)
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return header + entry + image


if __name__ == "__main__":
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "tavelo.ico"), "wb") as f:
        f.write(ico_bytes())
