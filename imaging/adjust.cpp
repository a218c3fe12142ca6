#include "imaging/adjust.h"

// GCC 12 warns about the intrinsics' own undefined-vector helpers at -O3.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "imaging/parallel.h"

#include <algorithm>
#include <cstdlib>
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
    uint8_t steps[256]; // steps[a] = min(a |k| / 255, 255), for the VBMI code
};

// The AVX2 code computes each channel as grey + sign(d k) floor(|d| |k| / 255)
// (d = channel - grey, C division truncates toward zero) with |k| = 255 m + r:
// floor(|d| |k| / 255) = |d| m + floor(|d| r / 255), and for |d| <= 255 the
// last term is a 16-bit multiply-high by floor(r 65536 / 255) + 1 (below).
// Every value stays within 16 bits; the pack to bytes clamps to 0..255.
struct SaturationFactors {
    bool negative; // k < 0: the sign of every term flips
    uint16_t m;
    uint16_t rHigh;
};

SaturationFactors saturationFactors(int k)
{
    const int ak = k < 0 ? -k : k;
    return {k < 0, uint16_t(ak / 255), uint16_t((ak % 255) * 65536 / 255 + 1)};
}

// floor(a r / 255) == (a (floor(r 65536 / 255) + 1)) >> 16 for every a <= 255, r < 255.
constexpr bool checkRHigh()
{
    for (uint32_t r = 0; r < 255; ++r)
        for (uint32_t a = 0; a <= 255; ++a)
            if (((a * (r * 65536 / 255 + 1)) >> 16) != a * r / 255)
                return false;
    return true;
}
static_assert(checkRHigh());

// grey = sum / 3 for sums up to 765 as a multiply-high by 21846.
constexpr bool checkThird()
{
    for (uint32_t n = 0; n <= 765; ++n)
        if (((n * 21846u) >> 16) != n / 3)
            return false;
    return true;
}
static_assert(checkThird());

// Byte shuffles over one 16-pixel group held in three 16-byte parts: which
// byte of part j holds channel c of pixel i (-1: none), and which pixel the
// byte i of part j belongs to. Repeated for both 128-bit lanes.
struct GroupShuffles {
    alignas(32) int8_t channel[3][3][32];
    alignas(32) int8_t pixelOf[3][32];
    GroupShuffles()
    {
        for (int lane = 0; lane < 2; ++lane)
            for (int j = 0; j < 3; ++j) {
                for (int c = 0; c < 3; ++c)
                    for (int i = 0; i < 16; ++i) {
                        const int at = 3 * i + c - 16 * j;
                        channel[j][c][16 * lane + i] = int8_t(at >= 0 && at < 16 ? at : -128);
                    }
                for (int i = 0; i < 16; ++i)
                    pixelOf[j][16 * lane + i] = int8_t((16 * j + i) / 3);
            }
    }
};

const GroupShuffles &groupShuffles()
{
    static const GroupShuffles g;
    return g;
}

// 32 pixels a step: two 16-pixel groups, one in each 128-bit lane, because
// AVX2 shuffles bytes within lanes only. Returns the first column not done.
// The sign of k is a template argument, so that the loop holds no branch.
template <bool Negative>
__attribute__((target("avx2")))
int saturationAvx2(const uint8_t *s, uint8_t *d, int w, SaturationFactors f)
{
    const GroupShuffles &gs = groupShuffles();
    __m256i pick[3][3], spread[3];
    for (int j = 0; j < 3; ++j) {
        for (int c = 0; c < 3; ++c)
            pick[j][c] = _mm256_load_si256(reinterpret_cast<const __m256i *>(gs.channel[j][c]));
        spread[j] = _mm256_load_si256(reinterpret_cast<const __m256i *>(gs.pixelOf[j]));
    }
    const __m256i vm = _mm256_set1_epi16(short(f.m)), vr = _mm256_set1_epi16(short(f.rHigh));
    const __m256i third = _mm256_set1_epi16(21846), zero = _mm256_setzero_si256();
    int x = 0;
    for (; x + 32 <= w; x += 32, s += 96, d += 96) {
        __m256i v[3];
        for (int j = 0; j < 3; ++j)
            v[j] = _mm256_inserti128_si256(
                _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(s + 16 * j))),
                _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + 48 + 16 * j)), 1);
        __m256i sumLo = zero, sumHi = zero;
        for (int c = 0; c < 3; ++c) {
            const __m256i plane = _mm256_or_si256(
                _mm256_or_si256(_mm256_shuffle_epi8(v[0], pick[0][c]), _mm256_shuffle_epi8(v[1], pick[1][c])),
                _mm256_shuffle_epi8(v[2], pick[2][c]));
            sumLo = _mm256_add_epi16(sumLo, _mm256_unpacklo_epi8(plane, zero));
            sumHi = _mm256_add_epi16(sumHi, _mm256_unpackhi_epi8(plane, zero));
        }
        const __m256i grey = _mm256_packus_epi16(_mm256_mulhi_epu16(sumLo, third), _mm256_mulhi_epu16(sumHi, third));
        for (int j = 0; j < 3; ++j) {
            const __m256i g = _mm256_shuffle_epi8(grey, spread[j]);
            __m256i half[2];
            for (int h = 0; h < 2; ++h) {
                const __m256i vv = h ? _mm256_unpackhi_epi8(v[j], zero) : _mm256_unpacklo_epi8(v[j], zero);
                const __m256i gg = h ? _mm256_unpackhi_epi8(g, zero) : _mm256_unpacklo_epi8(g, zero);
                const __m256i dd = Negative ? _mm256_sub_epi16(gg, vv) : _mm256_sub_epi16(vv, gg);
                const __m256i a = _mm256_abs_epi16(dd);
                const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(a, vm), _mm256_mulhi_epu16(a, vr));
                half[h] = _mm256_add_epi16(gg, _mm256_sign_epi16(t, dd));
            }
            const __m256i out = _mm256_packus_epi16(half[0], half[1]);
            _mm_storeu_si128(reinterpret_cast<__m128i *>(d + 16 * j), _mm256_castsi256_si128(out));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(d + 48 + 16 * j), _mm256_extracti128_si256(out, 1));
        }
    }
    return x;
}

// 64 pixels (192 bytes) a step with AVX-512 VBMI, whose byte permutations
// reach across the whole register: the channels are gathered into planes for
// grey = sum / 3, grey is spread back over the interleaved bytes, and every
// byte becomes grey +- t with t = min(floor(|d| |k| / 255), 255) taken from a
// 256-byte table and added or subtracted with saturation. Clamping t at 255
// changes nothing, as grey +- t is clamped to 0..255 anyway.
// Byte permutations over 64 pixels in three registers: channel c of pixel p
// is byte 3p + c of the first two registers (gather1) or of the third
// (gather2, where fromV2 is set); byte i of register j belongs to pixel
// (64 j + i) / 3 (spread).
struct PlaneShuffles {
    alignas(64) uint8_t gather1[3][64], gather2[3][64], spread[3][64];
    unsigned long long fromV2[3];
    PlaneShuffles()
    {
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
    }
};

const PlaneShuffles &planeShuffles()
{
    static const PlaneShuffles p;
    return p;
}

template <bool Negative>
__attribute__((target("avx512f,avx512bw,avx512vbmi")))
int saturationVbmi(const uint8_t *s, uint8_t *d, int w, const uint8_t *table)
{
    const PlaneShuffles &ps = planeShuffles();
    __m512i g1[3], g2[3], sp[3];
    __mmask64 fromV2[3];
    for (int c = 0; c < 3; ++c) {
        g1[c] = _mm512_load_si512(ps.gather1[c]);
        g2[c] = _mm512_load_si512(ps.gather2[c]);
        sp[c] = _mm512_load_si512(ps.spread[c]);
        fromV2[c] = ps.fromV2[c];
    }
    const __m512i t0 = _mm512_loadu_si512(table), t1 = _mm512_loadu_si512(table + 64),
                  t2 = _mm512_loadu_si512(table + 128), t3 = _mm512_loadu_si512(table + 192);
    const __m512i third = _mm512_set1_epi16(21846);
    int x = 0;
    for (; x + 64 <= w; x += 64, s += 192, d += 192) {
        const __m512i v0 = _mm512_loadu_si512(s), v1 = _mm512_loadu_si512(s + 64), v2 = _mm512_loadu_si512(s + 128);
        __m512i sumLo = _mm512_setzero_si512(), sumHi = _mm512_setzero_si512();
        for (int c = 0; c < 3; ++c) {
            const __m512i plane = _mm512_mask_permutexvar_epi8(_mm512_permutex2var_epi8(v0, g1[c], v1), fromV2[c],
                                                               g2[c], v2);
            sumLo = _mm512_add_epi16(sumLo, _mm512_cvtepu8_epi16(_mm512_castsi512_si256(plane)));
            sumHi = _mm512_add_epi16(sumHi, _mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(plane, 1)));
        }
        const __m256i greyLo = _mm512_cvtepi16_epi8(_mm512_mulhi_epu16(sumLo, third));
        const __m256i greyHi = _mm512_cvtepi16_epi8(_mm512_mulhi_epu16(sumHi, third));
        const __m512i grey = _mm512_inserti64x4(_mm512_castsi256_si512(greyLo), greyHi, 1);
        const __m512i v[3] = {v0, v1, v2};
        for (int j = 0; j < 3; ++j) {
            const __m512i g = _mm512_permutexvar_epi8(sp[j], grey);
            const __m512i a = _mm512_sub_epi8(_mm512_max_epu8(v[j], g), _mm512_min_epu8(v[j], g)); // |d|
            const __m512i t = _mm512_mask_blend_epi8(_mm512_movepi8_mask(a), _mm512_permutex2var_epi8(t0, a, t1),
                                                     _mm512_permutex2var_epi8(t2, a, t3));
            const __mmask64 up = Negative ? _mm512_cmplt_epu8_mask(v[j], g) : _mm512_cmpgt_epu8_mask(v[j], g);
            _mm512_storeu_si512(d + 64 * j, _mm512_mask_blend_epi8(up, _mm512_subs_epu8(g, t), _mm512_adds_epu8(g, t)));
        }
    }
    return x;
}

enum class SaturationPath { Portable, Avx2, Vbmi };

SaturationPath saturationPath()
{
    static const bool vbmi = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")
                             && __builtin_cpu_supports("avx512vbmi");
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (vbmi && vectorCodeFor(VectorIsa::Avx512))
        return SaturationPath::Vbmi;
    if (avx2 && vectorCodeFor(VectorIsa::Avx2))
        return SaturationPath::Avx2;
    return SaturationPath::Portable;
}

void saturationRows(Bitmap &dst, const Bitmap &src, int w, int y0, int y1, const SaturationTables &t,
                    const SaturationFactors &f, SaturationPath path)
{
    const int16_t *sc = t.scaled + 255;
    const uint8_t *cl = t.clamp + 1024;
    for (int y = y0; y < y1; ++y) {
        const uint8_t *s = src.row(y);
        uint8_t *d = dst.row(y);
        int x0 = 0;
        if (path == SaturationPath::Vbmi)
            x0 = f.negative ? saturationVbmi<true>(s, d, w, t.steps) : saturationVbmi<false>(s, d, w, t.steps);
        if (path != SaturationPath::Portable) { // also the VBMI code's rest of 32 pixels or more
            const uint8_t *s2 = s + 3 * x0;
            uint8_t *d2 = d + 3 * x0;
            x0 += f.negative ? saturationAvx2<true>(s2, d2, w - x0, f) : saturationAvx2<false>(s2, d2, w - x0, f);
        }
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
    for (int a = 0; a < 256; ++a)
        t.steps[a] = uint8_t(std::min(a * std::abs(k) / 255, 255));
    const SaturationFactors f = saturationFactors(k);
    const SaturationPath path = saturationPath();
    parallelFor(h, [&](int y0, int y1) { saturationRows(dst, src, w, y0, y1, t, f, path); }, 64);
}

} // namespace mv::imaging
