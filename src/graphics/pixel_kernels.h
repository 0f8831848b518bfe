#pragma once
// The byte loops of blending, transparency keys, crossfade and mask transitions, shared by
// DrawLayer and the effects. Each one computes exactly what BlendTable lookups give:
// BlendTable[i x 256 + j] = floor(i x j / 255), and for every n = i x j in 0..65535,
// floor(n / 255) = (n x 0x8081) >> 23 (checked exhaustively by the unit tests), so the work
// runs 16 (SSE2) or 32 (AVX2) bytes at a time in vector registers; short tails and machines
// without SSE2 use the table itself. The level is chosen once per process, per call, never per
// pixel.
#include <cstddef>
#include <cstdint>

namespace velmio {

// dst[i] = BlendTable[alpha][src[i]] + BlendTable[255 - alpha][dst[i]], alpha 0..255.
void BlendBytes(uint8_t* dst, const uint8_t* src, size_t count, int alpha);

// Crossfade frame over `pairs` byte pairs: for the byte of each pair whose offset parity is
// `parity` (1: the odd, second byte; 0: the even, first byte),
// work = BlendTable[255 - alpha][oldBytes] + BlendTable[alpha][newBytes]; the other byte of the
// pair is left alone.
void CrossfadeBytes(uint8_t* work, const uint8_t* oldBytes, const uint8_t* newBytes, size_t pairs, int alpha,
                    int parity);

// Mask wipe frame: display[i] = newBytes[i] wherever threshold >= mask[i] (mask holds, for every
// byte, the mask value of its pixel).
void MaskWipeBytes(uint8_t* display, const uint8_t* newBytes, const uint8_t* mask, size_t count, int threshold);

// Mask fade frame: with d = threshold - mask[i]: d > 254 gives newBytes[i]; 0 < d <= 254 gives
// BlendTable[255 - d][oldBytes[i]] + BlendTable[d][newBytes[i]]; d <= 0 gives oldBytes[i]
// (the display is still the old picture there).
void MaskFadeBytes(uint8_t* display, const uint8_t* oldBytes, const uint8_t* newBytes, const uint8_t* mask,
                   size_t count, int threshold);

// Every byte v becomes 255 - v.
void InvertBytes(uint8_t* bytes, size_t count);

// In a row of 24-bit pixels (blue, green, red), the index of the first pixel in [from, width)
// that is (FindKeyPixel) or is not (FindOtherPixel) the colour key, or `width` when there is
// none. Bytes are read only below `bufferEnd`.
struct PixelKey {
  PixelKey(uint8_t blue, uint8_t green, uint8_t red);
  uint8_t blue, green, red;
  // The key repeated ten times (30 bytes, then 2 zero bytes), built once per picture drawn.
  alignas(32) uint8_t pattern[32];
};
int FindKeyPixel(const uint8_t* row, int from, int width, const PixelKey& key, const uint8_t* bufferEnd);
int FindOtherPixel(const uint8_t* row, int from, int width, const PixelKey& key, const uint8_t* bufferEnd);

// Which implementation runs: the widest the processor has, unless a test forces a narrower one.
enum class KernelLevel : uint8_t { Table, Sse2, Avx2 };
KernelLevel ActiveKernelLevel();
// Tests only: runs the kernels at `level` (capped at what the processor has) until reset.
void ForceKernelLevel(KernelLevel level);
void ResetKernelLevel();

}  // namespace velmio
