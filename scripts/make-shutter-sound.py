#!/usr/bin/env python3
"""Synthesises the capture window's shutter click (resources/library/wave/433.wav).

A camera shutter heard from close by is two short mechanical clicks (the blades opening, then closing)
with a little noisy rattle after each. The sound is made from seeded noise bursts shaped by fast decays
and a low resonance, so the file is the same on every run: 16-bit mono at 22050 Hz, about a quarter
of a second.

Usage: scripts/make-shutter-sound.py [OUTPUT]   (default: resources/library/wave/433.wav)
"""
import math
import os
import random
import struct
import sys
import wave

RATE = 22050
LENGTH_S = 0.25


def click(samples, start_s, loudness, decay_ms, resonance_hz, rng):
    """Adds one click: a noise burst with a decaying resonance under it."""
    start = int(start_s * RATE)
    span = int(decay_ms * 8 / 1000 * RATE)
    low = 0.0
    for i in range(span):
        n = start + i
        if n >= len(samples):
            break
        t = i / RATE
        envelope = math.exp(-t * 1000 / decay_ms)
        noise = rng.uniform(-1.0, 1.0)
        # A one-pole low pass gives the noise the body of metal rather than hiss.
        low += 0.35 * (noise - low)
        ring = math.sin(2 * math.pi * resonance_hz * t) * math.exp(-t * 1000 / (decay_ms * 1.6))
        samples[n] += loudness * envelope * (0.65 * low + 0.35 * noise) + 0.45 * loudness * ring


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), "..", "resources", "library", "wave", "433.wav")
    rng = random.Random(433)
    samples = [0.0] * int(LENGTH_S * RATE)
    click(samples, 0.004, 0.95, 6.0, 1900.0, rng)   # the blades open
    click(samples, 0.020, 0.35, 14.0, 900.0, rng)   # their rattle
    click(samples, 0.105, 0.80, 7.0, 1500.0, rng)   # the blades close
    click(samples, 0.122, 0.25, 18.0, 700.0, rng)   # and settle
    peak = max(abs(s) for s in samples) or 1.0
    scale = 0.85 * 32767 / peak
    # A short fade at the end so the sound never stops on a step.
    fade = int(0.01 * RATE)
    for i in range(fade):
        samples[-1 - i] *= i / fade
    frames = b"".join(struct.pack("<h", int(round(s * scale))) for s in samples)
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


if __name__ == "__main__":
    main()
