#include "imaging/redeye.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace mv::imaging {

void ReduceRedEye(Bitmap &dst, const Bitmap &src, int x1_, int y1_, int x2_, int y2_)
{
    long long x1 = x1_, y1 = y1_, x2 = x2_, y2 = y2_;
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    const long long a = (x2 - x1) / 2, b = (y2 - y1) / 2, cy = (y1 + y2) / 2;
    if (a == 0)
        return;
    const long long W = std::min(dst.width(), src.width()), H = std::min(dst.height(), src.height());
    for (long long x = std::max(x1, 0LL); x <= std::min(x2, W - 1); ++x) {
        const long long dx = x - x1 - a;
        const double t = double(dx * dx) / double(a) / double(a);
        double l = 0.0;
        if (t < 1.0)
            l = std::sqrt(double(b * b) * (1.0 - t));
        const long long n = (long long)(l + 0.5);
        for (long long y = std::max(cy - n, 0LL); y <= std::min(cy + n, H - 1); ++y) {
            const uint8_t *s = src.pixel(int(x), int(y));
            const int B = s[0], G = s[1], R = s[2];
            if (R >= G && R >= B) {
                const uint8_t v = uint8_t(std::clamp((R + G + B - 35) / 3, 0, 255));
                uint8_t *d = dst.pixel(int(x), int(y));
                d[0] = d[1] = d[2] = v;
            }
        }
    }
}

} // namespace mv::imaging
