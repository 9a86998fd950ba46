#!/usr/bin/env python3
"""Draw the program's icons and write them as Windows .ico files.

Standard library only.  The pictures of 20 pixels and more are described
as stacks of shapes (on a 32 unit grid) given by signed distance
functions, each pixel supersampled on a regular grid; the 16x16 pictures
are drawn pixel by pixel so they stay crisp in the tray.  The output is fully deterministic.  Icon entries are
written as classic DIB images (BITMAPINFOHEADER with doubled height, XOR
bitmap followed by a 1-bit AND mask for transparency).

Icons written (next to this folder, in brdwall/resources/):
  flower.ico   normal tray/window icon: a white flower above a red pot
               with green leaves.
  xclock.ico   disabled tray icon: the same picture with a red cross on a
               yellow square over its lower right quarter.
  warning.ico  yellow warning triangle with a black exclamation mark.

Each icon also comes at 20, 24, 40 and 48 pixels (32 bpp; warning.ico
4 bpp), the sizes Windows asks for at 125 to 200 per cent; flower.ico at
64 and 256 (PNG) as well.

Picture-button icons of the manager window (32, 24 and 16 pixels, each
at 8 bpp and 32 bpp; 20, 40 and 48 at 32 bpp; transparent background):
  delete.ico     bold red cross.
  deleteall.ico  four list lines with a red cross over the lower right.
  save.ico       dark blue disk with a white label and a metal shutter.
  load.ico       open yellow folder with a green arrow coming out of it.
  minimize.ico   blue arrow pointing down onto a short thick bar.
  extend.ico     small dark down-pointing triangle (16 and 8 pixels).

Pictures, 24-bit bottom-up BMP, each also at double size (name@2x.bmp)
rendered from the same shapes:
  banner.bmp       57x22 landscape strip: sky, sun, cloud, green hills.
  placeholder.bmp  105x89 light placeholder with a thin border and a
                   framed mountain-and-sun symbol in soft colours.
  name.bmp         178x71 name picture of the about window: "Brindle"
                   above "Wallpaper Changer" in our own rounded lettering,
                   on light paper, between them a fine rule with a dot.

Run from the repository root:  python3 brdwall/resources/art/draw_icons.py
(an optional argument names another output folder; "--only name" draws
only the name picture, in a few seconds instead of about a minute).
"""

import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT_DIR = os.path.dirname(HERE)

SUPERSAMPLE = 8


# --------------------------------------------------------------------------
# Colours
# --------------------------------------------------------------------------

def rgb(hexstr):
    hexstr = hexstr.lstrip("#")
    return tuple(int(hexstr[i:i + 2], 16) for i in (0, 2, 4))


WHITE = rgb("ffffff")
PETAL_SHADE = rgb("b4b8c8")      # faint line where two petals meet
FLOWER_LINE = rgb("3c3c3c")      # dark grey outline around the flower
CENTRE = rgb("ffd21f")
CENTRE_LINE = rgb("b86e00")
CENTRE_DOT = rgb("ffef9a")
LEAF = rgb("3fae3a")
LEAF_LIGHT = rgb("8ad65a")
LEAF_LINE = rgb("1b5218")
STEM = rgb("2f8f2b")
POT = rgb("d8261e")
POT_LIGHT = rgb("f26a55")
POT_DARK = rgb("a3140f")
POT_LINE = rgb("5a0a07")
BADGE = rgb("ffdc1e")
BADGE_LINE = rgb("262626")
CROSS = rgb("e0140f")
CROSS_LINE = rgb("7a0806")
WARN = rgb("ffcf1a")
WARN_LINE = rgb("1e1e1e")
BLACK = rgb("000000")


# --------------------------------------------------------------------------
# Signed distance functions (negative inside, in pixel units)
# --------------------------------------------------------------------------

def sd_circle(cx, cy, r):
    def f(x, y):
        return math.hypot(x - cx, y - cy) - r
    return f


def sd_ellipse(cx, cy, ra, rb, angle):
    """Ellipse with semi-axis ra along `angle` (radians) and rb across."""
    ca, sa = math.cos(angle), math.sin(angle)
    m = min(ra, rb)

    def f(x, y):
        dx, dy = x - cx, y - cy
        u = dx * ca + dy * sa
        v = -dx * sa + dy * ca
        # Good enough approximation near the boundary for thin outlines.
        return (math.hypot(u / ra, v / rb) - 1.0) * m
    return f


def sd_segment(ax, ay, bx, by, r):
    """Capsule: segment a-b thickened by radius r."""
    vx, vy = bx - ax, by - ay
    vv = vx * vx + vy * vy

    def f(x, y):
        px, py = x - ax, y - ay
        t = max(0.0, min(1.0, (px * vx + py * vy) / vv)) if vv else 0.0
        return math.hypot(px - vx * t, py - vy * t) - r
    return f


def sd_polygon(pts, round_r=0.0):
    """Exact distance to a simple polygon, optionally rounded outwards."""
    n = len(pts)

    def f(x, y):
        d = float("inf")
        inside = False
        for i in range(n):
            ax, ay = pts[i]
            bx, by = pts[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / (ex * ex + ey * ey)))
            d = min(d, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y):
                if x < ax + (y - ay) * ex / ey:
                    inside = not inside
        return (-d if inside else d) - round_r
    return f


def sd_box(x0, y0, x1, y1, r=0.0):
    """Axis-aligned box with corner radius r."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        out = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return out + min(max(qx, qy), 0.0) - r
    return f


def sd_union(*fs):
    def f(x, y):
        return min(g(x, y) for g in fs)
    return f


def sd_intersect(*fs):
    def f(x, y):
        return max(g(x, y) for g in fs)
    return f


def sd_grow(fn, w):
    def f(x, y):
        return fn(x, y) - w
    return f


# --------------------------------------------------------------------------
# Scenes: a list of layers, topmost first.  A layer is a function
# (x, y) -> colour or None.
# --------------------------------------------------------------------------

def fill(sdf, colour):
    def layer(x, y):
        return colour if sdf(x, y) < 0.0 else None
    return layer


def outlined(sdf, colour, line_colour, width):
    """Fill plus an outline of `width` pixels around it (two layers)."""
    return [fill(sdf, colour), fill(sd_grow(sdf, width), line_colour)]


def at_least_a_pixel(width, size):
    """A line width in 32 grid units, no thinner than a pixel at a `size`
    below 32 (the 32 pixel pictures keep their own)."""
    return width if size >= 32 else max(width, 32.0 / size)


def at_size(layers, size):
    """Layers drawn on the 32 unit grid, for a picture of `size` pixels."""
    k = 32.0 / size
    return [lambda x, y, f=f: f(x * k, y * k) for f in layers]


def render(layers, size, ss=SUPERSAMPLE):
    """Return a size x size grid of (r, g, b, coverage) tuples."""
    img = []
    step = 1.0 / ss
    offs = [(k + 0.5) * step for k in range(ss)]
    total = ss * ss
    for py in range(size):
        row = []
        for px in range(size):
            sr = sg = sb = 0
            hits = 0
            for oy in offs:
                y = py + oy
                for ox in offs:
                    x = px + ox
                    for layer in layers:
                        c = layer(x, y)
                        if c is not None:
                            sr += c[0]
                            sg += c[1]
                            sb += c[2]
                            hits += 1
                            break
            if hits:
                row.append((round(sr / hits), round(sg / hits),
                            round(sb / hits), hits / total))
            else:
                row.append((0, 0, 0, 0.0))
        img.append(row)
    return img


# --------------------------------------------------------------------------
# The flower picture
# --------------------------------------------------------------------------

def flower_layers(size=32):
    """White five-petal flower over a red pot with green leaves, on a 32
    unit grid; its lines at least a pixel wide at `size` pixels."""
    cx, cy = 16.0, 10.6
    petal_dist, petal_len, petal_wid = 4.7, 4.6, 3.9
    centre_r, centre_line = 2.5, at_least_a_pixel(0.8, size)
    line = at_least_a_pixel(1.05, size)
    leaf_line = at_least_a_pixel(0.9, size)
    pot_line = at_least_a_pixel(0.95, size)
    leaves = [
        # (cx, cy, semi-axis along, semi-axis across, angle)
        (8.0, 19.3, 5.6, 2.5, math.radians(-30)),
        (24.0, 19.3, 5.6, 2.5, math.radians(210)),
    ]
    stem = (16.0, 18.0, 16.0, 23.0, 1.0)
    rim = (7.5, 21.6, 24.5, 25.2, 1.0)
    body = [(9.3, 25.0), (22.7, 25.0), (20.9, 30.8), (11.1, 30.8)]
    body_round = 0.6
    highlight = (10.2, 22.7, 13.5, 24.0, 0.6)
    body_highlight = sd_segment(11.6, 26.4, 12.6, 29.4, 0.7)
    rim_shadow = (9.5, 25.0, 22.5, 26.0)
    centre_dot = (15.2, 9.8, 0.9)

    # Petals: five ellipses around the centre, the first pointing up.
    petals = []
    for i in range(5):
        a = math.radians(-90 + 72 * i)
        px = cx + petal_dist * math.cos(a)
        py = cy + petal_dist * math.sin(a)
        petals.append(sd_ellipse(px, py, petal_len, petal_wid, a))
    flower = sd_union(*petals, sd_circle(cx, cy, petal_dist * 0.9))

    def petal_layer(x, y):
        ds = sorted(p(x, y) for p in petals)
        if ds[0] >= 0.0 and flower(x, y) >= 0.0:
            return None
        if ds[1] < 0.0 and ds[1] - ds[0] < 0.7:
            # Inside two petals with almost equal depth: the crease.
            return PETAL_SHADE
        return WHITE

    layers = []

    # Flower centre.
    layers.append(fill(sd_circle(*centre_dot), CENTRE_DOT))
    centre = sd_circle(cx, cy, centre_r)
    layers.append(fill(centre, CENTRE))
    layers.append(fill(sd_grow(centre, centre_line), CENTRE_LINE))

    # Petals with their outline.
    layers.append(petal_layer)
    layers.append(fill(sd_grow(flower, line), FLOWER_LINE))

    # Pot: rim above the body.
    rim_sdf = sd_box(*rim)
    body_sdf = sd_polygon(body, body_round)
    layers.append(fill(sd_box(*highlight), POT_LIGHT))
    layers.append(fill(rim_sdf, POT))
    layers.append(fill(sd_grow(rim_sdf, pot_line), POT_LINE))
    layers.append(fill(body_highlight, POT_LIGHT))
    layers.append(fill(sd_intersect(body_sdf, sd_box(*rim_shadow)),
                       POT_DARK))
    layers.append(fill(body_sdf, POT))
    layers.append(fill(sd_grow(body_sdf, pot_line), POT_LINE))

    # Stem and leaves behind the flower, growing out of the pot.
    leaf_sdfs = [sd_ellipse(*l) for l in leaves]
    for (lx, ly, ra, rb, ang) in leaves:
        ca, sa = math.cos(ang), math.sin(ang)
        vein = sd_segment(lx - ca * ra * 0.6, ly - sa * ra * 0.6,
                          lx + ca * ra * 0.55, ly + sa * ra * 0.55, 0.45)
        layers.append(fill(vein, LEAF_LIGHT))
    for lf in leaf_sdfs:
        layers.append(fill(lf, LEAF))
    stem_sdf = sd_segment(*stem)
    layers.append(fill(stem_sdf, STEM))
    layers.append(fill(sd_grow(sd_union(stem_sdf, *leaf_sdfs), leaf_line),
                       LEAF_LINE))
    return layers


def cross_badge_layers(pixels=32):
    """Yellow square with a red diagonal cross, lower right quarter (32
    unit grid)."""
    size = 32
    h = size / 2.0
    inset, line = 0.9, at_least_a_pixel(1.0, pixels)
    m, arm_r, arm_line = 4.0, 1.35, at_least_a_pixel(0.7, pixels)
    x0, y0 = h + inset, h + inset
    x1, y1 = size - inset, size - inset
    square = sd_box(x0, y0, x1, y1, 0.6)
    a = sd_segment(h + m, h + m, size - m, size - m, arm_r)
    b = sd_segment(size - m, h + m, h + m, size - m, arm_r)
    cross = sd_union(a, b)
    layers = [fill(cross, CROSS),
              fill(sd_grow(cross, arm_line), CROSS_LINE)]
    layers.append(fill(square, BADGE))
    layers.append(fill(sd_grow(square, line), BADGE_LINE))
    return layers


def warning_layers(size=32):
    """Yellow triangle, dark outline, black exclamation mark (32 unit
    grid)."""
    tri = [(16.0, 3.3), (29.6, 27.4), (2.4, 27.4)]
    rr, line = 1.2, at_least_a_pixel(1.4, size)
    bar = sd_polygon([(14.6, 10.6), (17.4, 10.6), (16.7, 20.0),
                      (15.3, 20.0)], 0.35)
    dot = sd_circle(16.0, 23.4, 1.55)
    tri_sdf = sd_polygon(tri, rr)
    mark = sd_union(bar, dot)
    return [fill(mark, BLACK),
            fill(tri_sdf, WARN),
            fill(sd_grow(tri_sdf, line), WARN_LINE)]


# --------------------------------------------------------------------------
# 16x16 pictures, drawn pixel by pixel so they stay crisp in the tray.
# --------------------------------------------------------------------------

PIXEL_COLOURS = {
    ".": None,            # transparent
    "k": FLOWER_LINE,
    "w": WHITE,
    "y": CENTRE,
    "o": rgb("e09a10"),   # corners of the flower centre
    "g": LEAF,
    "l": LEAF_LIGHT,
    "G": LEAF_LINE,
    "r": POT,
    "p": POT_LIGHT,
    "d": POT_DARK,
    "R": POT_LINE,
    "Y": BADGE,
    "x": CROSS,
    "K": BADGE_LINE,
    "W": WARN,
    "b": BLACK,
}

FLOWER_16 = """
......kkkk......
..kkk.kwwk.kkk..
.kwwwkwwwwkwwwk.
.kwwwwwwwwwwwwk.
..kwwwoyyowwwk..
G..kwwyyyywwk..G
GGkwwwoyyowwwkGG
GlkwwwwkkwwwwklG
GlgkkkkggkkkkglG
.GlgGGGggGGGglG.
..GGggggggggGG..
.RRRRRRRRRRRRRR.
.RpprrrrrrrrrrR.
.RddddddddddddR.
..RprrrrrrrrdR..
...RRRRRRRRRR...
"""

# Goes over the lower right quarter (8x8) of FLOWER_16.
CROSS_BADGE_8 = """
KKKKKKKK
KxYYYYxK
KYxYYxYK
KYYxxYYK
KYYxxYYK
KYxYYxYK
KxYYYYxK
KKKKKKKK
"""

WARNING_16 = """
................
.......KK.......
......KWWK......
......KWWK......
.....KWWWWK.....
.....KWbbWK.....
....KWWbbWWK....
....KWWbbWWK....
...KWWWbbWWWK...
...KWWWbbWWWK...
..KWWWWWWWWWWK..
..KWWWWbbWWWWK..
.KWWWWWbbWWWWWK.
.KWWWWWWWWWWWWK.
KKKKKKKKKKKKKKKK
................
"""


def grid_rows(text):
    return [line for line in text.split("\n") if line]


def from_grid(rows, colours=None):
    """Turn rows of colour letters into the (r, g, b, coverage) form."""
    colours = PIXEL_COLOURS if colours is None else colours
    img = []
    for line in rows:
        assert len(line) == len(rows), line
        row = []
        for ch in line:
            c = colours[ch]
            row.append((0, 0, 0, 0.0) if c is None else c + (1.0,))
        img.append(row)
    return img


def overlay_lower_right(rows, badge_rows):
    n, b = len(rows), len(badge_rows)
    out = list(rows)
    for i, brow in enumerate(badge_rows):
        r = n - b + i
        out[r] = out[r][:n - b] + brow
    return out


# --------------------------------------------------------------------------
# Picture-button icons of the manager window.  They sit on a light grey
# button face, so the background stays transparent and every shape has a
# dark edge.  16x16 is drawn pixel by pixel; 24x24 and 32x32 come from
# shapes laid out on a 32 unit grid and snapped to whole pixels where the
# edges are straight.
# --------------------------------------------------------------------------

X_RED = rgb("e0261c")
X_RED_LIGHT = rgb("ff7563")
X_RED_LINE = rgb("7e0a06")
LIST_BULLET = rgb("3a78d0")
LIST_LINE = rgb("56657f")
DISK = rgb("2a4c9e")
DISK_LIGHT = rgb("5479c8")
DISK_LINE = rgb("12224d")
LABEL = rgb("f7f9fd")
LABEL_LINE = rgb("93a9d6")
SHUTTER = rgb("c3c9d4")
SHUTTER_LIGHT = rgb("e6e9ef")
FOLDER = rgb("ffd75e")
FOLDER_LIGHT = rgb("fff0b3")
FOLDER_BACK = rgb("e3a52c")
FOLDER_LINE = rgb("7c5610")
GO_GREEN = rgb("35a83a")
GO_GREEN_LINE = rgb("155a1a")
DOWN_BLUE = rgb("2f6fd6")
DOWN_BLUE_LINE = rgb("123a80")
BAR = rgb("2e2e2e")
TRIANGLE = rgb("202020")


def sd_subtract(a, b):
    """Shape a with shape b cut out of it."""
    def f(x, y):
        return max(a(x, y), -b(x, y))
    return f


def snapper(size):
    """Map 32 unit coordinates to whole pixels of a `size` picture."""
    k = size / 32.0

    def q(v):
        return float(math.floor(v * k + 0.5))
    return q


def delete_layers(size):
    """Bold red diagonal cross with a light streak on its upper arms."""
    k = size / 32.0
    a, b, c, r = 7.0 * k, 25.0 * k, 16.0 * k, 2.7 * k
    arms = sd_union(sd_segment(a, a, b, b, r), sd_segment(b, a, a, b, r))
    e, m, w = a + 1.2 * k, c - 2.6 * k, 0.55 * k + 0.15
    shine = sd_union(sd_segment(e, e, m, m, w),
                     sd_segment(2 * c - e, e, 2 * c - m, m, w))
    return [fill(shine, X_RED_LIGHT)] + outlined(arms, X_RED, X_RED_LINE,
                                                 1.0)


def deleteall_layers(size):
    """Four list lines with a red cross over the lower right part."""
    q = snapper(size)
    k = size / 32.0
    c, d, r = 18.5 * k, 29.0 * k, 1.9 * k
    cross = sd_union(sd_segment(c, c, d, d, r), sd_segment(d, c, c, d, r))
    gap = sd_grow(cross, 1.0 + 1.3 * k)
    layers = outlined(cross, X_RED, X_RED_LINE, 1.0)
    for i in range(4):
        y0, y1 = q(1.5 + 8 * i), q(5.5 + 8 * i)
        x1 = q(30) if i < 2 else q(13)
        layers.append(fill(sd_subtract(sd_box(q(8), y0, x1, y1), gap),
                           LIST_LINE))
        layers.append(fill(sd_box(q(2), y0, q(6), y1), LIST_BULLET))
    return layers


def save_layers(size):
    """Dark blue disk: white label at the top, metal shutter below."""
    q = snapper(size)
    body = sd_polygon([(q(3), q(3)), (q(25), q(3)), (q(29), q(7)),
                       (q(29), q(29)), (q(3), q(29))])
    label = sd_box(q(7), q(3), q(23), q(15))
    lines = []
    for y in (7, 11):
        y0 = q(y)
        lines.append(sd_box(q(9), y0, q(21), y0 + max(1.0, q(y + 1) - y0)))
    shutter = sd_box(q(9), q(19), q(24), q(29))
    slot = sd_box(q(18), q(21), q(21), q(27))
    edge = sd_box(q(3), q(15), q(5), q(29))
    return [fill(slot, DISK),
            fill(sd_box(q(10), q(19), q(24), q(20)), SHUTTER_LIGHT),
            fill(shutter, SHUTTER),
            fill(sd_union(*lines), LABEL_LINE),
            fill(label, LABEL),
            fill(edge, DISK_LIGHT),
            fill(body, DISK),
            fill(sd_grow(body, 1.0), DISK_LINE)]


def load_layers(size):
    """Open yellow folder with a green arrow coming up out of it."""
    k = size / 32.0
    back = sd_polygon([(2.5 * k, 6.5 * k), (10.5 * k, 6.5 * k),
                       (13.0 * k, 9.5 * k), (23.5 * k, 9.5 * k),
                       (23.5 * k, 28.5 * k), (2.5 * k, 28.5 * k)])
    front = sd_polygon([(8.5 * k, 15.5 * k), (30.0 * k, 15.5 * k),
                        (25.0 * k, 28.5 * k), (2.5 * k, 28.5 * k)])
    lip = sd_intersect(sd_grow(front, -1.0 * k),
                       lambda x, y: y - 18.0 * k)
    ax = 20.0 * k
    head = sd_polygon([(ax - 7.0 * k, 10.0 * k), (ax + 7.0 * k, 10.0 * k),
                       (ax, 2.0 * k)])
    shaft = sd_box(ax - 2.6 * k, 9.0 * k, ax + 2.6 * k, 17.0 * k)
    arrow = sd_union(head, shaft)
    return [fill(lip, FOLDER_LIGHT),
            fill(front, FOLDER),
            fill(sd_grow(front, 1.0), FOLDER_LINE),
            fill(arrow, GO_GREEN),
            fill(sd_grow(arrow, 1.0), GO_GREEN_LINE),
            fill(back, FOLDER_BACK),
            fill(sd_grow(back, 1.0), FOLDER_LINE)]


def minimize_layers(size):
    """Blue arrow pointing down onto a short thick bar."""
    q = snapper(size)
    k = size / 32.0
    bar = sd_box(q(6), q(24), q(26), q(29))
    shaft = sd_box(13.0 * k, 2.5 * k, 19.0 * k, 12.0 * k)
    head = sd_polygon([(6.5 * k, 11.5 * k), (25.5 * k, 11.5 * k),
                       (16.0 * k, 21.0 * k)])
    arrow = sd_union(shaft, head)
    return [fill(bar, BAR)] + outlined(arrow, DOWN_BLUE, DOWN_BLUE_LINE, 1.0)


BUTTON_COLOURS = {
    ".": None,
    "x": X_RED,
    "p": X_RED_LIGHT,
    "R": X_RED_LINE,
    "a": LIST_BULLET,
    "n": LIST_LINE,
    "b": DISK,
    "e": DISK_LIGHT,
    "K": DISK_LINE,
    "W": LABEL,
    "l": LABEL_LINE,
    "s": SHUTTER,
    "S": SHUTTER_LIGHT,
    "y": FOLDER,
    "h": FOLDER_LIGHT,
    "d": FOLDER_BACK,
    "O": FOLDER_LINE,
    "g": GO_GREEN,
    "G": GO_GREEN_LINE,
    "u": DOWN_BLUE,
    "U": DOWN_BLUE_LINE,
    "m": BAR,
    "k": TRIANGLE,
}

DELETE_16 = """
................
..RR........RR..
.RxxR......RxxR.
.RxpxR....RxpxR.
..RxpxR..RxpxR..
...RxpxRRxpxR...
....RxxxxxxR....
.....RxxxxR.....
.....RxxxxR.....
....RxxxxxxR....
...RxxxRRxxxR...
..RxxxR..RxxxR..
.RxxxR....RxxxR.
.RxxR......RxxR.
..RR........RR..
................
"""

DELETEALL_16 = """
................
.aa.nnnnnnnnnnn.
.aa.nnnnnnnnnnn.
................
................
.aa.nnnnnnnnnnn.
.aa.nnnnnnnnnnn.
................
.........RR..RR.
.aa.nnn.RxxRRxxR
.aa.nnn..RxxxxR.
..........RxxR..
..........RxxR..
.aa.nnn..RxxxxR.
.aa.nnn.RxxRRxxR
.........RR..RR.
"""

SAVE_16 = """
................
.KKKKKKKKKKKK...
.KeWWWWWWWWWbK..
.KeWlllllllWbbK.
.KeWWWWWWWWWbbK.
.KeWlllllllWbbK.
.KeWWWWWWWWWbbK.
.KebbbbbbbbbbbK.
.KebbbbbbbbbbbK.
.KebSSSSSSSSbbK.
.KebssssbbssbbK.
.KebssssbbssbbK.
.KebssssbbssbbK.
.KebssssssssbbK.
.KKKKKKKKKKKKKK.
................
"""

LOAD_16 = """
...........G....
..........GgG...
.........GgggG..
........GgggggG.
.OOOO...GGGgGGG.
OddddOOOOOGgGOO.
OdddddddddGgGdO.
OdddddddddGgGdO.
OdddOOOOOOOOOOOO
OddOhhhhhhhhhhO.
OdOyyyyyyyyyyyO.
OdOyyyyyyyyyyO..
OOyyyyyyyyyyyO..
OOyyyyyyyyyyO...
OOOOOOOOOOOOO...
................
"""

MINIMIZE_16 = """
................
......UUUU......
......UuuU......
......UuuU......
......UuuU......
...UUUUuuUUUU...
...UuuuuuuuuU...
....UuuuuuuU....
.....UuuuuU.....
......UuuU......
.......UU.......
................
...mmmmmmmmmm...
...mmmmmmmmmm...
...mmmmmmmmmm...
................
"""

EXTEND_16 = """
................
................
................
................
................
................
....kkkkkkk.....
.....kkkkk......
......kkk.......
.......k........
................
................
................
................
................
................
"""

EXTEND_8 = """
........
........
.kkkkk..
..kkk...
...k....
........
........
........
"""


# --------------------------------------------------------------------------
# Pictures (24-bit bitmaps).  Each scene is laid out in the coordinates of
# its 1x size; the 2x bitmap is rendered from the same shapes at double
# resolution, not enlarged.
# --------------------------------------------------------------------------

def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def render_rect(layers, width, height, scale=1.0, ss=SUPERSAMPLE):
    """Like render(), for a width x height picture of a scene laid out at
    1/scale of that size."""
    img = []
    step = 1.0 / ss
    offs = [(k + 0.5) * step for k in range(ss)]
    total = ss * ss
    for py in range(height):
        row = []
        for px in range(width):
            sr = sg = sb = 0
            hits = 0
            for oy in offs:
                y = (py + oy) / scale
                for ox in offs:
                    x = (px + ox) / scale
                    for layer in layers:
                        c = layer(x, y)
                        if c is not None:
                            sr += c[0]
                            sg += c[1]
                            sb += c[2]
                            hits += 1
                            break
            if hits:
                row.append((round(sr / hits), round(sg / hits),
                            round(sb / hits), hits / total))
            else:
                row.append((0, 0, 0, 0.0))
        img.append(row)
    return img


SKY_TOP = rgb("3f83d4")
SKY_LOW = rgb("cfe7f8")
SUN = rgb("ffd64a")
SUN_GLOW = rgb("fff4bf")
CLOUD = rgb("f7fbff")
HILL_FAR = rgb("8cc6a4")
HILL_FAR_LOW = rgb("6fae8c")
HILL_NEAR = rgb("6cbf4e")
HILL_NEAR_LOW = rgb("357f2c")


def banner_layers():
    """57x22 strip: blue sky fading to the horizon, a sun with a soft
    glow, a small cloud, and two rows of green hills."""
    h = 22.0

    def sky(x, y):
        return mix(SKY_TOP, SKY_LOW, (y / h) ** 0.85 * 1.15)

    sun_x, sun_y, sun_r, glow_r = 45.5, 6.5, 3.4, 7.0
    sun = sd_circle(sun_x, sun_y, sun_r)

    def glow(x, y):
        d = math.hypot(x - sun_x, y - sun_y)
        if d >= glow_r:
            return None
        t = (glow_r - d) / (glow_r - sun_r)
        return mix(sky(x, y), SUN_GLOW, 0.75 * t * t)

    cloud = sd_intersect(
        sd_union(sd_circle(11.0, 7.6, 2.1), sd_circle(14.2, 6.2, 2.8),
                 sd_circle(17.6, 7.4, 2.2), sd_box(11.0, 6.0, 17.6, 9.6)),
        lambda x, y: y - 9.6)

    def far_top(x):
        return (15.0 - 4.2 * math.exp(-((x - 35.0) / 10.0) ** 2)
                - 2.6 * math.exp(-((x - 7.0) / 8.0) ** 2)
                - 1.2 * math.exp(-((x - 55.0) / 5.0) ** 2))

    def near_top(x):
        return (18.2 - 2.8 * math.exp(-((x - 17.0) / 9.5) ** 2)
                - 1.9 * math.exp(-((x - 51.0) / 7.0) ** 2))

    def far(x, y):
        t = far_top(x)
        return mix(HILL_FAR, HILL_FAR_LOW, (y - t) / 6.0) if y > t else None

    def near(x, y):
        t = near_top(x)
        return mix(HILL_NEAR, HILL_NEAR_LOW, (y - t) / 4.5) if y > t \
            else None

    return [near, far, fill(cloud, CLOUD), fill(sun, SUN), glow, sky]


PAPER = rgb("f3f4f6")
PAPER_LOW = rgb("eaecf0")
PAPER_EDGE = rgb("b7bcc6")
FRAME_LINE = rgb("a4adbc")
FRAME_SKY = rgb("e4edf6")
FRAME_SKY_LOW = rgb("f2f6fa")
SOFT_SUN = rgb("f4d88e")
SOFT_MOUNTAIN = rgb("b3c9b0")
SOFT_MOUNTAIN_LOW = rgb("9fb89c")
SOFT_MOUNTAIN_FAR = rgb("c3d2df")


def placeholder_layers():
    """105x89: light paper with a thin border and, in the middle, a framed
    little picture of two mountains under a sun, all in soft colours."""
    w, h = 105.0, 89.0

    def paper(x, y):
        return mix(PAPER, PAPER_LOW, y / h)

    def border(x, y):
        if x < 1.0 or y < 1.0 or x > w - 1.0 or y > h - 1.0:
            return PAPER_EDGE
        return None

    x0, y0, x1, y1 = 29.0, 26.0, 76.0, 63.0
    inner = sd_box(x0, y0, x1, y1, 2.5)

    def sky(x, y):
        if inner(x, y) >= 0.0:
            return None
        return mix(FRAME_SKY, FRAME_SKY_LOW, (y - y0) / (y1 - y0))

    sun = sd_intersect(sd_circle(65.0, 36.0, 4.0), inner)
    far = sd_intersect(sd_polygon([(44.0, 66.0), (60.0, 44.0),
                                   (80.0, 66.0)], 0.0), inner)
    near_shape = sd_polygon([(25.0, 66.0), (42.0, 39.5), (60.0, 66.0)], 0.0)
    near_mask = sd_intersect(near_shape, inner)

    def near(x, y):
        if near_mask(x, y) >= 0.0:
            return None
        return mix(SOFT_MOUNTAIN, SOFT_MOUNTAIN_LOW, (y - 40.0) / 22.0)

    return [border,
            near,
            fill(far, SOFT_MOUNTAIN_FAR),
            fill(sun, SOFT_SUN),
            sky,
            fill(sd_grow(inner, 1.0), FRAME_LINE),
            paper]


# --------------------------------------------------------------------------
# The name picture of the about window: "Brindle" above "Wallpaper Changer",
# lettered in a rounded geometric hand of our own (strokes of even width
# with round ends, made of lines, arcs and dots), on light paper, with a
# fine rule between the two lines.  Each pixel's coverage comes from its distance to the nearest
# stroke, so the letters stay smooth at any size without supersampling.
# --------------------------------------------------------------------------

NAME_PAPER = rgb("fbfaf6")
NAME_PAPER_LOW = rgb("eef3ef")
NAME_EDGE = rgb("c5ccc8")
NAME_TITLE = rgb("2e4a5c")
NAME_SUBTITLE = rgb("4f7566")
NAME_RULE = rgb("b9c7bf")
NAME_DOT = rgb("e0a93a")

# Letter heights in x-heights: ascender, capitals, descender.
ASCENDER = 1.42
CAPITAL = 1.36
DESCENDER = -0.45


def glyph(ch, w):
    """Strokes and advance of one letter, in x-heights, y upwards, baseline
    at 0, for a stroke width w.  A stroke is ("L", x0, y0, x1, y1), a line;
    ("A", cx, cy, r, a0, a1), an arc counter-clockwise from a0 to a1
    degrees; or ("D", cx, cy, r), a dot.  Centre lines are inset by half a
    stroke so that the outer edges meet the baseline and the x-height."""
    h = w / 2.0
    r = 0.5 - h
    bowl = ("A", 0.5, 0.5, r, 0.0, 360.0)
    arch = ("A", 0.5, 0.5, r, 0.0, 180.0)
    if ch == " ":
        return [], 0.55
    if ch == "a":
        return [bowl, ("L", 1 - h, h, 1 - h, 1 - h)], 1.0
    if ch == "d":
        return [bowl, ("L", 1 - h, h, 1 - h, ASCENDER - h)], 1.0
    if ch == "p":
        return [bowl, ("L", h, DESCENDER + h, h, 1 - h)], 1.0
    if ch == "g":
        return [bowl, ("L", 1 - h, 1 - h, 1 - h, -0.02),
                ("A", 0.5, -0.02, r * 0.86, 205.0, 360.0)], 1.0
    if ch == "e":
        return [("A", 0.5, 0.5, r, 0.0, 318.0),
                ("L", h, 0.5, 1 - h, 0.5)], 1.0
    if ch == "n":
        return [("L", h, h, h, 1 - h), arch, ("L", 1 - h, 0.5, 1 - h, h)], 1.0
    if ch == "h":
        return [("L", h, h, h, ASCENDER - h), arch,
                ("L", 1 - h, 0.5, 1 - h, h)], 1.0
    if ch == "r":
        return [("L", h, h, h, 1 - h), ("A", 0.5, 0.5, r, 62.0, 180.0)], 0.74
    if ch == "i":
        return [("L", h, h, h, 1 - h), ("D", h, 1.3, h * 1.12)], w
    if ch == "l":
        return [("L", h, h, h, ASCENDER - h)], w
    if ch == "C":
        c = CAPITAL / 2.0
        return [("A", c, c, c - h, 42.0, 318.0)], CAPITAL * 0.92
    if ch == "W":
        wd = 1.9
        pts = [(h, CAPITAL - h), (0.26 * wd, h), (0.5 * wd, CAPITAL - h),
               (0.74 * wd, h), (wd - h, CAPITAL - h)]
        return [("L", ax, ay, bx, by)
                for (ax, ay), (bx, by) in zip(pts, pts[1:])], wd
    if ch == "B":
        mid = 0.56 * CAPITAL
        rt = (CAPITAL - h - mid) / 2.0
        rb = (mid - h) / 2.0
        xt, xb = 0.86 - h - rt, 0.96 - h - rb
        return [("L", h, h, h, CAPITAL - h),
                ("L", h, CAPITAL - h, xt, CAPITAL - h),
                ("A", xt, mid + rt, rt, -90.0, 90.0),
                ("L", h, mid, xb, mid),
                ("A", xb, h + rb, rb, -90.0, 90.0),
                ("L", h, h, xb, h)], 0.96
    raise ValueError("no letter drawn for %r" % ch)


def stroke_distance(s, x, y):
    """Distance from (x, y) to the centre line of stroke s."""
    if s[0] == "L":
        _, ax, ay, bx, by = s
        vx, vy = bx - ax, by - ay
        vv = vx * vx + vy * vy
        px, py = x - ax, y - ay
        t = max(0.0, min(1.0, (px * vx + py * vy) / vv)) if vv else 0.0
        return math.hypot(px - vx * t, py - vy * t)
    if s[0] == "D":
        _, cx, cy, r = s
        return max(0.0, math.hypot(x - cx, y - cy) - r)
    _, cx, cy, r, a0, a1 = s
    dx, dy = x - cx, y - cy
    if a1 - a0 >= 360.0 or (math.degrees(math.atan2(dy, dx)) - a0) % 360.0 \
            <= a1 - a0:
        return abs(math.hypot(dx, dy) - r)
    ends = [(cx + r * math.cos(math.radians(a)),
             cy + r * math.sin(math.radians(a))) for a in (a0, a1)]
    return min(math.hypot(x - ex, y - ey) for ex, ey in ends)


def lettering(text, w, spacing):
    """Strokes of a line of text in x-heights (y up) and its width."""
    strokes, x = [], 0.0
    for i, ch in enumerate(text):
        marks, advance = glyph(ch, w)
        for s in marks:
            if s[0] == "A":
                strokes.append(("A", s[1] + x) + s[2:])
            elif s[0] == "D":
                strokes.append(("D", s[1] + x) + s[2:])
            else:
                strokes.append(("L", s[1] + x, s[2], s[3] + x, s[4]))
        x += advance + (spacing if i + 1 < len(text) else 0.0)
    return strokes, x


def name_picture(width=178, height=71, scale=1.0):
    """The name picture at `scale` times its 178x71 layout."""
    lines = []  # (strokes, x-height px, half stroke, left, baseline, colour)
    for text, xh, w, spacing, baseline, colour in (
            ("Brindle", 15.0, 0.2, 0.3, 32.0, NAME_TITLE),
            ("Wallpaper Changer", 7.2, 0.2, 0.36, 58.5, NAME_SUBTITLE)):
        strokes, run = lettering(text, w, spacing)
        left = (width - run * xh) / 2.0
        lines.append((strokes, xh, w / 2.0, left, baseline, colour))
    rule_y, rule_half, gap = 41.5, 34.0, 5.0
    img = []
    px_size = 1.0 / scale  # one pixel in layout units
    cols, rows, edge = round(width * scale), round(height * scale), round(scale)
    for py in range(rows):
        row = []
        y = (py + 0.5) * px_size
        for px in range(cols):
            x = (px + 0.5) * px_size
            colour = mix(NAME_PAPER, NAME_PAPER_LOW, y / height)
            # The fine rule, broken in the middle by a small golden dot.
            dx = abs(x - width / 2.0)
            if gap < dx < rule_half:
                cover = max(0.0, min(1.0, 0.5 * scale - abs(y - rule_y) * scale
                                     + 0.5))
                colour = mix(colour, NAME_RULE, cover)
            dot = math.hypot(x - width / 2.0, y - rule_y) - 1.6
            colour = mix(colour, NAME_DOT, 0.5 - dot * scale)
            for strokes, xh, hw, left, base, ink in lines:
                fx, fy = (x - left) / xh, (base - y) / xh
                if not (-0.5 < fx and DESCENDER - 0.5 < fy < ASCENDER + 0.5):
                    continue
                d = min(stroke_distance(s, fx, fy) for s in strokes) - hw
                colour = mix(colour, ink, 0.5 - d * xh * scale)
            if min(px, py, cols - 1 - px, rows - 1 - py) < edge:
                colour = NAME_EDGE
            row.append(colour + (1.0,))
        img.append(row)
    return img


# --------------------------------------------------------------------------
# Palette reduction (deterministic median cut)
# --------------------------------------------------------------------------

def median_cut(counts, n):
    """counts: {colour: weight}.  Return at most n representative colours."""
    boxes = [sorted(counts.items())]
    while len(boxes) < n:
        best, best_i, best_ch = -1, -1, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                vals = [c[ch] for c, _ in box]
                rng = max(vals) - min(vals)
                if rng > best:
                    best, best_i, best_ch = rng, i, ch
        if best_i < 0:
            break
        box = sorted(boxes.pop(best_i), key=lambda cw: (cw[0][best_ch], cw[0]))
        total = sum(w for _, w in box)
        acc, cut = 0, 1
        for j, (_, w) in enumerate(box):
            acc += w
            if acc * 2 >= total:
                cut = max(1, min(len(box) - 1, j + 1))
                break
        boxes.insert(best_i, box[:cut])
        boxes.insert(best_i + 1, box[cut:])
    out = []
    for box in boxes:
        tw = sum(w for _, w in box)
        out.append(tuple(round(sum(c[ch] * w for c, w in box) / tw)
                         for ch in range(3)))
    return out


def nearest(pal, c):
    best, bi = None, 0
    for i, p in enumerate(pal):
        d = ((p[0] - c[0]) * 3) ** 2 + ((p[1] - c[1]) * 4) ** 2 + \
            ((p[2] - c[2]) * 2) ** 2
        if best is None or d < best:
            best, bi = d, i
    return bi


def to_indexed(img, ncolours):
    """Binary transparency plus a palette of `ncolours` entries.

    Index 0 is black; it is used for transparent pixels (where the AND mask
    is set) and may also serve opaque black pixels.
    """
    counts = {}
    for row in img:
        for (r, g, b, a) in row:
            if a >= 0.5:
                counts[(r, g, b)] = counts.get((r, g, b), 0) + 1
    opaque = [c for c in counts if c != BLACK]
    if len(opaque) <= ncolours - 1:
        pal = [BLACK] + sorted(opaque)
    else:
        pal = [BLACK] + sorted(median_cut(
            {c: w for c, w in counts.items() if c != BLACK}, ncolours - 1))
    pal += [BLACK] * (ncolours - len(pal))
    lookup = {}
    idx, mask = [], []
    for row in img:
        irow, mrow = [], []
        for (r, g, b, a) in row:
            if a >= 0.5:
                c = (r, g, b)
                if c not in lookup:
                    lookup[c] = nearest(pal, c)
                irow.append(lookup[c])
                mrow.append(0)
            else:
                irow.append(0)
                mrow.append(1)
        idx.append(irow)
        mask.append(mrow)
    return pal, idx, mask


# --------------------------------------------------------------------------
# ICO writing
# --------------------------------------------------------------------------

def _pad4(b):
    return b + b"\0" * (-len(b) % 4)


def _and_mask_bytes(mask):
    out = b""
    for row in reversed(mask):
        bits = bytearray((len(row) + 7) // 8)
        for x, m in enumerate(row):
            if m:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += _pad4(bytes(bits))
    return out


def _bih(size, bpp, image_bytes, clr_used):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                       image_bytes, 0, 0, clr_used, 0)


def dib_indexed(img, bpp):
    size = len(img)
    ncol = 1 << bpp
    pal, idx, mask = to_indexed(img, ncol)
    xor = b""
    for row in reversed(idx):
        if bpp == 8:
            data = bytes(row)
        elif bpp == 4:
            data = bytes((row[i] << 4) | (row[i + 1] if i + 1 < len(row)
                                          else 0)
                         for i in range(0, len(row), 2))
        else:
            raise ValueError(bpp)
        xor += _pad4(data)
    and_ = _and_mask_bytes(mask)
    palette = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in pal)
    data = _bih(size, bpp, len(xor) + len(and_), ncol) + palette + xor + and_
    return {"size": size, "bpp": bpp, "colours": ncol if bpp < 8 else 0,
            "data": data}


def dib_rgba(img):
    size = len(img)
    xor = b""
    mask = []
    for row in reversed(img):
        for (r, g, b, a) in row:
            alpha = int(round(a * 255))
            if alpha == 0:
                xor += b"\0\0\0\0"
            else:
                xor += struct.pack("<BBBB", b, g, r, alpha)
    for row in img:
        mask.append([1 if int(round(a * 255)) == 0 else 0
                     for (_, _, _, a) in row])
    and_ = _and_mask_bytes(mask)
    data = _bih(size, 32, len(xor) + len(and_), 0) + xor + and_
    return {"size": size, "bpp": 32, "colours": 0, "data": data}


def png_rgba(img):
    """A 32-bit PNG entry, as large icons (256 pixels) are stored."""
    size = len(img)
    raw = b"".join(
        b"\0" + b"".join(struct.pack("<BBBB", r, g, b, round(a * 255))
                         if round(a * 255) else b"\0\0\0\0"
                         for (r, g, b, a) in row)
        for row in img)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    data = (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    return {"size": size, "bpp": 32, "colours": 0, "data": data}


def write_ico(path, entries):
    head = struct.pack("<HHH", 0, 1, len(entries))
    offset = len(head) + 16 * len(entries)
    dirs, blobs = b"", b""
    for e in entries:
        s = e["size"] if e["size"] < 256 else 0
        dirs += struct.pack("<BBBBHHII", s, s, e["colours"], 0, 1, e["bpp"],
                            len(e["data"]), offset)
        offset += len(e["data"])
        blobs += e["data"]
    with open(path, "wb") as f:
        f.write(head + dirs + blobs)


def write_bmp(path, img):
    """Bottom-up 24-bit BMP, rows padded to whole 4-byte words."""
    height, width = len(img), len(img[0])
    rows = b""
    for row in reversed(img):
        rows += _pad4(b"".join(struct.pack("<BBB", b, g, r)
                               for (r, g, b, _) in row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0,
                       len(rows), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0,
                       14 + len(info))
    with open(path, "wb") as f:
        f.write(head + info + rows)


# --------------------------------------------------------------------------

# The sizes Windows asks for besides 16 and 32: 125, 150 and 200 per cent
# of the small ones, 125 and 150 of the large.  The program icon also comes
# at 64 and 256 (Explorer's large views), the largest as PNG.
SCALED_SIZES = (20, 24, 40, 48)


def draw_all_but_name(out_dir):
    flower_16 = from_grid(grid_rows(FLOWER_16))
    xclock_16 = from_grid(overlay_lower_right(grid_rows(FLOWER_16),
                                              grid_rows(CROSS_BADGE_8)))

    def flower(size, ss=SUPERSAMPLE):
        return render(at_size(flower_layers(size), size), size, ss)

    def xclock(size):
        return render(at_size(cross_badge_layers(size) +
                              flower_layers(size), size), size)

    for name, draw, small, extra in (("flower.ico", flower, flower_16,
                                      [flower(64, 4)]),
                                     ("xclock.ico", xclock, xclock_16, [])):
        big = draw(32)
        write_ico(os.path.join(out_dir, name), [
            dib_indexed(big, 8), dib_indexed(small, 8),
            dib_rgba(big), dib_rgba(small)] +
            [dib_rgba(draw(s)) for s in SCALED_SIZES] +
            [dib_rgba(p) for p in extra] +
            ([png_rgba(flower(256, 2))] if name == "flower.ico" else []))

    write_ico(os.path.join(out_dir, "warning.ico"), [
        dib_indexed(render(warning_layers(), 32), 4),
        dib_indexed(from_grid(grid_rows(WARNING_16)), 4)] +
        [dib_indexed(render(at_size(warning_layers(s), s), s), 4)
         for s in SCALED_SIZES])

    # Picture buttons: 32, 24 and 16 pixels at 8 bpp and 32 bpp; 20, 40
    # and 48 at 32 bpp.
    for name, layers_for, small in (
            ("delete.ico", delete_layers, DELETE_16),
            ("deleteall.ico", deleteall_layers, DELETEALL_16),
            ("save.ico", save_layers, SAVE_16),
            ("load.ico", load_layers, LOAD_16),
            ("minimize.ico", minimize_layers, MINIMIZE_16)):
        pics = [render(layers_for(32), 32), render(layers_for(24), 24),
                from_grid(grid_rows(small), BUTTON_COLOURS)]
        write_ico(os.path.join(out_dir, name),
                  [dib_indexed(p, 8) for p in pics] +
                  [dib_rgba(p) for p in pics] +
                  [dib_rgba(render(layers_for(s), s)) for s in (20, 40, 48)])

    pics = [from_grid(grid_rows(EXTEND_16), BUTTON_COLOURS),
            from_grid(grid_rows(EXTEND_8), BUTTON_COLOURS)]
    write_ico(os.path.join(out_dir, "extend.ico"),
              [dib_indexed(p, 8) for p in pics] + [dib_rgba(p) for p in pics])

    for name, layers, w, h in (("banner", banner_layers(), 57, 22),
                               ("placeholder", placeholder_layers(), 105, 89)):
        write_bmp(os.path.join(out_dir, name + ".bmp"),
                  render_rect(layers, w, h))
        write_bmp(os.path.join(out_dir, name + "@2x.bmp"),
                  render_rect(layers, 2 * w, 2 * h, scale=2.0))


def main():
    args = sys.argv[1:]
    only = None
    if "--only" in args:
        i = args.index("--only")
        only = args[i + 1] if i + 1 < len(args) else ""
        del args[i:i + 2]
        if only != "name":
            sys.exit("--only takes one of: name")
    out_dir = args[0] if args else OUT_DIR

    if only is None:
        draw_all_but_name(out_dir)
    write_bmp(os.path.join(out_dir, "name.bmp"), name_picture())
    write_bmp(os.path.join(out_dir, "name@2x.bmp"), name_picture(scale=2.0))


if __name__ == "__main__":
    main()
