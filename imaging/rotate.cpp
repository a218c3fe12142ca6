// RotateByAngle (Part 6.1), bit-identical to the spec's per-pixel formula
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

#include "imaging/parallel.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

// Rows y0..y1 of dst; W, H the common size.
void rotateRows(Bitmap &dst, const Bitmap &src, int W, int H, double angle, double ca, double sa, double eps,
                int y0, int y1)
{
    const int cx = W / 2, cy = H / 2;
    const double hiLimit = 1.0 - eps;
    for (int y = y0; y < y1; ++y) {
        uint8_t *d = dst.row(y);
        const double dy = double(y - cy);
        const double uy = dy * sa, vy = dy * ca;
        for (int x = 0; x < W; ++x, d += 3) {
            const double dx = double(x - cx);
            const double u = dx * ca - uy;
            const double v = dx * sa + vy;
            // |u| and |v| are at most about W + H here, so they fit in long long.
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
                    continue;
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
    // spec has src and dst of equal size. With unequal sizes we use the
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
