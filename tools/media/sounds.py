#!/usr/bin/env python3
"""Makes the tutor's five sounds (22050 Hz, 16-bit mono) from plain sine tones.

Run from the repository root: python3 tools/media/sounds.py data
The files are committed; run this again only to change them.
"""
import math
import struct
import sys
import wave

RATE = 22050


def tone(freq, seconds, volume=0.5, attack=0.005, decay=6.0, harmonics=(1.0, 0.3, 0.1)):
    n = int(RATE * seconds)
    out = []
    for i in range(n):
        t = i / RATE
        env = min(1.0, t / attack) * math.exp(-decay * t)
        s = sum(a * math.sin(2 * math.pi * freq * (k + 1) * t) for k, a in enumerate(harmonics))
        out.append(volume * env * s / sum(harmonics))
    return out


def mix(*parts):
    """Each part is (start seconds, samples)."""
    length = max(int(start * RATE) + len(s) for start, s in parts)
    out = [0.0] * length
    for start, samples in parts:
        offset = int(start * RATE)
        for i, v in enumerate(samples):
            out[offset + i] += v
    peak = max(1e-9, max(abs(v) for v in out))
    return [v / peak * 0.8 for v in out] if peak > 0.8 else out


def save(path, samples):
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b''.join(struct.pack('<h', int(max(-1, min(1, v)) * 32767)) for v in samples))


def main(folder):
    save(folder + '/Click.wav', tone(2400, 0.03, 0.4, attack=0.001, decay=160, harmonics=(1.0, 0.2)))
    save(folder + '/Theend.wav', mix((0.0, tone(523.25, 0.5)), (0.12, tone(659.25, 0.5)),
                                     (0.24, tone(783.99, 0.7, decay=4))))
    save(folder + '/Error.wav', tone(196, 0.12, 0.45, attack=0.004, decay=18, harmonics=(1.0, 0.5, 0.25)))
    save(folder + '/Error2.wav', mix((0.0, tone(330, 0.18, decay=12)), (0.14, tone(247, 0.3, decay=10))))
    save(folder + '/Intro.wav', mix((0.0, tone(392.0, 0.6, decay=4)), (0.15, tone(523.25, 0.6, decay=4)),
                                    (0.3, tone(659.25, 0.6, decay=4)), (0.45, tone(783.99, 1.0, decay=3)),
                                    (0.45, tone(523.25, 1.0, 0.3, decay=3))))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'data')
