#include "graphics/pixel_kernels.h"

#include <algorithm>

#include "graphics/blend_table.h"

#if defined(__x86_64__) || defined(__i386__)
#define VELMIO_X86 1
#include <immintrin.h>
#define VELMIO_AVX2 __attribute__((target("avx2")))
#endif

namespace velmio {

PixelKey::PixelKey(uint8_t blue, uint8_t green, uint8_t red) : blue(blue), green(green), red(red), pattern{} {
  for (int i = 0; i < 30; i += 3) {
    pattern[i] = blue;
    pattern[i + 1] = green;
    pattern[i + 2] = red;
  }
}

namespace {

// --- The reference: the table itself, one byte at a time ---

void BlendWithTable(uint8_t* dst, const uint8_t* src, size_t count, int alpha) {
  const uint8_t* layerWeight = BlendRow(alpha);
  const uint8_t* targetWeight = BlendRow(255 - alpha);
  for (size_t i = 0; i < count; ++i) dst[i] = static_cast<uint8_t>(layerWeight[src[i]] + targetWeight[dst[i]]);
}

void CrossfadeTable(uint8_t* work, const uint8_t* oldBytes, const uint8_t* newBytes, size_t pairs, int alpha,
                    int parity) {
  const uint8_t* oldWeight = BlendRow(255 - alpha);
  const uint8_t* newWeight = BlendRow(alpha);
  for (size_t i = 0; i < pairs; ++i) {
    const size_t k = 2 * i + static_cast<size_t>(parity);
    work[k] = static_cast<uint8_t>(oldWeight[oldBytes[k]] + newWeight[newBytes[k]]);
  }
}

void MaskWipeTable(uint8_t* display, const uint8_t* newBytes, const uint8_t* mask, size_t count, int threshold) {
  for (size_t i = 0; i < count; ++i)
    if (threshold >= mask[i]) display[i] = newBytes[i];
}

void MaskFadeTable(uint8_t* display, const uint8_t* oldBytes, const uint8_t* newBytes, const uint8_t* mask,
                   size_t count, int threshold) {
  for (size_t i = 0; i < count; ++i) {
    const int d = std::clamp(threshold - mask[i], 0, 255);
    display[i] = static_cast<uint8_t>(BlendRow(255 - d)[oldBytes[i]] + BlendRow(d)[newBytes[i]]);
  }
}

template <bool WantKey>
int FindTable(const uint8_t* row, int i, int width, const PixelKey& key) {
  for (; i < width; ++i) {
    const uint8_t* s = row + 3 * i;
    const bool isKey = s[0] == key.blue && s[1] == key.green && s[2] == key.red;
    if (isKey == WantKey) return i;
  }
  return width;
}

#if VELMIO_X86

// floor(n / 255) of 16-bit lanes: (n * 0x8081) >> 23.
inline __m128i Div255(__m128i n) { return _mm_srli_epi16(_mm_mulhi_epu16(n, _mm_set1_epi16(static_cast<short>(0x8081))), 7); }
VELMIO_AVX2 inline __m256i Div255(__m256i n) {
  return _mm256_srli_epi16(_mm256_mulhi_epu16(n, _mm256_set1_epi16(static_cast<short>(0x8081))), 7);
}

// --- SSE2: 16 bytes per round ---

void BlendSse2(uint8_t* dst, const uint8_t* src, size_t count, int alpha) {
  const __m128i a = _mm_set1_epi16(static_cast<short>(alpha));
  const __m128i b = _mm_set1_epi16(static_cast<short>(255 - alpha));
  const __m128i zero = _mm_setzero_si128();
  size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i low = _mm_add_epi16(Div255(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), a)),
                                      Div255(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), b)));
    const __m128i high = _mm_add_epi16(Div255(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), a)),
                                       Div255(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), b)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(low, high));
  }
  BlendWithTable(dst + i, src + i, count - i, alpha);
}

void CrossfadeSse2(uint8_t* work, const uint8_t* oldBytes, const uint8_t* newBytes, size_t pairs, int alpha,
                   int parity) {
  const __m128i a = _mm_set1_epi16(static_cast<short>(alpha));
  const __m128i b = _mm_set1_epi16(static_cast<short>(255 - alpha));
  const __m128i lowByte = _mm_set1_epi16(0x00FF);
  size_t i = 0;
  for (; i + 8 <= pairs; i += 8) {  // 8 pairs = 16 bytes, as 16-bit words (little-endian)
    __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(oldBytes + 2 * i));
    __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(newBytes + 2 * i));
    const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(work + 2 * i));
    __m128i result;
    if (parity) {
      o = _mm_srli_epi16(o, 8);
      n = _mm_srli_epi16(n, 8);
      const __m128i v = _mm_add_epi16(Div255(_mm_mullo_epi16(o, b)), Div255(_mm_mullo_epi16(n, a)));
      result = _mm_or_si128(_mm_and_si128(w, lowByte), _mm_slli_epi16(v, 8));
    } else {
      o = _mm_and_si128(o, lowByte);
      n = _mm_and_si128(n, lowByte);
      const __m128i v = _mm_add_epi16(Div255(_mm_mullo_epi16(o, b)), Div255(_mm_mullo_epi16(n, a)));
      result = _mm_or_si128(_mm_andnot_si128(lowByte, w), v);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(work + 2 * i), result);
  }
  CrossfadeTable(work + 2 * i, oldBytes + 2 * i, newBytes + 2 * i, pairs - i, alpha, parity);
}

void MaskWipeSse2(uint8_t* display, const uint8_t* newBytes, const uint8_t* mask, size_t count, int threshold) {
  if (threshold < 0) return;
  // Unsigned mask <= t  <=>  max(mask, t) == t.
  const __m128i t = _mm_set1_epi8(static_cast<char>(std::min(threshold, 255)));
  size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i));
    const __m128i take = _mm_cmpeq_epi8(_mm_max_epu8(m, t), t);
    const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(newBytes + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(display + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(display + i), _mm_or_si128(_mm_and_si128(take, n), _mm_andnot_si128(take, d)));
  }
  MaskWipeTable(display + i, newBytes + i, mask + i, count - i, threshold);
}

void MaskFadeSse2(uint8_t* display, const uint8_t* oldBytes, const uint8_t* newBytes, const uint8_t* mask,
                  size_t count, int threshold) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i t = _mm_set1_epi16(static_cast<short>(std::clamp(threshold, -1024, 1024)));
  const __m128i full = _mm_set1_epi16(255);
  size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i));
    const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(oldBytes + i));
    const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(newBytes + i));
    // Weight d = clamp(t - m, 0, 255), as signed 16-bit lanes.
    const __m128i dLow = _mm_min_epi16(_mm_max_epi16(_mm_sub_epi16(t, _mm_unpacklo_epi8(m, zero)), zero), full);
    const __m128i dHigh = _mm_min_epi16(_mm_max_epi16(_mm_sub_epi16(t, _mm_unpackhi_epi8(m, zero)), zero), full);
    const __m128i low = _mm_add_epi16(Div255(_mm_mullo_epi16(_mm_unpacklo_epi8(o, zero), _mm_sub_epi16(full, dLow))),
                                      Div255(_mm_mullo_epi16(_mm_unpacklo_epi8(n, zero), dLow)));
    const __m128i high = _mm_add_epi16(Div255(_mm_mullo_epi16(_mm_unpackhi_epi8(o, zero), _mm_sub_epi16(full, dHigh))),
                                       Div255(_mm_mullo_epi16(_mm_unpackhi_epi8(n, zero), dHigh)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(display + i), _mm_packus_epi16(low, high));
  }
  MaskFadeTable(display + i, oldBytes + i, newBytes + i, mask + i, count - i, threshold);
}

// Five pixels per 16-byte load: bit 3k of `keys` is set when pixel k equals the key.
template <bool WantKey>
int FindSse2(const uint8_t* row, int i, int width, const PixelKey& key, const uint8_t* bufferEnd) {
  const __m128i pattern = _mm_load_si128(reinterpret_cast<const __m128i*>(key.pattern));  // byte 15 never counts
  while (i + 5 <= width && row + 3 * i + 16 <= bufferEnd) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 3 * i));
    const unsigned equal = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, pattern)));
    unsigned keys = equal & (equal >> 1) & (equal >> 2) & 0x1249u;
    if constexpr (!WantKey) keys = ~keys & 0x1249u;
    if (keys) return i + __builtin_ctz(keys) / 3;
    i += 5;
  }
  return FindTable<WantKey>(row, i, width, key);
}

// --- AVX2: 32 bytes per round (the 128-bit halves unpack and pack back in place) ---
// Every AVX2 function clears the upper halves (vzeroupper) before SSE code runs again: mixing
// dirty 256-bit state with SSE instructions costs far more than the work itself.

VELMIO_AVX2 void BlendAvx2(uint8_t* dst, const uint8_t* src, size_t count, int alpha) {
  const __m256i a = _mm256_set1_epi16(static_cast<short>(alpha));
  const __m256i b = _mm256_set1_epi16(static_cast<short>(255 - alpha));
  const __m256i zero = _mm256_setzero_si256();
  size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    const __m256i low = _mm256_add_epi16(Div255(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), a)),
                                         Div255(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), b)));
    const __m256i high = _mm256_add_epi16(Div255(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), a)),
                                          Div255(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), b)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), _mm256_packus_epi16(low, high));
  }
  _mm256_zeroupper();  // leave no dirty upper halves for the SSE code that follows
  BlendSse2(dst + i, src + i, count - i, alpha);
}

VELMIO_AVX2 void CrossfadeAvx2(uint8_t* work, const uint8_t* oldBytes, const uint8_t* newBytes, size_t pairs,
                               int alpha, int parity) {
  const __m256i a = _mm256_set1_epi16(static_cast<short>(alpha));
  const __m256i b = _mm256_set1_epi16(static_cast<short>(255 - alpha));
  const __m256i lowByte = _mm256_set1_epi16(0x00FF);
  size_t i = 0;
  for (; i + 16 <= pairs; i += 16) {
    __m256i o = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(oldBytes + 2 * i));
    __m256i n = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(newBytes + 2 * i));
    const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(work + 2 * i));
    __m256i result;
    if (parity) {
      o = _mm256_srli_epi16(o, 8);
      n = _mm256_srli_epi16(n, 8);
      const __m256i v = _mm256_add_epi16(Div255(_mm256_mullo_epi16(o, b)), Div255(_mm256_mullo_epi16(n, a)));
      result = _mm256_or_si256(_mm256_and_si256(w, lowByte), _mm256_slli_epi16(v, 8));
    } else {
      o = _mm256_and_si256(o, lowByte);
      n = _mm256_and_si256(n, lowByte);
      const __m256i v = _mm256_add_epi16(Div255(_mm256_mullo_epi16(o, b)), Div255(_mm256_mullo_epi16(n, a)));
      result = _mm256_or_si256(_mm256_andnot_si256(lowByte, w), v);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(work + 2 * i), result);
  }
  _mm256_zeroupper();  // leave no dirty upper halves for the SSE code that follows
  CrossfadeSse2(work + 2 * i, oldBytes + 2 * i, newBytes + 2 * i, pairs - i, alpha, parity);
}

VELMIO_AVX2 void MaskWipeAvx2(uint8_t* display, const uint8_t* newBytes, const uint8_t* mask, size_t count,
                              int threshold) {
  if (threshold < 0) return;
  const __m256i t = _mm256_set1_epi8(static_cast<char>(std::min(threshold, 255)));
  size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + i));
    const __m256i take = _mm256_cmpeq_epi8(_mm256_max_epu8(m, t), t);
    const __m256i n = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(newBytes + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(display + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(display + i), _mm256_blendv_epi8(d, n, take));
  }
  _mm256_zeroupper();  // leave no dirty upper halves for the SSE code that follows
  MaskWipeSse2(display + i, newBytes + i, mask + i, count - i, threshold);
}

VELMIO_AVX2 void MaskFadeAvx2(uint8_t* display, const uint8_t* oldBytes, const uint8_t* newBytes, const uint8_t* mask,
                              size_t count, int threshold) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i t = _mm256_set1_epi16(static_cast<short>(std::clamp(threshold, -1024, 1024)));
  const __m256i full = _mm256_set1_epi16(255);
  size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + i));
    const __m256i o = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(oldBytes + i));
    const __m256i n = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(newBytes + i));
    const __m256i dLow =
        _mm256_min_epi16(_mm256_max_epi16(_mm256_sub_epi16(t, _mm256_unpacklo_epi8(m, zero)), zero), full);
    const __m256i dHigh =
        _mm256_min_epi16(_mm256_max_epi16(_mm256_sub_epi16(t, _mm256_unpackhi_epi8(m, zero)), zero), full);
    const __m256i low =
        _mm256_add_epi16(Div255(_mm256_mullo_epi16(_mm256_unpacklo_epi8(o, zero), _mm256_sub_epi16(full, dLow))),
                         Div255(_mm256_mullo_epi16(_mm256_unpacklo_epi8(n, zero), dLow)));
    const __m256i high =
        _mm256_add_epi16(Div255(_mm256_mullo_epi16(_mm256_unpackhi_epi8(o, zero), _mm256_sub_epi16(full, dHigh))),
                         Div255(_mm256_mullo_epi16(_mm256_unpackhi_epi8(n, zero), dHigh)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(display + i), _mm256_packus_epi16(low, high));
  }
  _mm256_zeroupper();  // leave no dirty upper halves for the SSE code that follows
  MaskFadeSse2(display + i, oldBytes + i, newBytes + i, mask + i, count - i, threshold);
}

// Ten pixels per 32-byte load.
template <bool WantKey>
VELMIO_AVX2 int FindAvx2(const uint8_t* row, int i, int width, const PixelKey& key, const uint8_t* bufferEnd) {
  const __m256i pattern = _mm256_load_si256(reinterpret_cast<const __m256i*>(key.pattern));
  constexpr unsigned kFirstBytes = 0x09249249u;  // bits 0, 3, ..., 27
  // Twenty pixels per round while they last: the two loads overlap in flight.
  while (i + 20 <= width && row + 3 * i + 62 <= bufferEnd) {
    const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + 3 * i));
    const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + 3 * i + 30));
    const unsigned equalFirst = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(first, pattern)));
    const unsigned equalSecond = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(second, pattern)));
    unsigned keysFirst = equalFirst & (equalFirst >> 1) & (equalFirst >> 2) & kFirstBytes;
    unsigned keysSecond = equalSecond & (equalSecond >> 1) & (equalSecond >> 2) & kFirstBytes;
    if constexpr (!WantKey) {
      keysFirst = ~keysFirst & kFirstBytes;
      keysSecond = ~keysSecond & kFirstBytes;
    }
    if (keysFirst | keysSecond) {
      _mm256_zeroupper();
      return keysFirst ? i + __builtin_ctz(keysFirst) / 3 : i + 10 + __builtin_ctz(keysSecond) / 3;
    }
    i += 20;
  }
  while (i + 10 <= width && row + 3 * i + 32 <= bufferEnd) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + 3 * i));
    const unsigned equal = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, pattern)));
    unsigned keys = equal & (equal >> 1) & (equal >> 2) & kFirstBytes;
    if constexpr (!WantKey) keys = ~keys & kFirstBytes;
    if (keys) {
      _mm256_zeroupper();
      return i + __builtin_ctz(keys) / 3;
    }
    i += 10;
  }
  _mm256_zeroupper();
  return FindSse2<WantKey>(row, i, width, key, bufferEnd);
}

#endif  // VELMIO_X86

KernelLevel DetectLevel() {
#if VELMIO_X86
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") ? KernelLevel::Avx2 : KernelLevel::Sse2;
#else
  return KernelLevel::Table;
#endif
}

const KernelLevel kBestLevel = DetectLevel();
KernelLevel level = kBestLevel;

}  // namespace

KernelLevel ActiveKernelLevel() { return level; }
void ForceKernelLevel(KernelLevel wanted) { level = std::min(wanted, kBestLevel); }
void ResetKernelLevel() { level = kBestLevel; }

#if VELMIO_X86
#define VELMIO_DISPATCH(avx2, sse2, table, ...) \
  switch (level) {                               \
    case KernelLevel::Avx2:                      \
      return avx2(__VA_ARGS__);                  \
    case KernelLevel::Sse2:                      \
      return sse2(__VA_ARGS__);                  \
    default:                                     \
      return table(__VA_ARGS__);                 \
  }
#else
#define VELMIO_DISPATCH(avx2, sse2, table, ...) return table(__VA_ARGS__);
#endif

void BlendBytes(uint8_t* dst, const uint8_t* src, size_t count, int alpha) {
  VELMIO_DISPATCH(BlendAvx2, BlendSse2, BlendWithTable, dst, src, count, alpha)
}

void CrossfadeBytes(uint8_t* work, const uint8_t* oldBytes, const uint8_t* newBytes, size_t pairs, int alpha,
                    int parity) {
  parity = parity ? 1 : 0;
  VELMIO_DISPATCH(CrossfadeAvx2, CrossfadeSse2, CrossfadeTable, work, oldBytes, newBytes, pairs, alpha, parity)
}

void MaskWipeBytes(uint8_t* display, const uint8_t* newBytes, const uint8_t* mask, size_t count, int threshold) {
  VELMIO_DISPATCH(MaskWipeAvx2, MaskWipeSse2, MaskWipeTable, display, newBytes, mask, count, threshold)
}

void MaskFadeBytes(uint8_t* display, const uint8_t* oldBytes, const uint8_t* newBytes, const uint8_t* mask,
                   size_t count, int threshold) {
  VELMIO_DISPATCH(MaskFadeAvx2, MaskFadeSse2, MaskFadeTable, display, oldBytes, newBytes, mask, count, threshold)
}

void InvertBytes(uint8_t* bytes, size_t count) {
  // A plain loop the compiler vectorises at any level.
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(~bytes[i]);
}

namespace {
int FindKeyTable(const uint8_t* row, int i, int width, const PixelKey& key, const uint8_t*) {
  return FindTable<true>(row, i, width, key);
}
int FindOtherTable(const uint8_t* row, int i, int width, const PixelKey& key, const uint8_t*) {
  return FindTable<false>(row, i, width, key);
}
}  // namespace

int FindKeyPixel(const uint8_t* row, int from, int width, const PixelKey& key, const uint8_t* bufferEnd) {
  VELMIO_DISPATCH(FindAvx2<true>, FindSse2<true>, FindKeyTable, row, from, width, key, bufferEnd)
}

int FindOtherPixel(const uint8_t* row, int from, int width, const PixelKey& key, const uint8_t* bufferEnd) {
  VELMIO_DISPATCH(FindAvx2<false>, FindSse2<false>, FindOtherTable, row, from, width, key, bufferEnd)
}

}  // namespace velmio
