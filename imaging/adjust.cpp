#include "imaging/adjust.h"

// GCC 12 warns about the intrinsics' own undefined-vector helpers at -O3.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "imaging/parallel.h"

#include <algorithm>
#include <immintrin.h>

namespace mv::imaging {

ToneTable BrightnessTable(int b)
{
    ToneTable t{};
    for (int i = 0; i < 256; ++i)
        t[std::size_t(i)] = uint8_t(std::clamp((long long)i + b, 0LL, 255LL));
    return t;
}

ToneTable ContrastTable(int c)
{
    ToneTable t{};
    if (c >= 0) {
        const float k = float(255) / float(255 - 2LL * std::min(c, 1 << 20)); // 255 - 2c is odd, never 0
        for (int i = 0; i < 256; ++i) {
            if (i <= c)
                t[std::size_t(i)] = 0;
            else if (i >= 255 - c)
                t[std::size_t(i)] = 255;
            else
                t[std::size_t(i)] = uint8_t((long long)(double(i - c) * double(k)));
        }
    } else {
        const int cc = std::max(c, -(1 << 20));
        const float k = float(double(2 * cc + 255) * (1.0 / 255.0));
        for (int i = 0; i < 256; ++i) {
            const long long v = (long long)(double(i) * double(k) - double(cc));
            t[std::size_t(i)] = uint8_t(std::clamp(v, 0LL, 255LL));
        }
    }
    return t;
}

void AdjustBrightness(Bitmap &dst, const Bitmap &src, int b) { ApplyToneTable(dst, src, BrightnessTable(b), AllChannels); }

void AdjustContrast(Bitmap &dst, const Bitmap &src, int c) { ApplyToneTable(dst, src, ContrastTable(c), AllChannels); }

namespace {

struct SaturationTables {
    int16_t scaled[511]; // scaled[d + 255] = d * k / 255, clamped to +-1023
    uint8_t clamp[256 + 2048]; // clamp[v + 1024] = clamp(v, 0, 255) for v in -1024..1279
    uint8_t third[766]; // third[n] = n / 3
};

int saturationVbmi(const uint8_t *s, uint8_t *d, int w, int k);
bool haveVbmi();

void saturationRows(Bitmap &dst, const Bitmap &src, int w, int y0, int y1, const SaturationTables &t, int k,
                    bool vector)
{
    const int16_t *sc = t.scaled + 255;
    const uint8_t *cl = t.clamp + 1024;
    for (int y = y0; y < y1; ++y) {
        const uint8_t *s = src.row(y);
        uint8_t *d = dst.row(y);
        int x0 = 0;
        if (vector)
            x0 = saturationVbmi(s, d, w, k);
        s += 3 * x0;
        d += 3 * x0;
        for (int x = x0; x < w; ++x, s += 3, d += 3) {
            const int b = s[0], g = s[1], r = s[2];
            const int grey = t.third[b + g + r];
            d[0] = cl[grey + sc[b - grey]];
            d[1] = cl[grey + sc[g - grey]];
            d[2] = cl[grey + sc[r - grey]];
        }
    }
}

// floor(x / 255) for every 16-bit x as a multiply-high: (x * 0x8081) >> 23.
constexpr bool checkDiv255()
{
    for (uint32_t x = 0; x <= 65535; ++x)
        if (((x * 0x8081u) >> 23) != x / 255)
            return false;
    return true;
}
static_assert(checkDiv255());

// 64 pixels (192 bytes) a step: the three channels are gathered into planes
// with byte permutations, grey = sum / 3 as a multiply-high, grey is spread
// back over the interleaved bytes, and each channel becomes
// grey + sign(d k) floor(|d| |k| / 255) with |k| = 255 m + r, so that
// floor(|d| |k| / 255) = |d| m + floor(|d| r / 255) stays within 16 bits.
__attribute__((target("avx512f,avx512bw,avx512vbmi")))
int saturationVbmi(const uint8_t *s, uint8_t *d, int w, int k)
{
    const bool negative = k < 0;
    const int ak = negative ? -k : k;
    const __m512i vm = _mm512_set1_epi16(short(ak / 255)), vr = _mm512_set1_epi16(short(ak % 255));
    const __m512i magic = _mm512_set1_epi16(short(0x8081)), third = _mm512_set1_epi16(21846);
    alignas(64) uint8_t gather1[3][64], gather2[3][64], spread[3][64];
    __mmask64 fromV2[3];
    for (int c = 0; c < 3; ++c) {
        unsigned long long m = 0;
        for (int p = 0; p < 64; ++p) {
            const int idx = 3 * p + c;
            gather1[c][p] = uint8_t(idx & 127);
            gather2[c][p] = uint8_t((idx - 128) & 63);
            if (idx >= 128)
                m |= 1ull << p;
        }
        fromV2[c] = m;
        for (int i = 0; i < 64; ++i)
            spread[c][i] = uint8_t((64 * c + i) / 3);
    }
    __m512i g1[3], g2[3], sp[3];
    for (int c = 0; c < 3; ++c) {
        g1[c] = _mm512_load_si512(gather1[c]);
        g2[c] = _mm512_load_si512(gather2[c]);
        sp[c] = _mm512_load_si512(spread[c]);
    }
#define widenLo(v) _mm512_cvtepu8_epi16(_mm512_castsi512_si256(v))
#define widenHi(v) _mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(v, 1))
#define channel(v, g, out)                                                                                         \
    do {                                                                                                           \
        const __m512i dd = _mm512_sub_epi16(v, g);                                                                 \
        const __m512i a = _mm512_abs_epi16(dd);                                                                    \
        const __m512i f = _mm512_add_epi16(                                                                        \
            _mm512_mullo_epi16(a, vm), _mm512_srli_epi16(_mm512_mulhi_epu16(_mm512_mullo_epi16(a, vr), magic), 7)); \
        __mmask32 neg = _mm512_movepi16_mask(dd);                                                                  \
        if (negative)                                                                                              \
            neg = ~neg;                                                                                            \
        out = _mm512_max_epi16(_mm512_mask_sub_epi16(_mm512_add_epi16(g, f), neg, g, f), _mm512_setzero_si512());  \
    } while (0)
    int x = 0;
    for (; x + 64 <= w; x += 64, s += 192, d += 192) {
        const __m512i v0 = _mm512_loadu_si512(s), v1 = _mm512_loadu_si512(s + 64), v2 = _mm512_loadu_si512(s + 128);
        __m512i plane[3];
        for (int c = 0; c < 3; ++c)
            plane[c] = _mm512_mask_permutexvar_epi8(_mm512_permutex2var_epi8(v0, g1[c], v1), fromV2[c], g2[c], v2);
        const __m512i sumLo = _mm512_add_epi16(_mm512_add_epi16(widenLo(plane[0]), widenLo(plane[1])), widenLo(plane[2]));
        const __m512i sumHi = _mm512_add_epi16(_mm512_add_epi16(widenHi(plane[0]), widenHi(plane[1])), widenHi(plane[2]));
        const __m256i greyLo = _mm512_cvtepi16_epi8(_mm512_mulhi_epu16(sumLo, third));
        const __m256i greyHi = _mm512_cvtepi16_epi8(_mm512_mulhi_epu16(sumHi, third));
        const __m512i grey = _mm512_inserti64x4(_mm512_castsi256_si512(greyLo), greyHi, 1);
        const __m512i v[3] = {v0, v1, v2};
        for (int j = 0; j < 3; ++j) {
            const __m512i g = _mm512_permutexvar_epi8(sp[j], grey);
            __m512i rlo, rhi;
            const __m512i vlo = widenLo(v[j]), glo = widenLo(g), vhi = widenHi(v[j]), ghi = widenHi(g);
            channel(vlo, glo, rlo);
            channel(vhi, ghi, rhi);
            const __m256i lo = _mm512_cvtusepi16_epi8(rlo);
            const __m256i hi = _mm512_cvtusepi16_epi8(rhi);
            _mm512_storeu_si512(d + 64 * j, _mm512_inserti64x4(_mm512_castsi256_si512(lo), hi, 1));
        }
    }
    return x;
}
#undef widenLo
#undef widenHi
#undef channel

bool haveVbmi()
{
    static const bool yes = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")
                            && __builtin_cpu_supports("avx512vbmi");
    return yes;
}

} // namespace

void AdjustSaturation(Bitmap &dst, const Bitmap &src, int s)
{
    const int w = std::min(dst.width(), src.width());
    const int h = std::min(dst.height(), src.height());
    if (w <= 0 || h <= 0)
        return;
    s = std::clamp(s, -10000, 10000);
    const int k = 2 * s + 255;
    SaturationTables t;
    for (int d = -255; d <= 255; ++d)
        t.scaled[d + 255] = int16_t(std::clamp(d * k / 255, -1023, 1023)); // grey + that stays in -1024..1279
    for (int v = -1024; v < 256 + 1024; ++v)
        t.clamp[v + 1024] = uint8_t(std::clamp(v, 0, 255));
    for (int n = 0; n < 766; ++n)
        t.third[n] = uint8_t(n / 3);
    const bool vector = vectorCode() && haveVbmi();
    parallelFor(h, [&](int y0, int y1) { saturationRows(dst, src, w, y0, y1, t, k, vector); }, 64);
}

} // namespace mv::imaging
