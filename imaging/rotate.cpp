// RotateByAngle, bit-identical to the per-pixel formula
//   sx = trunc(r cos(atan2(dy, dx) + angle)) + cx, sy = trunc(r sin(...)) + cy
// but without its atan2, square root and two trigonometric calls per pixel.
//
// Mathematically r cos(theta + angle) = dx cos(angle) - dy sin(angle) and
// r sin(theta + angle) = dx sin(angle) + dy cos(angle). In floating point the
// formula's computed value F and our value u both lie within a tiny distance
// of that exact value: glibc's atan2, sqrt, cos and sin are accurate to about
// one ulp, so |F - exact| <= about 8 ulp(|theta| + |angle|) r < 2e-15 (4 + |angle|) r,
// and |u - exact| <= 4 ulp(|dx| + |dy|). Whenever u lies farther than eps from
// every integer (eps below is more than 10^5 times the sum of both bounds),
// trunc(F) == trunc(u), because trunc only changes at integers. Where u lies
// closer, the formula itself is evaluated. The tests compare both on many
// angles and sizes.

#include "imaging/primitives.h"

// GCC 12 warns about the intrinsics' own undefined-vector helpers at -O3.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

#include "imaging/parallel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <immintrin.h>

namespace mv::imaging {

bool RotateSourcePixel(int x, int y, int width, int height, double angle, int &sx, int &sy)
{
    const int cx = width / 2, cy = height / 2;
    const long long dx = x - cx, dy = y - cy;
    const double theta = std::atan2(double(dy), double(dx));
    const double r = std::sqrt(double(dx * dx + dy * dy)); // dx^2 + dy^2 formed as an integer
    const double a = theta + angle;
    const double fx = r * std::cos(a);
    const double fy = r * std::sin(a);
    const long long ix = (long long)fx + cx; // conversion truncates toward zero
    const long long iy = (long long)fy + cy;
    if (ix < 0 || ix >= width || iy < 0 || iy >= height)
        return false;
    sx = int(ix);
    sy = int(iy);
    return true;
}

namespace {

// One destination pixel by the scalar rule: the fast value where it is far
// from an integer, the formula otherwise.
inline void rotatePixel(uint8_t *d, const Bitmap &src, int x, int y, int W, int H, double angle, double ca,
                        double sa, double uy, double vy, double eps, double hiLimit)
{
    const int cx = W / 2, cy = H / 2;
    const double dx = double(x - cx);
    const double u = dx * ca - uy;
    const double v = dx * sa + vy;
    const long long iu = (long long)u, iv = (long long)v;
    const double fu = std::fabs(u - double(iu)), fv = std::fabs(v - double(iv));
    long long sx, sy;
    if (fu > eps && fu < hiLimit && fv > eps && fv < hiLimit) [[likely]] {
        sx = iu + cx;
        sy = iv + cy;
    } else {
        int ex, ey;
        if (!RotateSourcePixel(x, y, W, H, angle, ex, ey)) {
            d[0] = d[1] = d[2] = 0;
            return;
        }
        sx = ex;
        sy = ey;
    }
    if ((unsigned long long)sx < (unsigned long long)W && (unsigned long long)sy < (unsigned long long)H) {
        const uint8_t *s = src.row(int(sy)) + 3 * sx;
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
    } else {
        d[0] = d[1] = d[2] = 0;
    }
}

// Eight pixels a step with AVX-512: the same u and v in double (the same
// operations as the scalar rule, so the same values), the same test; a group
// where any lane lies close to an integer, or reaches the very last pixel of
// the buffer (a 4-byte gather would read one byte past it), goes through
// rotatePixel. Returns the first column not done.
__attribute__((target("avx512f,avx512dq,avx512bw,avx512vl,avx512vbmi")))
int rotateRowVec(uint8_t *d, const Bitmap &src, int y, int W, int H, double angle, double ca, double sa, double uy,
                 double vy, double eps, double hiLimit)
{
    const int cx = W / 2, cy = H / 2;
    const uint8_t *base = src.row(0);
    const int stride = src.stride();
    const int lastOffset = (H - 1) * stride + 3 * (W - 1);
    const __m512d vca = _mm512_set1_pd(ca), vsa = _mm512_set1_pd(sa), vuy = _mm512_set1_pd(uy),
                  vvy = _mm512_set1_pd(vy), veps = _mm512_set1_pd(eps), vhi = _mm512_set1_pd(hiLimit);
    const __m512d iota = _mm512_setr_pd(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i vcx = _mm256_set1_epi32(cx), vcy = _mm256_set1_epi32(cy), vW = _mm256_set1_epi32(W),
                  vH = _mm256_set1_epi32(H), vstride = _mm256_set1_epi32(stride), vlast = _mm256_set1_epi32(lastOffset);
    alignas(32) uint8_t packIdx[32];
    for (int j = 0; j < 32; ++j)
        packIdx[j] = uint8_t(j < 24 ? (j / 3) * 4 + j % 3 : 0);
    const __m256i pack = _mm256_load_si256(reinterpret_cast<const __m256i *>(packIdx));
    int x = 0;
    for (; x + 8 <= W; x += 8) {
        const __m512d dx = _mm512_add_pd(_mm512_set1_pd(double(x - cx)), iota);
        const __m512d u = _mm512_sub_pd(_mm512_mul_pd(dx, vca), vuy);
        const __m512d v = _mm512_add_pd(_mm512_mul_pd(dx, vsa), vvy);
        const __m256i iu = _mm512_cvttpd_epi32(u), iv = _mm512_cvttpd_epi32(v);
        const __m512d fu = _mm512_abs_pd(_mm512_sub_pd(u, _mm512_cvtepi32_pd(iu)));
        const __m512d fv = _mm512_abs_pd(_mm512_sub_pd(v, _mm512_cvtepi32_pd(iv)));
        const __mmask8 fast = _mm512_cmp_pd_mask(fu, veps, _CMP_GT_OQ) & _mm512_cmp_pd_mask(fu, vhi, _CMP_LT_OQ)
                              & _mm512_cmp_pd_mask(fv, veps, _CMP_GT_OQ) & _mm512_cmp_pd_mask(fv, vhi, _CMP_LT_OQ);
        const __m256i sx = _mm256_add_epi32(iu, vcx), sy = _mm256_add_epi32(iv, vcy);
        const __mmask8 in = _mm256_cmplt_epu32_mask(sx, vW) & _mm256_cmplt_epu32_mask(sy, vH);
        const __m256i off = _mm256_add_epi32(_mm256_mullo_epi32(sy, vstride),
                                             _mm256_add_epi32(sx, _mm256_add_epi32(sx, sx)));
        const __mmask8 last = _mm256_mask_cmpeq_epi32_mask(in, off, vlast);
        if (fast != 0xff || last != 0) {
            for (int i = 0; i < 8; ++i)
                rotatePixel(d + 3 * (x + i), src, x + i, y, W, H, angle, ca, sa, uy, vy, eps, hiLimit);
            continue;
        }
        const __m256i g = _mm256_mmask_i32gather_epi32(_mm256_setzero_si256(), in, off, base, 1);
        _mm256_mask_storeu_epi8(d + 3 * x, 0xffffff, _mm256_permutexvar_epi8(pack, g));
    }
    return x;
}

bool haveAvx512Rotate()
{
    static const bool yes = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq")
                            && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl")
                            && __builtin_cpu_supports("avx512vbmi");
    return yes;
}

// Rows y0..y1 of dst; W, H the common size.
void rotateRows(Bitmap &dst, const Bitmap &src, int W, int H, double angle, double ca, double sa, double eps,
                int y0, int y1)
{
    const int cy = H / 2;
    const double hiLimit = 1.0 - eps;
    // Byte offsets of the gather must fit in 32 bits.
    const bool vec = vectorCodeFor(VectorIsa::Avx512) && haveAvx512Rotate() && (long long)src.stride() * src.height() < (1LL << 31) - 64
                     && src.width() == W && src.height() == H;
    for (int y = y0; y < y1; ++y) {
        uint8_t *d = dst.row(y);
        const double dy = double(y - cy);
        const double uy = dy * sa, vy = dy * ca;
        int x0 = 0;
        if (vec) {
            x0 = rotateRowVec(d, src, y, W, H, angle, ca, sa, uy, vy, eps, hiLimit);
            d += 3 * x0;
        }
        for (int x = x0; x < W; ++x, d += 3)
            rotatePixel(d, src, x, y, W, H, angle, ca, sa, uy, vy, eps, hiLimit);
    }
}

} // namespace

void RotateByAngle(Bitmap &dst, const Bitmap &src, double angle)
{
    if (&dst == &src) { // never read pixels already written
        const Bitmap copy = src;
        RotateByAngle(dst, copy, angle);
        return;
    }
    // The formula's centre and range come from the destination's size; the
    // callers pass src and dst of equal size. With unequal sizes we use the
    // common part and treat it as the picture.
    const int W = std::min(dst.width(), src.width());
    const int H = std::min(dst.height(), src.height());
    if (W <= 0 || H <= 0)
        return;
    if (!std::isfinite(angle)) {
        for (int y = 0; y < H; ++y)
            std::memset(dst.row(y), 0, std::size_t(W) * 3);
        return;
    }
    const double ca = std::cos(angle), sa = std::sin(angle);
    // Generous bound (see the top of this file): about 1e6 times the real error.
    const double eps = 1e-9 * (double(W) + double(H) + 2.0) * (8.0 + std::fabs(angle));
    if (!(eps < 0.25)) {
        // Angles so large that nothing can be trusted: the formula everywhere.
        parallelFor(H, [&](int y0, int y1) {
            for (int y = y0; y < y1; ++y) {
                uint8_t *d = dst.row(y);
                for (int x = 0; x < W; ++x, d += 3) {
                    int sx, sy;
                    if (RotateSourcePixel(x, y, W, H, angle, sx, sy)) {
                        const uint8_t *s = src.row(sy) + 3 * sx;
                        d[0] = s[0]; d[1] = s[1]; d[2] = s[2];
                    } else {
                        d[0] = d[1] = d[2] = 0;
                    }
                }
            }
        }, 8);
        return;
    }
    parallelFor(H, [&](int y0, int y1) { rotateRows(dst, src, W, H, angle, ca, sa, eps, y0, y1); }, 8);
}

} // namespace mv::imaging
