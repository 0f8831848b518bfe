#include "graphics/pixel_kernels.h"

#include <algorithm>
#include <cstring>

#include "graphics/blend_table.h"

// Each kernel is built twice on x86-64, for AVX2 and for the baseline, and the loader picks one
// once per process; the choice is made per call, never per pixel.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__SANITIZE_ADDRESS__)
#define VELMIO_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define VELMIO_KERNEL
#endif

// The vector helpers are always inlined, so their by-value vector ABI never matters.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace velmio {
namespace {

typedef uint8_t Bytes16 __attribute__((vector_size(16)));
typedef uint16_t Words16 __attribute__((vector_size(32)));
typedef int16_t SignedWords16 __attribute__((vector_size(32)));
constexpr size_t kLanes = 16;

[[gnu::always_inline]] inline Words16 Load16(const uint8_t* p) {
  Bytes16 bytes;
  std::memcpy(&bytes, p, sizeof bytes);
  return __builtin_convertvector(bytes, Words16);
}

[[gnu::always_inline]] inline Words16 LoadWords(const uint8_t* p) {
  Words16 words;
  std::memcpy(&words, p, sizeof words);
  return words;
}

[[gnu::always_inline]] inline void Store16(uint8_t* p, Words16 words) {
  Bytes16 bytes = __builtin_convertvector(words, Bytes16);
  std::memcpy(p, &bytes, sizeof bytes);
}

// floor(n / 255) for n in 0..65025.
[[gnu::always_inline]] inline Words16 Div255(Words16 n) { return (n + 1 + (n >> 8)) >> 8; }

}  // namespace

VELMIO_KERNEL void BlendBytes(uint8_t* dst, const uint8_t* src, size_t count, int alpha) {
  const uint16_t a = static_cast<uint16_t>(alpha);
  const uint16_t b = static_cast<uint16_t>(255 - alpha);
  size_t i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    Words16 s = Load16(src + i);
    Words16 d = Load16(dst + i);
    Store16(dst + i, Div255(s * a) + Div255(d * b));
  }
  const uint8_t* layerWeight = BlendRow(alpha);
  const uint8_t* targetWeight = BlendRow(255 - alpha);
  for (; i < count; ++i) dst[i] = static_cast<uint8_t>(layerWeight[src[i]] + targetWeight[dst[i]]);
}

VELMIO_KERNEL void CrossfadeBytes(uint8_t* work, const uint8_t* oldBytes, const uint8_t* newBytes, size_t pairs,
                                  int alpha, int parity) {
  const uint16_t a = static_cast<uint16_t>(alpha);
  const uint16_t b = static_cast<uint16_t>(255 - alpha);
  const int shift = parity ? 8 : 0;
  const uint16_t keep = parity ? 0x00FF : 0xFF00;
  size_t i = 0;
  // 16 pairs (32 bytes) per round, as 16-bit words: the chosen byte is the high one for parity 1.
  for (; i + kLanes <= pairs; i += kLanes) {
    Words16 o = LoadWords(oldBytes + 2 * i);
    Words16 n = LoadWords(newBytes + 2 * i);
    Words16 w = LoadWords(work + 2 * i);
    Words16 oldByte = parity ? (o >> 8) : (o & 0xFF);
    Words16 newByte = parity ? (n >> 8) : (n & 0xFF);
    Words16 blended = Div255(oldByte * b) + Div255(newByte * a);
    w = (w & keep) | (blended << shift);
    std::memcpy(work + 2 * i, &w, sizeof w);
  }
  const uint8_t* oldWeight = BlendRow(255 - alpha);
  const uint8_t* newWeight = BlendRow(alpha);
  for (; i < pairs; ++i) {
    const size_t k = 2 * i + (parity ? 1 : 0);
    work[k] = static_cast<uint8_t>(oldWeight[oldBytes[k]] + newWeight[newBytes[k]]);
  }
}

VELMIO_KERNEL void MaskWipeBytes(uint8_t* display, const uint8_t* newBytes, const uint8_t* mask, size_t count,
                                 int threshold) {
  if (threshold < 0) return;
  const uint8_t t = static_cast<uint8_t>(std::min(threshold, 255));
  size_t i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    Bytes16 m, n, d;
    std::memcpy(&m, mask + i, sizeof m);
    std::memcpy(&n, newBytes + i, sizeof n);
    std::memcpy(&d, display + i, sizeof d);
    Bytes16 take = m <= t;  // all ones where the pixel has switched
    d = (n & take) | (d & ~take);
    std::memcpy(display + i, &d, sizeof d);
  }
  for (; i < count; ++i)
    if (mask[i] <= t) display[i] = newBytes[i];
}

VELMIO_KERNEL void MaskFadeBytes(uint8_t* display, const uint8_t* oldBytes, const uint8_t* newBytes,
                                 const uint8_t* mask, size_t count, int threshold) {
  const int16_t t = static_cast<int16_t>(std::clamp(threshold, -1024, 1024));
  size_t i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    SignedWords16 d = t - reinterpret_cast<SignedWords16>(Load16(mask + i));
    d = d < 0 ? 0 : d;
    d = d > 255 ? 255 : d;
    Words16 weight = reinterpret_cast<Words16>(d);
    Words16 blended = Div255(Load16(oldBytes + i) * (255 - weight)) + Div255(Load16(newBytes + i) * weight);
    Store16(display + i, blended);
  }
  for (; i < count; ++i) {
    int d = std::clamp(t - mask[i], 0, 255);
    display[i] = static_cast<uint8_t>(BlendRow(255 - d)[oldBytes[i]] + BlendRow(d)[newBytes[i]]);
  }
}

VELMIO_KERNEL void InvertBytes(uint8_t* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(255 - bytes[i]);
}

}  // namespace velmio
