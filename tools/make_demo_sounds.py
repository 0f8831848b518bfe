#!/usr/bin/env python3
"""Writes the demo game's sounds (demo/) with the Python standard library alone.

Run it from anywhere: `python3 tools/make_demo_sounds.py`. The output is the same on every run,
so the committed files only change when this script does.

  theme.mid       the background music: a gentle 16-bar waltz on celesta, strings and harp, looped
                  by the game with `play`
  chime.wav       the sound effect of a star fragment found: a falling run of bell tones
  mio_voice.wav   Mio's voice line: a short hummed "mm-hm!", two vowel-like tones rising
"""
import math
import os
import struct
import wave

DEMO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "demo")
TICKS = 480  # per quarter note


def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def track(events):
    """events: (tick, bytes) in any order; returns an MTrk chunk."""
    data = b""
    now = 0
    for tick, message in sorted(events, key=lambda e: (e[0], e[1][0] & 0xF0 != 0x80)):
        data += variable_length(tick - now) + message
        now = tick
    data += variable_length(0) + b"\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(data)) + data


def notes(channel, program, volume, parts):
    """parts: (start beat, length in beats, note numbers)."""
    events = [(0, bytes([0xC0 | channel, program])), (0, bytes([0xB0 | channel, 7, volume]))]
    for start, length, pitches in parts:
        for pitch in pitches:
            events.append((int(start * TICKS), bytes([0x90 | channel, pitch, 80])))
            events.append((int((start + length) * TICKS) - 1, bytes([0x80 | channel, pitch, 0])))
    return events


def make_theme():
    # Waltz time, 16 bars: melody, a chord on beats two and three, a bass note on beat one.
    melody = [76, 79, 81, 79, 76, 74, 72, 74, 76, 72, 69, 71, 72, 74, 76, 79,
              81, 79, 76, 74, 72, 74, 76, 79, 77, 76, 74, 72, 71, 72, 74, 72]
    harmony = [(60, 64, 67), (57, 60, 64), (53, 57, 60), (55, 59, 62)] * 4
    bass = [48, 45, 41, 43] * 4
    lead, chords, low = [], [], []
    for bar in range(16):
        beat = bar * 3
        lead.append((beat, 2, [melody[bar * 2]]))
        lead.append((beat + 2, 1, [melody[bar * 2 + 1]]))
        chords.append((beat + 1, 1, harmony[bar]))
        chords.append((beat + 2, 1, harmony[bar]))
        low.append((beat, 3, [bass[bar]]))
    tempo = (0, b"\xff\x51\x03" + (600000).to_bytes(3, "big"))  # 100 beats a minute
    conductor = track([tempo, (0, b"\xff\x58\x04\x03\x02\x18\x08")])
    header = b"MThd" + struct.pack(">IHHH", 6, 1, 4, TICKS)
    return (header + conductor + track(notes(0, 8, 100, lead)) + track(notes(1, 48, 70, chords)) +
            track(notes(2, 46, 90, low)))


def write_wave(path, rate, samples):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(b"".join(struct.pack("<h", max(-32767, min(32767, int(s)))) for s in samples))


def make_chime(rate=22050):
    out = [0.0] * int(rate * 1.2)
    for index, frequency in enumerate((2093, 1760, 1568, 1319, 1047)):
        start = int(index * 0.08 * rate)
        for i in range(len(out) - start):
            t = i / rate
            bell = math.sin(2 * math.pi * frequency * t) + 0.3 * math.sin(2 * math.pi * frequency * 2.76 * t)
            out[start + i] += 5000 * bell * math.exp(-t * 4.0)
    return out


def make_voice(rate=22050):
    # Two hummed syllables; a glottal pulse train through two resonances, pitch rising.
    out = []
    for start_pitch, end_pitch, seconds, formants in ((220, 200, 0.22, (300, 900)), (230, 330, 0.3, (500, 1500))):
        count = int(rate * seconds)
        phase = 0.0
        for i in range(count):
            t = i / count
            pitch = start_pitch + (end_pitch - start_pitch) * t
            phase += pitch / rate
            envelope = math.sin(math.pi * t) ** 0.6
            value = sum(math.sin(2 * math.pi * harmonic * phase) / harmonic *
                        sum(math.exp(-((harmonic * pitch - f) / 180.0) ** 2) for f in formants)
                        for harmonic in range(1, 12))
            out.append(9000 * envelope * value)
        out.extend([0.0] * int(rate * 0.05))
    return out


def main():
    with open(os.path.join(DEMO, "theme.mid"), "wb") as f:
        f.write(make_theme())
    write_wave(os.path.join(DEMO, "chime.wav"), 22050, make_chime())
    write_wave(os.path.join(DEMO, "mio_voice.wav"), 22050, make_voice())


if __name__ == "__main__":
    main()
