#!/usr/bin/env python3
"""Draws the installation's pictures: the start-up splash, the menu logo and the course icon.

Run from the repository root: python3 tools/media/art.py data
Plain 24-bit BMP files drawn from rectangles and a small block font; the files are committed.
"""
import struct
import sys

FONT = {  # 5 x 7 block letters
    'K': ['10001', '10010', '10100', '11000', '10100', '10010', '10001'],
    'E': ['11111', '10000', '10000', '11110', '10000', '10000', '11111'],
    'Y': ['10001', '10001', '01010', '00100', '00100', '00100', '00100'],
    'S': ['01111', '10000', '10000', '01110', '00001', '00001', '11110'],
    'C': ['01111', '10000', '10000', '10000', '10000', '10000', '01111'],
    'H': ['10001', '10001', '10001', '11111', '10001', '10001', '10001'],
    'O': ['01110', '10001', '10001', '10001', '10001', '10001', '01110'],
    'L': ['10000', '10000', '10000', '10000', '10000', '10000', '11111'],
    'A': ['01110', '10001', '10001', '11111', '10001', '10001', '10001'],
    'R': ['11110', '10001', '10001', '11110', '10100', '10010', '10001'],
    'F': ['11111', '10000', '10000', '11110', '10000', '10000', '10000'],
    'J': ['00111', '00010', '00010', '00010', '00010', '10010', '01100'],
    'D': ['11110', '10001', '10001', '10001', '10001', '10001', '11110'],
    'Q': ['01110', '10001', '10001', '10001', '10101', '10010', '01101'],
    'U': ['10001', '10001', '10001', '10001', '10001', '10001', '01110'],
    'I': ['01110', '00100', '00100', '00100', '00100', '00100', '01110'],
    'T': ['11111', '00100', '00100', '00100', '00100', '00100', '00100'],
    ' ': ['00000'] * 7,
}


class Canvas:
    def __init__(self, w, h, colour):
        self.w, self.h = w, h
        self.px = [[colour] * w for _ in range(h)]

    def rect(self, x, y, w, h, colour):
        for j in range(max(0, y), min(self.h, y + h)):
            row = self.px[j]
            for i in range(max(0, x), min(self.w, x + w)):
                row[i] = colour

    def gradient(self, top, bottom):
        for j in range(self.h):
            f = j / max(1, self.h - 1)
            c = tuple(int(a + (b - a) * f) for a, b in zip(top, bottom))
            self.px[j] = [c] * self.w

    def key(self, x, y, w, h, face, edge, label=None, scale=2, ink=(40, 40, 60)):
        self.rect(x, y, w, h, edge)
        self.rect(x + 2, y + 2, w - 4, h - 6, face)
        if label:
            tw = (6 * len(label) - 1) * scale
            self.text(x + (w - tw) // 2, y + (h - 4 - 7 * scale) // 2, label, scale, ink)

    def text(self, x, y, s, scale, colour):
        for n, ch in enumerate(s):
            for j, row in enumerate(FONT[ch]):
                for i, bit in enumerate(row):
                    if bit == '1':
                        self.rect(x + (n * 6 + i) * scale, y + j * scale, scale, scale, colour)

    def save(self, path):
        stride = (self.w * 3 + 3) & ~3
        data = b''
        for row in reversed(self.px):
            line = b''.join(bytes((b, g, r)) for r, g, b in row)
            data += line + b'\0' * (stride - len(line))
        head = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
        info = struct.pack('<IiiHHIIiiII', 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        with open(path, 'wb') as f:
            f.write(head + info + data)


FACE, EDGE, HOME = (250, 250, 245), (150, 150, 170), (255, 236, 170)


def splash(path):
    c = Canvas(400, 240, (0, 0, 0))
    c.gradient((40, 70, 140), (110, 160, 220))
    c.text(23, 48, 'QUILLSTROKER', 5, (255, 255, 255))
    for i, ch in enumerate('ASDF JKL'):
        if ch != ' ':
            c.key(22 + i * 45, 140, 40, 42, HOME if ch in 'FJ' else FACE, EDGE, ch)
    c.rect(60, 196, 280, 22, EDGE)
    c.rect(62, 198, 276, 16, FACE)
    c.save(path)


def logo(path):
    c = Canvas(200, 60, (255, 255, 255))
    c.key(6, 8, 44, 46, HOME, EDGE, 'Q', 3)
    c.text(56, 20, 'QUILLSTROKER', 2, (40, 70, 140))
    c.save(path)


def icon(path):
    c = Canvas(64, 64, (255, 255, 255))
    c.key(4, 4, 27, 27, FACE, EDGE, 'F', 2)
    c.key(33, 4, 27, 27, HOME, EDGE, 'J', 2)
    c.key(4, 33, 56, 27, FACE, EDGE, 'ASD', 2)
    c.save(path)


if __name__ == '__main__':
    folder = sys.argv[1] if len(sys.argv) > 1 else 'data'
    splash(folder + '/splash.bmp')
    logo(folder + '/logo.bmp')
    icon(folder + '/lessons/course.bmp')
