#include "imaging/primitives.h"

#include "imaging/parallel.h"

#include <algorithm>
#include <cstring>
#include <immintrin.h>
#include <mutex>
#include <utility>

namespace mv::imaging {

ToneTable IdentityTable()
{
    ToneTable t{};
    for (int i = 0; i < 256; ++i)
        t[std::size_t(i)] = uint8_t(i);
    return t;
}

void CopyPixels(Bitmap &dst, const Bitmap &src)
{
    const int w = std::min(dst.width(), src.width());
    const int h = std::min(dst.height(), src.height());
    if (w <= 0 || h <= 0 || &dst == &src)
        return;
    parallelFor(h, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            std::memcpy(dst.row(y), src.row(y), std::size_t(w) * 3);
    }, 64);
}

void CopyRegion(const Bitmap &src, Bitmap &dst, int x0, int y0, int w, int h)
{
    if (w <= 0 || h <= 0)
        return;
    // Columns c with 0 <= x0 + c < src width and c < dst width; rows alike.
    const int c0 = std::max(0, -x0), r0 = std::max(0, -y0);
    const int c1 = std::min({w, dst.width(), src.width() - x0});
    const int r1 = std::min({h, dst.height(), src.height() - y0});
    if (c1 <= c0 || r1 <= r0)
        return;
    for (int r = r0; r < r1; ++r)
        std::memmove(dst.pixel(c0, r), src.pixel(x0 + c0, y0 + r), std::size_t(c1 - c0) * 3);
}

namespace {
// The temporary of RotateQuarter outlives the call as the next call's
// temporary: turning a picture again (the viewer's rotate buttons, printing)
// then needs no new 24-bit raster, whose fresh pages cost more than the turn
// itself. It holds at most one picture's memory; ReleaseScratchMemory frees it.
std::mutex g_spareMutex;
Bitmap g_spare;
} // namespace

void ReleaseScratchMemory()
{
    std::lock_guard<std::mutex> lock(g_spareMutex);
    g_spare = Bitmap();
}

namespace {

// A quarter turn of the destination rows r0..r1 and columns c0..c1 (end
// exclusive), pixel by pixel:
//   clockwise: dst(c, r) = src(r, H-1-c); counter-clockwise: dst(c, r) = src(W-1-r, c).
// Each destination row r reads source column r (or W-1-r) over rows that lie
// a stride apart, so the block is kept small enough for the cache.
void quarterBlock(const Bitmap &src, Bitmap &dst, bool clockwise, int r0, int r1, int c0, int c1)
{
    const int W = src.width(), H = src.height();
    for (int c = c0; c < c1; ++c) {
        if (clockwise) {
            const uint8_t *s = src.row(H - 1 - c) + 3 * r0;
            for (int r = r0; r < r1; ++r, s += 3) {
                uint8_t *d = dst.row(r) + 3 * c;
                d[0] = s[0]; d[1] = s[1]; d[2] = s[2];
            }
        } else {
            const uint8_t *s = src.row(c) + 3 * (W - 1 - r0);
            for (int r = r0; r < r1; ++r, s -= 3) {
                uint8_t *d = dst.row(r) + 3 * c;
                d[0] = s[0]; d[1] = s[1]; d[2] = s[2];
            }
        }
    }
}

// The same with AVX2, 8 x 8 pixels at a time: eight source rows of eight
// pixels are widened to four bytes a pixel, transposed as 32-bit words and
// narrowed again into eight destination rows. Loads take 28 bytes for the 24
// of eight pixels; a block whose loads would pass the end of the picture's
// memory, and the part of the tile beyond whole blocks, go pixel by pixel.
__attribute__((target("avx2")))
void quarterBlockAvx2(const Bitmap &src, Bitmap &dst, bool clockwise, int r0, int r1, int c0, int c1)
{
    const int W = src.width(), H = src.height();
    const int r8 = r0 + (r1 - r0) / 8 * 8, c8 = c0 + (c1 - c0) / 8 * 8;
    const uint8_t *base = src.row(0);
    const std::size_t size = std::size_t(src.stride()) * std::size_t(H);
    const __m256i widen = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1,
                                           0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m256i narrow = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,
                                            0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i join = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7); // 12 + 12 bytes into the low 24
    for (int c = c0; c < c8; c += 8) {
        // Destination column c + i comes from source row rows[i].
        const uint8_t *rows[8];
        for (int i = 0; i < 8; ++i)
            rows[i] = src.row(clockwise ? H - 1 - c - i : c + i);
        const std::size_t highest = std::size_t((clockwise ? rows[0] : rows[7]) - base);
        for (int r = r0; r < r8; r += 8) {
            // Source columns x0 .. x0 + 7; destination row r + j takes column x0 + j
            // (clockwise) or x0 + 7 - j.
            const int x0 = clockwise ? r : W - 8 - r;
            if (highest + std::size_t(3 * x0) + 28 > size) {
                quarterBlock(src, dst, clockwise, r, r + 8, c, c + 8);
                continue;
            }
            __m256i v[8];
            for (int i = 0; i < 8; ++i) {
                const uint8_t *p = rows[i] + 3 * x0;
                const __m256i both = _mm256_inserti128_si256(
                    _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i *>(p))),
                    _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 12)), 1);
                v[i] = _mm256_shuffle_epi8(both, widen);
            }
            const __m256i t0 = _mm256_unpacklo_epi32(v[0], v[1]), t1 = _mm256_unpackhi_epi32(v[0], v[1]);
            const __m256i t2 = _mm256_unpacklo_epi32(v[2], v[3]), t3 = _mm256_unpackhi_epi32(v[2], v[3]);
            const __m256i t4 = _mm256_unpacklo_epi32(v[4], v[5]), t5 = _mm256_unpackhi_epi32(v[4], v[5]);
            const __m256i t6 = _mm256_unpacklo_epi32(v[6], v[7]), t7 = _mm256_unpackhi_epi32(v[6], v[7]);
            const __m256i u0 = _mm256_unpacklo_epi64(t0, t2), u1 = _mm256_unpackhi_epi64(t0, t2);
            const __m256i u2 = _mm256_unpacklo_epi64(t1, t3), u3 = _mm256_unpackhi_epi64(t1, t3);
            const __m256i u4 = _mm256_unpacklo_epi64(t4, t6), u5 = _mm256_unpackhi_epi64(t4, t6);
            const __m256i u6 = _mm256_unpacklo_epi64(t5, t7), u7 = _mm256_unpackhi_epi64(t5, t7);
            // column[j]: source column x0 + j down the eight source rows.
            const __m256i column[8] = {
                _mm256_permute2x128_si256(u0, u4, 0x20), _mm256_permute2x128_si256(u1, u5, 0x20),
                _mm256_permute2x128_si256(u2, u6, 0x20), _mm256_permute2x128_si256(u3, u7, 0x20),
                _mm256_permute2x128_si256(u0, u4, 0x31), _mm256_permute2x128_si256(u1, u5, 0x31),
                _mm256_permute2x128_si256(u2, u6, 0x31), _mm256_permute2x128_si256(u3, u7, 0x31)};
            for (int j = 0; j < 8; ++j) {
                const __m256i px = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(column[j], narrow), join);
                uint8_t *d = dst.row(clockwise ? r + j : r + 7 - j) + 3 * c;
                _mm_storeu_si128(reinterpret_cast<__m128i *>(d), _mm256_castsi256_si128(px));
                _mm_storel_epi64(reinterpret_cast<__m128i *>(d + 16), _mm256_extracti128_si256(px, 1));
            }
        }
    }
    if (r8 < r1)
        quarterBlock(src, dst, clockwise, r8, r1, c0, c1);
    if (c8 < c1)
        quarterBlock(src, dst, clockwise, r0, r8, c8, c1);
}

} // namespace

void RotateQuarter(Bitmap &bitmap, bool clockwise)
{
    const int W = bitmap.width(), H = bitmap.height();
    Bitmap tmp;
    {
        std::lock_guard<std::mutex> lock(g_spareMutex);
        std::swap(tmp, g_spare);
    }
    if (tmp.width() != H || tmp.height() != W)
        tmp.resize(H, W); // every pixel is written below
    if (W > 0 && H > 0) {
        const Bitmap &src = bitmap;
        static const bool avx2 = __builtin_cpu_supports("avx2");
        const bool vector = avx2 && vectorCodeFor(VectorIsa::Avx2);
        // Square tiles of destination pixels; the vector code moves so much
        // faster that larger tiles (fewer passes over each source row's
        // memory pages) pay off, while the byte copies do best on 64.
        const int B = vector ? 128 : 64;
        const int tileRows = (W + B - 1) / B; // destination rows come in tiles
        parallelFor(tileRows, [&](int t0, int t1) {
            for (int t = t0; t < t1; ++t) {
                const int ra = t * B, rb = std::min(W, ra + B);
                for (int ca = 0; ca < H; ca += B) {
                    const int cb = std::min(H, ca + B);
                    if (vector)
                        quarterBlockAvx2(src, tmp, clockwise, ra, rb, ca, cb);
                    else
                        quarterBlock(src, tmp, clockwise, ra, rb, ca, cb);
                }
            }
        }, 1);
    }
    std::swap(bitmap, tmp);
    if (tmp.width() > 0 && tmp.height() > 0) {
        std::lock_guard<std::mutex> lock(g_spareMutex);
        std::swap(tmp, g_spare);
    }
}

// ---- ApplyToneTable --------------------------------------------------------

namespace {

void toneRowScalar(uint8_t *d, const uint8_t *s, int w, const uint8_t *t, int channel)
{
    if (channel == AllChannels) {
        const int n = 3 * w;
        for (int i = 0; i < n; ++i)
            d[i] = t[s[i]];
        return;
    }
    const int off = channel == RedChannel ? 2 : channel == GreenChannel ? 1 : 0;
    for (int x = 0; x < w; ++x)
        d[3 * x + off] = t[s[3 * x + off]];
}

__attribute__((target("avx512f,avx512bw,avx512vbmi")))
void toneRowsVbmi(Bitmap &dst, const Bitmap &src, int w, int y0, int y1, const uint8_t *t, int channel)
{
    const __m512i t0 = _mm512_loadu_si512(t), t1 = _mm512_loadu_si512(t + 64);
    const __m512i t2 = _mm512_loadu_si512(t + 128), t3 = _mm512_loadu_si512(t + 192);
    // Byte i of a row is channel i % 3 (0 blue, 1 green, 2 red); a vector at
    // row offset 64 j starts at phase j % 3 because 64 % 3 == 1.
    __mmask64 phase[3] = {~0ull, ~0ull, ~0ull};
    if (channel != AllChannels) {
        const int off = channel == RedChannel ? 2 : channel == GreenChannel ? 1 : 0;
        for (int s = 0; s < 3; ++s) {
            unsigned long long m = 0;
            for (int i = 0; i < 64; ++i)
                if ((s + i) % 3 == off)
                    m |= 1ull << i;
            phase[s] = m;
        }
    }
    const int n = 3 * w;
    for (int y = y0; y < y1; ++y) {
        const uint8_t *s = src.row(y);
        uint8_t *d = dst.row(y);
        int i = 0, j = 0;
        for (; i < n; i += 64, j = j == 2 ? 0 : j + 1) {
            __mmask64 m = phase[j];
            if (n - i < 64)
                m &= (n - i == 0) ? 0 : (~0ull >> (64 - (n - i)));
            const __m512i v = _mm512_maskz_loadu_epi8(m, s + i);
            const __m512i lo = _mm512_permutex2var_epi8(t0, v, t1);
            const __m512i hi = _mm512_permutex2var_epi8(t2, v, t3);
            const __m512i r = _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), lo, hi);
            _mm512_mask_storeu_epi8(d + i, m, r);
        }
    }
}

bool haveVbmi()
{
    static const bool yes = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")
                            && __builtin_cpu_supports("avx512vbmi");
    return yes;
}

} // namespace

void ApplyToneTable(Bitmap &dst, const Bitmap &src, const ToneTable &table, int channel)
{
    if (channel < AllChannels || channel > BlueChannel)
        return;
    const int w = std::min(dst.width(), src.width());
    const int h = std::min(dst.height(), src.height());
    if (w <= 0 || h <= 0)
        return;
    const bool vbmi = vectorCodeFor(VectorIsa::Avx512) && haveVbmi();
    parallelFor(h, [&](int y0, int y1) {
        if (vbmi) {
            toneRowsVbmi(dst, src, w, y0, y1, table.data(), channel);
            return;
        }
        for (int y = y0; y < y1; ++y)
            toneRowScalar(dst.row(y), src.row(y), w, table.data(), channel);
    }, 64);
}

} // namespace mv::imaging
