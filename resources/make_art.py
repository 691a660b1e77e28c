#!/usr/bin/env python3
"""Draws the main window's skin (600x450, 24-bit BMP) and the program icon
(32x32, 24-bit ICO) with nothing but the standard library, and writes the
main window's layout over the skin as a C++ header.

    make_art.py OUTPUT_DIR   ->  OUTPUT_DIR/skin.bmp, OUTPUT_DIR/vidquill.ico,
                                 OUTPUT_DIR/skin_layout.h

Shapes are drawn as signed distance fields, so every edge is anti-aliased
without supersampling. The button rectangles the window places over the skin
are listed in BUTTONS; the pictures are centred in them. The window takes
every rectangle from skin_layout.h, so the two cannot drift apart.
"""
import math
import os
import struct
import sys

WIDTH, HEIGHT = 600, 450

# left, top, width, height of the flat buttons that lie over the pictures
BUTTONS = {
    "add": (48, 18, 73, 57),
    "folder": (152, 18, 73, 57),
    "settings": (254, 18, 73, 57),
    "help": (352, 18, 73, 57),
    "minimise": (561, 5, 14, 15),
    "close": (579, 5, 14, 15),
    "remove": (24, 344, 57, 17),
    "start": (478, 347, 78, 65),
}
LIST_RECT = (24, 100, 552, 239)

# The main window's controls that lie over the skin, with their rectangles.
LAYOUT = {
    "AddButton": BUTTONS["add"],
    "FolderButton": BUTTONS["folder"],
    "StartButton": BUTTONS["start"],
    "SettingsButton": BUTTONS["settings"],
    "HelpButton": BUTTONS["help"],
    "MinimiseButton": BUTTONS["minimise"],
    "CloseButton": BUTTONS["close"],
    "RemoveButton": BUTTONS["remove"],
    "JobList": LIST_RECT,
}
TOOLBAR_BOTTOM = 90
BOTTOM_STRIP_TOP = 426

NAVY = (28, 52, 84)
NAVY_LIGHT = (41, 74, 116)
BODY = (236, 241, 247)
WHITE = (255, 255, 255)
PANEL_EDGE = (196, 206, 219)
ACCENT = (255, 196, 61)
GREEN = (46, 170, 92)
GREEN_DARK = (30, 128, 66)
INK = (40, 60, 90)
MUTED = (120, 136, 158)


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.px = [list(colour) for _ in range(width * height)]

    def blend(self, x, y, colour, alpha):
        if alpha <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        p = self.px[y * self.width + x]
        if alpha >= 1:
            p[0], p[1], p[2] = colour
        else:
            for i in range(3):
                p[i] = p[i] + (colour[i] - p[i]) * alpha

    def fill_rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            row = y * self.width
            for x in range(max(0, x0), min(self.width, x1)):
                self.px[row + x] = list(colour)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        span = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            t = (y - y0) / span
            colour = tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
            self.fill_rect(x0, y, x1, y + 1, colour)

    def shape(self, sdf, bounds, colour, opacity=1.0):
        """Fills where sdf(px, py) < 0, anti-aliased over one pixel."""
        x0, y0, x1, y1 = bounds
        for y in range(max(0, int(y0) - 1), min(self.height, int(y1) + 2)):
            for x in range(max(0, int(x0) - 1), min(self.width, int(x1) + 2)):
                d = sdf(x + 0.5, y + 0.5)
                a = min(1.0, max(0.0, 0.5 - d)) * opacity
                self.blend(x, y, colour, a)

    # --- primitives -------------------------------------------------------
    def circle(self, cx, cy, r, colour, opacity=1.0):
        self.shape(lambda x, y: math.hypot(x - cx, y - cy) - r,
                   (cx - r, cy - r, cx + r, cy + r), colour, opacity)

    def ring(self, cx, cy, r, width, colour):
        self.shape(lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - width / 2,
                   (cx - r - width, cy - r - width, cx + r + width, cy + r + width), colour)

    def round_rect(self, x0, y0, x1, y1, radius, colour, opacity=1.0):
        cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
        hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

        def sdf(x, y):
            qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
            outside = math.hypot(max(qx, 0), max(qy, 0))
            return outside + min(max(qx, qy), 0) - radius
        self.shape(sdf, (x0, y0, x1, y1), colour, opacity)

    def line(self, ax, ay, bx, by, width, colour):
        self.polyline([(ax, ay), (bx, by)], width, colour)

    def polyline(self, points, width, colour):
        segs = list(zip(points, points[1:]))

        def sdf(x, y):
            best = 1e9
            for (ax, ay), (bx, by) in segs:
                dx, dy = bx - ax, by - ay
                length2 = dx * dx + dy * dy
                t = 0 if length2 == 0 else max(0, min(1, ((x - ax) * dx + (y - ay) * dy) / length2))
                best = min(best, math.hypot(x - ax - t * dx, y - ay - t * dy))
            return best - width / 2
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.shape(sdf, (min(xs) - width, min(ys) - width, max(xs) + width, max(ys) + width), colour)

    def arc(self, cx, cy, r, start_deg, end_deg, width, colour, steps=40):
        pts = []
        for i in range(steps + 1):
            a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
            pts.append((cx + r * math.cos(a), cy - r * math.sin(a)))
        self.polyline(pts, width, colour)

    def polygon(self, points, colour):
        n = len(points)

        def sdf(x, y):
            # distance to the edges, negative inside (even-odd rule)
            d = 1e9
            inside = False
            for i in range(n):
                ax, ay = points[i]
                bx, by = points[(i + 1) % n]
                ex, ey = bx - ax, by - ay
                length2 = ex * ex + ey * ey
                t = max(0, min(1, ((x - ax) * ex + (y - ay) * ey) / length2))
                d = min(d, math.hypot(x - ax - t * ex, y - ay - t * ey))
                if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                    inside = not inside
            return -d if inside else d
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        self.shape(sdf, (min(xs), min(ys), max(xs), max(ys)), colour)


# --- pictures ---------------------------------------------------------------

def centre(rect):
    x, y, w, h = rect
    return x + w / 2, y + h / 2


def folder(c, cx, cy, body, tab):
    """A 36x28 folder centred on (cx, cy)."""
    c.round_rect(cx - 18, cy - 14, cx - 3, cy - 7, 2, tab)
    c.round_rect(cx - 18, cy - 10, cx + 18, cy + 14, 3, tab)
    c.round_rect(cx - 18, cy - 6, cx + 18, cy + 14, 3, body)


def draw_add(c):
    cx, cy = centre(BUTTONS["add"])
    folder(c, cx - 3, cy, (255, 214, 102), (230, 170, 40))
    c.circle(cx + 15, cy + 10, 10, GREEN)
    c.line(cx + 15, cy + 4, cx + 15, cy + 16, 3, WHITE)
    c.line(cx + 9, cy + 10, cx + 21, cy + 10, 3, WHITE)


def draw_output_folder(c):
    cx, cy = centre(BUTTONS["folder"])
    folder(c, cx - 3, cy, (255, 214, 102), (230, 170, 40))
    c.circle(cx + 15, cy + 10, 10, (59, 130, 246))
    c.line(cx + 9, cy + 10, cx + 20, cy + 10, 3, WHITE)
    c.polyline([(cx + 15, cy + 5), (cx + 20.5, cy + 10), (cx + 15, cy + 15)], 3, WHITE)


def draw_settings(c):
    cx, cy = centre(BUTTONS["settings"])
    # a gear: a toothed ring with a hole
    teeth = 8
    for i in range(teeth):
        a = 2 * math.pi * i / teeth
        c.line(cx + 10 * math.cos(a), cy + 10 * math.sin(a),
               cx + 17 * math.cos(a), cy + 17 * math.sin(a), 6, (203, 213, 225))
    c.circle(cx, cy, 13, (203, 213, 225))
    c.circle(cx, cy, 5.5, NAVY)
    # a screwdriver across it
    c.line(cx - 16, cy + 16, cx + 4, cy - 4, 4.5, ACCENT)
    c.line(cx + 4, cy - 4, cx + 14, cy - 14, 2.5, WHITE)


def draw_help(c):
    cx, cy = centre(BUTTONS["help"])
    c.circle(cx, cy, 18, (59, 130, 246))
    c.arc(cx, cy - 5, 6.5, 160, -60, 3.6, WHITE)
    c.line(cx + 3.2, cy + 0.8, cx, cy + 4, 3.6, WHITE)
    c.line(cx, cy + 4, cx, cy + 6, 3.6, WHITE)
    c.circle(cx, cy + 11.5, 2.3, WHITE)


def draw_caption_buttons(c):
    x, y, w, h = BUTTONS["minimise"]
    c.line(x + 3, y + h - 4, x + w - 3, y + h - 4, 2, WHITE)
    x, y, w, h = BUTTONS["close"]
    c.line(x + 3, y + 3.5, x + w - 3, y + h - 3.5, 1.8, WHITE)
    c.line(x + w - 3, y + 3.5, x + 3, y + h - 3.5, 1.8, WHITE)


def draw_start(c):
    cx, cy = centre(BUTTONS["start"])
    c.circle(cx, cy + 1.5, 28, (180, 190, 205), 0.6)   # soft shadow
    c.circle(cx, cy, 28, GREEN_DARK)
    c.circle(cx, cy, 26, GREEN)
    c.circle(cx - 6, cy - 9, 14, (120, 214, 152), 0.35)  # highlight
    c.polygon([(cx - 8, cy - 13), (cx - 8, cy + 13), (cx + 14, cy)], WHITE)


def draw_remove_plate(c):
    x, y, w, h = BUTTONS["remove"]
    c.round_rect(x, y, x + w, y + h, 3, (220, 227, 236))
    c.round_rect(x + 0.5, y + 0.5, x + w - 0.5, y + h - 0.5, 3, WHITE, 0.5)


# Stroke letters of the product name, in a 10 x 14 box per letter (x-height
# 8, ascender 14, descender 4).
def lettering(c, x, baseline, scale, colour):
    s = scale
    w = 2.1 * s
    xh = baseline - 8 * s       # x-height line
    asc = baseline - 13 * s     # ascender line

    def l_v(x0):
        c.polyline([(x0, asc), (x0 + 5 * s, baseline), (x0 + 10 * s, asc)], w, colour)
        return x0 + 10 * s

    def l_i(x0):
        c.line(x0 + 1 * s, xh, x0 + 1 * s, baseline, w, colour)
        c.circle(x0 + 1 * s, asc + 1.5 * s, 1.35 * s, colour)
        return x0 + 2 * s

    def bowl(cxx):
        c.ring(cxx, baseline - 4 * s, 4 * s, w, colour)

    def l_d(x0):
        bowl(x0 + 4 * s)
        c.line(x0 + 8 * s, asc, x0 + 8 * s, baseline, w, colour)
        return x0 + 8 * s

    def l_q(x0):
        bowl(x0 + 4 * s)
        c.line(x0 + 8 * s, xh, x0 + 8 * s, baseline + 4.5 * s, w, colour)
        return x0 + 8 * s

    def l_u(x0):
        c.line(x0, xh, x0, baseline - 4 * s, w, colour)
        c.arc(x0 + 4 * s, baseline - 4 * s, 4 * s, 180, 360, w, colour)
        c.line(x0 + 8 * s, xh, x0 + 8 * s, baseline, w, colour)
        return x0 + 8 * s

    def l_l(x0):
        c.line(x0 + 1 * s, asc, x0 + 1 * s, baseline, w, colour)
        return x0 + 2 * s

    gap = 3.2 * s
    for draw in (l_v, l_i, l_d, l_q, l_u, l_i, l_l, l_l):
        x = draw(x) + gap
    return x


def draw_skin():
    c = Canvas(WIDTH, HEIGHT, BODY)
    c.vgradient(0, 0, WIDTH, TOOLBAR_BOTTOM, NAVY_LIGHT, NAVY)
    c.fill_rect(0, TOOLBAR_BOTTOM, WIDTH, TOOLBAR_BOTTOM + 3, ACCENT)
    for name in ("add", "folder", "settings", "help"):
        x, y, w, h = BUTTONS[name]
        c.round_rect(x + 2, y + 2, x + w - 2, y + h - 2, 8, WHITE, 0.07)
    draw_add(c)
    draw_output_folder(c)
    draw_settings(c)
    draw_help(c)
    draw_caption_buttons(c)

    x, y, w, h = LIST_RECT
    c.round_rect(x - 3, y - 3, x + w + 3, y + h + 3, 4, PANEL_EDGE)
    c.fill_rect(x - 1, y - 1, x + w + 1, y + h + 1, WHITE)

    draw_remove_plate(c)
    end = lettering(c, 190, 398, 2.3, INK)
    c.line(190, 410, end - 7, 410, 2, ACCENT)
    draw_start(c)

    c.fill_rect(0, BOTTOM_STRIP_TOP, WIDTH, HEIGHT, NAVY)
    c.fill_rect(0, BOTTOM_STRIP_TOP, WIDTH, BOTTOM_STRIP_TOP + 1, NAVY_LIGHT)
    return c


def draw_icon():
    c = Canvas(32, 32, (0, 0, 0))
    mask = Canvas(32, 32, (0, 0, 0))  # white where the icon is opaque
    c.round_rect(1, 1, 31, 31, 6, NAVY_LIGHT)
    mask.round_rect(1, 1, 31, 31, 6, WHITE)
    c.fill_rect(4, 22, 28, 25, ACCENT)
    c.polygon([(11, 7), (11, 20), (22, 13.5)], WHITE)
    c.circle(24.5, 24.5, 5.5, GREEN)
    mask.circle(24.5, 24.5, 5.5, WHITE)
    c.line(24.5, 21.5, 24.5, 27.5, 1.6, WHITE)
    c.polyline([(22, 25), (24.5, 27.5), (27, 25)], 1.6, WHITE)
    return c, mask


# --- file formats -------------------------------------------------------------

def bgr_rows(c):
    """Bottom-up rows of BGR bytes, each padded to four bytes."""
    pad = (4 - (c.width * 3) % 4) % 4
    out = bytearray()
    for y in range(c.height - 1, -1, -1):
        for x in range(c.width):
            r, g, b = (int(round(v)) for v in c.px[y * c.width + x])
            out += bytes((b, g, r))
        out += b"\0" * pad
    return bytes(out)


def info_header(width, height, size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, size, 2835, 2835, 0, 0)


def write_bmp(path, c):
    pixels = bgr_rows(c)
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    with open(path, "wb") as f:
        f.write(header + info_header(c.width, c.height, len(pixels)) + pixels)


def write_ico(path, c, mask):
    pixels = bgr_rows(c)
    and_rows = bytearray()
    stride = ((c.width + 31) // 32) * 4
    for y in range(c.height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(c.width):
            if mask.px[y * c.width + x][0] < 128:   # transparent pixel
                row[x // 8] |= 0x80 >> (x % 8)
        and_rows += row
    image = info_header(c.width, c.height * 2, len(pixels) + len(and_rows)) + pixels + bytes(and_rows)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", c.width, c.height, 0, 0, 1, 24, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)


def write_layout(path):
    lines = [
        "#pragma once",
        "// Written by resources/make_art.py, which draws the skin: the main",
        "// window's size and the rectangles of its controls over the skin.",
        "#include <windows.h>",
        "",
        f"constexpr int kSkinWidth = {WIDTH};",
        f"constexpr int kSkinHeight = {HEIGHT};",
    ]
    for name, (x, y, w, h) in LAYOUT.items():
        lines.append(f"constexpr RECT k{name}Bounds{{{x}, {y}, {x + w}, {y + h}}};")
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    write_layout(os.path.join(out, "skin_layout.h"))
    write_bmp(os.path.join(out, "skin.bmp"), draw_skin())
    icon, mask = draw_icon()
    write_ico(os.path.join(out, "vidquill.ico"), icon, mask)


if __name__ == "__main__":
    main()
