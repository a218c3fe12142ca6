#include "imaging/sharpen.h"

#include "imaging/parallel.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace mv::imaging {

namespace {

// floor(v / 100) for 0 <= v <= 25500 (the largest sum) as a multiply-high.
constexpr uint16_t div100(uint32_t v) { return uint16_t(((v * 41944u) >> 16) >> 6); }
constexpr bool checkDiv100()
{
    for (uint32_t v = 0; v <= 25500; ++v)
        if (div100(v) != v / 100)
            return false;
    return true;
}
static_assert(checkDiv100());

// One destination row. n = 3 W bytes; A and C have n + 6 entries (one pixel
// of padding each side).
__attribute__((target_clones("avx2", "default")))
void filterRow(const uint8_t *up, const uint8_t *cur, const uint8_t *down, uint8_t *out, int n, uint16_t *A,
               uint16_t *C, uint16_t *S, int corner, int edge, int centre, int sharpen, int thr, int force)
{
    for (int i = 0; i < n; ++i) {
        A[i + 3] = uint16_t(up[i] + down[i]);
        C[i + 3] = cur[i];
    }
    for (int i = 0; i < 3; ++i) {
        A[i] = A[i + 3];
        C[i] = C[i + 3];
        A[n + 3 + i] = A[n + i];
        C[n + 3 + i] = C[n + i];
    }
    const uint16_t c = uint16_t(corner), e = uint16_t(edge), m = uint16_t(centre);
    for (int i = 0; i < n; ++i) {
        const uint16_t sum = uint16_t(c * uint16_t(A[i] + A[i + 6]) + e * uint16_t(A[i + 3] + C[i] + C[i + 6])
                                      + m * C[i + 3]);
        S[i] = div100(sum);
    }
    if (!sharpen) {
        for (int i = 0; i < n; ++i)
            out[i] = uint8_t(S[i]);
        return;
    }
    const int16_t t = int16_t(thr), f = int16_t(force);
    for (int i = 0; i < n; ++i) {
        const int16_t s = int16_t(cur[i]);
        const int16_t d = int16_t(s - int16_t(S[i]));
        const int16_t ad = d < 0 ? int16_t(-d) : d;
        int16_t v = int16_t(s + d * f);
        v = v < 0 ? int16_t(0) : v > 255 ? int16_t(255) : v;
        out[i] = uint8_t(ad >= t ? v : s);
    }
}

} // namespace

SharpenKernel SharpenKernelFor(int mask)
{
    const int c = std::clamp(mask, 1, 10);
    const int e = int(1.5 * c);
    return SharpenKernel{c, e, 100 - 4 * c - 4 * e};
}

void SharpenBlur(Bitmap &dst, const Bitmap &src, const SharpenParams &p)
{
    if (&dst == &src) {
        const Bitmap copy = src;
        SharpenBlur(dst, copy, p);
        return;
    }
    const int W = std::min(dst.width(), src.width());
    const int H = std::min(dst.height(), src.height());
    if (W <= 0 || H <= 0)
        return;
    const int force = std::clamp(p.force, 1, 4);
    const int thr = std::clamp(p.threshold, 0, 20);
    const SharpenKernel k = SharpenKernelFor(p.mask);
    const int n = 3 * W;
    parallelFor(H, [&](int y0, int y1) {
        std::vector<uint16_t> buf(3 * std::size_t(n + 6));
        uint16_t *A = buf.data(), *C = A + n + 6, *S = C + n + 6;
        for (int y = y0; y < y1; ++y)
            filterRow(src.row(std::max(0, y - 1)), src.row(y), src.row(std::min(H - 1, y + 1)), dst.row(y), n, A, C,
                      S, k.corner, k.edge, k.centre, p.sharpen ? 1 : 0, thr, force);
    }, 16);
}

} // namespace mv::imaging
