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
        // Tiles of B x B pixels: each destination row r of the tile reads the
        // source column r, whose pixels lie in B consecutive source rows.
        constexpr int B = 32;
        const int tileRows = (W + B - 1) / B; // destination rows come in tiles
        parallelFor(tileRows, [&](int t0, int t1) {
            for (int t = t0; t < t1; ++t) {
                const int ra = t * B, rb = std::min(W, ra + B);
                for (int ca = 0; ca < H; ca += B) {
                    const int cb = std::min(H, ca + B);
                    for (int c = ca; c < cb; ++c) {
                        // clockwise: dst(c, r) = src(r, H-1-c); counter: dst(c, r) = src(W-1-r, c)
                        if (clockwise) {
                            const uint8_t *s = src.row(H - 1 - c) + 3 * ra;
                            for (int r = ra; r < rb; ++r, s += 3) {
                                uint8_t *d = tmp.row(r) + 3 * c;
                                d[0] = s[0]; d[1] = s[1]; d[2] = s[2];
                            }
                        } else {
                            const uint8_t *s = src.row(c) + 3 * (W - 1 - ra);
                            for (int r = ra; r < rb; ++r, s -= 3) {
                                uint8_t *d = tmp.row(r) + 3 * c;
                                d[0] = s[0]; d[1] = s[1]; d[2] = s[2];
                            }
                        }
                    }
                }
            }
        }, 2);
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
    const bool vbmi = vectorCode() && haveVbmi();
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
