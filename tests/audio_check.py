"""Checks on the 16-bit stereo 44,100 Hz WAV that --audio-out writes, by time windows in ms, for
the expected.audio files of the scenario tests.

Each window is shrunk by 15 ms at both ends, so that a sound starting or stopping at the
boundary does not blur the measurement."""
import array
import math
import wave

MARGIN = 15
SILENT = 40      # RMS of a window that counts as silence
LOUD = 1000      # RMS of a window that counts as sound


class Recording:
    def __init__(self, path):
        self.failures = []
        with wave.open(path, "rb") as w:
            assert (w.getnchannels(), w.getsampwidth(), w.getframerate()) == (2, 2, 44100), path
            samples = array.array("h", w.readframes(w.getnframes()))
        self.left = samples[0::2]

    def window(self, start, end):
        return self.left[(start + MARGIN) * 441 // 10:(end - MARGIN) * 441 // 10]

    def rms(self, start, end):
        part = self.window(start, end)
        return math.sqrt(sum(v * v for v in part) / len(part)) if part else 0.0

    def expect_length(self, ms, tolerance=30):
        actual = len(self.left) * 1000 // 44100
        if abs(actual - ms) > tolerance:
            self.failures.append("recording is %d ms long, expected %d" % (actual, ms))

    def expect_silent(self, start, end):
        level = self.rms(start, end)
        if level > SILENT:
            self.failures.append("%d-%d ms: level %.0f, expected silence" % (start, end, level))

    def expect_loud(self, start, end, step=100, level_at_least=LOUD):
        for at in range(start, end, step):
            level = self.rms(at - MARGIN if at > start else at, min(at + step, end))
            if level < level_at_least:
                self.failures.append("%d-%d ms: level %.0f, expected sound" % (at, min(at + step, end), level))

    def expect_tone(self, start, end, frequency):
        self.expect_loud(start, end)
        part = self.window(start, end)
        crossings = sum(1 for a, b in zip(part, part[1:]) if (a < 0) != (b < 0))
        measured = crossings / 2 / (len(part) / 44100)
        if abs(measured - frequency) > frequency * 0.05:
            self.failures.append("%d-%d ms: %.0f Hz, expected %d Hz" % (start, end, measured, frequency))

    def expect_fade(self, start, end, to_silence=True):
        """The level falls step by step over the window, from full to (nearly) nothing."""
        fifth = (end - start) // 5
        levels = [self.rms(start + i * fifth, start + (i + 1) * fifth) for i in range(5)]
        falling = all(a > b for a, b in zip(levels, levels[1:]))
        if not falling or levels[0] < LOUD or (to_silence and levels[-1] > levels[0] * 0.35):
            self.failures.append("%d-%d ms: levels %s, expected a fade" % (start, end, [round(v) for v in levels]))

