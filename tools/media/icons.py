#!/usr/bin/env python3
"""Draws the programs' icons: the tutor, the monitor and the monitor's tray states.

Run from the repository root: python3 tools/media/icons.py desktop/icons
Each icon is one list of shapes, written as an SVG (hicolor/scalable) and rasterised by this
script into PNGs at the usual hicolor sizes, so the two never disagree. Plain Python, no
packages; the files are committed. With --check FOLDER it only tells whether FOLDER holds
exactly what it would write.
"""
import math
import os
import struct
import sys
import tempfile
import zlib

UNITS = 512  # the design grid every shape is given in
APP_SIZES = (16, 22, 24, 32, 48, 64, 128, 256, 512)
TRAY_SIZES = (16, 22, 24, 32, 48)

FACE, EDGE, HOME = (250, 250, 245), (150, 150, 170), (255, 236, 170)
INK, WHITE = (40, 40, 60), (255, 255, 255)
BLUE = ((70, 110, 190), (40, 70, 140))
TEAL = ((60, 170, 160), (25, 110, 110))
TRAY = {'watching': ((90, 190, 100), (40, 130, 60)),
        'paused': ((245, 185, 60), (200, 130, 20)),
        'off': ((160, 160, 170), (110, 110, 120))}


def fmt(v):
    return ('%.2f' % v).rstrip('0').rstrip('.')


def hexcolour(c):
    return '#%02x%02x%02x' % c


class Shape:
    """A filled shape: `fill` is a colour or a (top, bottom) vertical gradient over its box."""

    def __init__(self, fill, box):
        self.fill, self.box = fill, box

    def colour_at(self, y):
        if isinstance(self.fill[0], int):
            return self.fill
        top, bottom = self.fill
        y0, y1 = self.box[1], self.box[3]
        f = min(1.0, max(0.0, (y - y0) / max(1e-6, y1 - y0)))
        return tuple(round(a + (b - a) * f) for a, b in zip(top, bottom))

    def svg_fill(self, defs):
        if isinstance(self.fill[0], int):
            return 'fill="%s"' % hexcolour(self.fill)
        gid = 'g%d' % len(defs)
        top, bottom = self.fill
        defs.append('<linearGradient id="%s" gradientUnits="userSpaceOnUse" x1="0" y1="%s" '
                    'x2="0" y2="%s"><stop offset="0" stop-color="%s"/><stop offset="1" '
                    'stop-color="%s"/></linearGradient>'
                    % (gid, fmt(self.box[1]), fmt(self.box[3]), hexcolour(top), hexcolour(bottom)))
        return 'fill="url(#%s)"' % gid


class RoundRect(Shape):
    def __init__(self, x, y, w, h, r, fill):
        super().__init__(fill, (x, y, x + w, y + h))
        self.cx, self.cy, self.hw, self.hh, self.r = x + w / 2, y + h / 2, w / 2, h / 2, r

    def distance(self, x, y):
        qx = abs(x - self.cx) - self.hw + self.r
        qy = abs(y - self.cy) - self.hh + self.r
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - self.r

    def svg(self, defs):
        x, y = self.cx - self.hw, self.cy - self.hh
        return '<rect x="%s" y="%s" width="%s" height="%s" rx="%s" %s/>' % (
            fmt(x), fmt(y), fmt(2 * self.hw), fmt(2 * self.hh), fmt(self.r), self.svg_fill(defs))


class Circle(Shape):
    def __init__(self, cx, cy, r, fill):
        super().__init__(fill, (cx - r, cy - r, cx + r, cy + r))
        self.cx, self.cy, self.r = cx, cy, r

    def distance(self, x, y):
        return math.hypot(x - self.cx, y - self.cy) - self.r

    def svg(self, defs):
        return '<circle cx="%s" cy="%s" r="%s" %s/>' % (
            fmt(self.cx), fmt(self.cy), fmt(self.r), self.svg_fill(defs))


class Ring(Shape):
    """A circle's outline `width` wide, centred on radius `r`."""

    def __init__(self, cx, cy, r, width, fill):
        o = r + width / 2
        super().__init__(fill, (cx - o, cy - o, cx + o, cy + o))
        self.cx, self.cy, self.r, self.width = cx, cy, r, width

    def distance(self, x, y):
        return abs(math.hypot(x - self.cx, y - self.cy) - self.r) - self.width / 2

    def svg(self, defs):
        return '<circle cx="%s" cy="%s" r="%s" fill="none" stroke="%s" stroke-width="%s"/>' % (
            fmt(self.cx), fmt(self.cy), fmt(self.r), hexcolour(self.fill), fmt(self.width))


class Stroke(Shape):
    """A straight line `width` wide with round ends."""

    def __init__(self, x1, y1, x2, y2, width, fill):
        w = width / 2
        super().__init__(fill, (min(x1, x2) - w, min(y1, y2) - w, max(x1, x2) + w,
                                max(y1, y2) + w))
        self.p, self.q, self.width = (x1, y1), (x2, y2), width

    def distance(self, x, y):
        (x1, y1), (x2, y2) = self.p, self.q
        dx, dy = x2 - x1, y2 - y1
        t = min(1.0, max(0.0, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - x1 - t * dx, y - y1 - t * dy) - self.width / 2

    def svg(self, defs):
        (x1, y1), (x2, y2) = self.p, self.q
        return ('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="%s" '
                'stroke-linecap="round"/>' % (fmt(x1), fmt(y1), fmt(x2), fmt(y2),
                                              hexcolour(self.fill), fmt(self.width)))


class Lens(Shape):
    """An eye: the overlap of two equal circles, `w` wide and `h` high."""

    def __init__(self, cx, cy, w, h, fill):
        super().__init__(fill, (cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2))
        a, b = w / 2, h / 2
        self.cx, self.cy, self.a = cx, cy, a
        self.r = (a * a + b * b) / (2 * b)
        self.offset = self.r - b  # the circles' centres lie this far below and above the middle

    def distance(self, x, y):
        upper = math.hypot(x - self.cx, y - (self.cy + self.offset)) - self.r
        lower = math.hypot(x - self.cx, y - (self.cy - self.offset)) - self.r
        return max(upper, lower)

    def svg(self, defs):
        left, right, r = fmt(self.cx - self.a), fmt(self.cx + self.a), fmt(self.r)
        cy = fmt(self.cy)
        return '<path d="M%s,%s A%s,%s 0 0,1 %s,%s A%s,%s 0 0,1 %s,%s Z" %s/>' % (
            left, cy, r, r, right, cy, r, r, left, cy, self.svg_fill(defs))


def keycap(x, y, w, h, face=FACE):
    """A key seen from the front: its darker side, then its face."""
    return [RoundRect(x, y, w, h, w * 0.14, EDGE),
            RoundRect(x + w * 0.06, y + h * 0.04, w * 0.88, h * 0.78, w * 0.1, face)]


def eye(cx, cy, w, pupil=INK, white=WHITE):
    return [Lens(cx, cy, w, w * 0.58, white), Circle(cx, cy, w * 0.17, pupil),
            Circle(cx - w * 0.06, cy - w * 0.06, w * 0.05, WHITE)]


def tutor():
    shapes = [RoundRect(32, 32, 448, 448, 96, BLUE)]
    shapes += keycap(104, 96, 304, 320)
    # The letter Q on the key: the product's initial.
    shapes += [Ring(256, 226, 82, 40, INK), Stroke(290, 262, 340, 318, 40, INK)]
    shapes += [RoundRect(196, 356, 120, 16, 8, HOME)]
    return shapes


def monitor():
    shapes = [RoundRect(32, 32, 448, 448, 96, TEAL)]
    shapes += eye(256, 196, 340)
    for i in range(3):
        shapes += keycap(92 + i * 116, 322, 96, 100, HOME if i == 1 else FACE)
    return shapes


def tray(state):
    shapes = [Circle(256, 256, 240, TRAY[state])]
    if state == 'paused':
        shapes += [RoundRect(162, 136, 70, 240, 24, WHITE), RoundRect(280, 136, 70, 240, 24, WHITE)]
    else:
        shapes += eye(256, 256, 380) if state == 'watching' else eye(
            256, 256, 380, TRAY['off'][1], (215, 215, 222))
    if state == 'off':
        shapes += [Stroke(118, 394, 394, 118, 84, (90, 90, 100)),
                   Stroke(118, 394, 394, 118, 40, WHITE)]
    return shapes


def render(shapes, size):
    """RGBA rows: every shape painted over the ones before, antialiased by its distance."""
    scale = size / UNITS
    px = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]
    for shape in shapes:
        x0, y0, x1, y1 = shape.box
        for j in range(max(0, int(y0 * scale) - 1), min(size, int(y1 * scale) + 2)):
            y = (j + 0.5) / scale
            colour = shape.colour_at(y)
            row = px[j]
            for i in range(max(0, int(x0 * scale) - 1), min(size, int(x1 * scale) + 2)):
                cover = 0.5 - shape.distance((i + 0.5) / scale, y) * scale
                if cover <= 0.0:
                    continue
                a = min(1.0, cover)
                r, g, b, under = row[i]
                out = a + under * (1 - a)
                row[i] = tuple((c * a + u * under * (1 - a)) / out
                               for c, u in zip(colour, (r, g, b))) + (out,)
    return px


def png(px):
    size = len(px)
    raw = b''.join(b'\0' + bytes(v for r, g, b, a in row
                                 for v in (round(r), round(g), round(b), round(a * 255)))
                   for row in px)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack(
            '>I', zlib.crc32(kind + data) & 0xffffffff)

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def svg(shapes):
    defs = []
    body = [s.svg(defs) for s in shapes]
    head = '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">' % (
        UNITS, UNITS, UNITS, UNITS)
    parts = [head] + (['<defs>'] + defs + ['</defs>'] if defs else []) + body + ['</svg>']
    return ('\n'.join(parts) + '\n').encode()


def icons():
    """(path under the folder, shapes, sizes) of every icon."""
    out = [('apps', 'org.quillstroker.Keyscholar', tutor(), APP_SIZES),
           ('apps', 'org.quillstroker.Tapwatch', monitor(), APP_SIZES)]
    out += [('status', 'org.quillstroker.Tapwatch-' + s, tray(s), TRAY_SIZES) for s in TRAY]
    return out


def write(folder):
    for context, name, shapes, sizes in icons():
        files = {'hicolor/scalable/%s/%s.svg' % (context, name): svg(shapes)}
        for n in sizes:
            files['hicolor/%dx%d/%s/%s.png' % (n, n, context, name)] = png(render(shapes, n))
        for rel, data in files.items():
            path = os.path.join(folder, rel)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, 'wb') as f:
                f.write(data)


def same_tree(a, b):
    def listing(root):
        return sorted(os.path.relpath(os.path.join(d, f), root)
                      for d, _, files in os.walk(root) for f in files)

    names = listing(a)
    if names != listing(b):
        return False
    for n in names:
        with open(os.path.join(a, n), 'rb') as fa, open(os.path.join(b, n), 'rb') as fb:
            if fa.read() != fb.read():
                print('differs: ' + n)
                return False
    return True


if __name__ == '__main__':
    if len(sys.argv) == 3 and sys.argv[1] == '--check':
        with tempfile.TemporaryDirectory() as fresh:
            write(fresh)
            ok = same_tree(fresh, sys.argv[2])
        print('icons are current' if ok else 'icons are stale: run tools/media/icons.py')
        sys.exit(0 if ok else 1)
    write(sys.argv[1] if len(sys.argv) > 1 else 'desktop/icons')
