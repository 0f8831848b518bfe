#pragma once
// The byte loops of blending, crossfade and mask transitions, shared by DrawLayer and the
// effects. Each one computes exactly what the spec's BlendTable lookups give: it uses the
// identity BlendTable[i x 256 + j] = floor(i x j / 255) = (n + 1 + (n >> 8)) >> 8 with n = i x j
// (exact for every n in 0..65025, checked by the unit tests against the table), so that the
// work runs 16 or 32 bytes at a time in vector registers. Short tails use the table itself.
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

}  // namespace velmio
