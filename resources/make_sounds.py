#!/usr/bin/env python3
"""Writes the three built-in sounds: short 8 kHz, 8-bit mono WAV files.

101: a web page arrived (two rising notes), 102: downloading ended (three
falling notes), 103: an item failed (a low double buzz). Run once; the WAV
files it writes are kept in the repository.
"""
import math
import struct
import sys
from pathlib import Path

RATE = 8000


def tone(frequency, seconds, volume=0.6, square=False):
    count = int(RATE * seconds)
    fade = max(1, int(RATE * 0.01))
    samples = []
    for i in range(count):
        phase = math.sin(2 * math.pi * frequency * i / RATE)
        value = (1.0 if phase >= 0 else -1.0) * 0.5 if square else phase
        envelope = min(1.0, i / fade, (count - i) / fade)
        samples.append(int(128 + 127 * volume * envelope * value))
    return samples


def silence(seconds):
    return [128] * int(RATE * seconds)


def wav(samples):
    data = bytes(samples)
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE"
    header += b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE, 1, 8)
    header += b"data" + struct.pack("<I", len(data))
    return header + data


SOUNDS = {
    101: tone(880, 0.12) + silence(0.03) + tone(1320, 0.15),
    102: tone(1046, 0.12) + tone(784, 0.12) + tone(523, 0.2),
    103: tone(220, 0.15, square=True) + silence(0.05) + tone(220, 0.15, square=True),
}

if __name__ == "__main__":
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent / "sounds")
    folder.mkdir(parents=True, exist_ok=True)
    for number, samples in SOUNDS.items():
        (folder / f"{number}.wav").write_bytes(wav(samples))
