#include "imaging/levels.h"

#include "imaging/parallel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace mv::imaging {

namespace {

// Truncation toward zero that stays defined for any double.
long long truncLL(double v)
{
    if (!(v == v))
        return 0;
    v = std::clamp(v, -9.0e18, 9.0e18);
    return (long long)v;
}

// A quotient of two integers held in single precision.
float singleQuotient(long long a, long long b) { return float(double(a) / double(b)); }

uint8_t low8(long long v) { return uint8_t(uint64_t(v) & 0xff); }

} // namespace

ToneTable BuildLevelsTable(int ib_, int im_, int iw_, int ob_, int om_, int ow_)
{
    long long ib = ib_, im = im_, iw = iw_, ob = ob_, om = om_, ow = ow_;
    ToneTable t{};
    if (ow - ob - 2 * om < 0) {
        // Straight line; the middle points are not used.
        if (iw == ib)
            iw = ib + 1;
        const float k = singleQuotient(ow - ob, iw - ib);
        for (long long i = 0; i < 256; ++i) {
            long long v;
            if (i <= ib)
                v = ob;
            else if (i <= iw)
                v = truncLL(double(i - ib) * double(k) + double(ob));
            else
                v = ow;
            t[std::size_t(i)] = low8(v);
        }
        return t;
    }
    // Curve.
    if (im == ib)
        im = ib + 1;
    const float r = singleQuotient(iw - im, im - ib);
    if (!(double(r) > 0.15)) {
        ib += 10;
        if (ib >= im)
            ib = im - 5;
    }
    if (double(r) >= 15.0) {
        ob += 10;
        if (ob >= om)
            ob = om - 5;
    }
    for (long long i = 0; i <= std::min(ib, 255LL); ++i)
        t[std::size_t(i)] = low8(ob);
    long long n = ib, y = ob;
    auto segment = [&](long long from, long long to, float k, long long base, long long y0) {
        for (long long j = std::max(from, 0LL); j <= std::min(to, 255LL); ++j)
            t[std::size_t(j)] = low8(truncLL(double(j - base) * double(k) + double(y0)));
    };
    for (int s = 1; s <= 6; ++s) {
        const double tt = (1.0 / 6.0) * s;
        const double u = 1.0 - tt;
        // sum over j of C(2, j) t^j (1 - t)^(2 - j) Pj, left to right
        const double b0 = 1.0 * 1.0 * (u * u), b1 = 2.0 * tt * u, b2 = 1.0 * (tt * tt) * 1.0;
        const double x = b0 * double(ib) + b1 * double(im) + b2 * double(iw);
        const double yy = b0 * double(ob) + b1 * double(om) + b2 * double(ow);
        long long px = truncLL(x);
        const long long py = truncLL(yy);
        if (px == n)
            px = n + 1;
        const float k = singleQuotient(py - y, px - n);
        segment(n, px - 1, k, n, y);
        n = px;
        y = py;
    }
    const long long p = n == iw ? iw + 1 : iw;
    const float k = singleQuotient(ow - y, p - n);
    segment(n, p, k, n, y);
    for (long long j = std::max({n, p + 1, 0LL}); j <= 255; ++j)
        t[std::size_t(j)] = 255;
    return t;
}

void ApplyLevels(Bitmap &dst, const Bitmap &src, const LevelsParams &p, int channel)
{
    ApplyToneTable(dst, src, BuildLevelsTable(p), channel);
}

void ComputeHistograms(const Bitmap &bitmap, Histogram &l, Histogram &r, Histogram &g, Histogram &b)
{
    const int w = bitmap.width(), h = bitmap.height();
    if (w <= 0 || h <= 0)
        return;
    const int parts = std::max(1, std::min(threadCount() * 8, h / 64));
    auto partial = std::vector<std::array<uint32_t, 4 * 256>>(std::size_t(parts));
    for (auto &p : partial)
        p.fill(0);
    parallelFor(parts, [&](int k0, int k1) {
        for (int k = k0; k < k1; ++k) {
            uint32_t *hl = partial[std::size_t(k)].data(), *hr = hl + 256, *hg = hl + 512, *hb = hl + 768;
            const int y0 = int((long long)h * k / parts), y1 = int((long long)h * (k + 1) / parts);
            for (int y = y0; y < y1; ++y) {
                const uint8_t *s = bitmap.row(y);
                for (int x = 0; x < w; ++x, s += 3) {
                    hb[s[0]]++;
                    hg[s[1]]++;
                    hr[s[2]]++;
                    hl[(s[0] + s[1] + s[2]) / 3]++;
                }
            }
        }
    }, 1);
    for (const auto &p : partial)
        for (int i = 0; i < 256; ++i) {
            l[std::size_t(i)] += p[std::size_t(i)];
            r[std::size_t(i)] += p[std::size_t(256 + i)];
            g[std::size_t(i)] += p[std::size_t(512 + i)];
            b[std::size_t(i)] += p[std::size_t(768 + i)];
        }
}

AutoLevels FindAutoLevels(const Bitmap &bitmap, float percent)
{
    const int w = std::max(0, bitmap.width()), h = std::max(0, bitmap.height());
    std::array<unsigned long long, 256> hist{};
    if (w > 0 && h > 0) {
        const int parts = std::max(1, std::min(threadCount() * 8, h / 64));
        auto partial = std::vector<std::array<unsigned long long, 256>>(std::size_t(parts));
        for (auto &p : partial)
            p.fill(0);
        parallelFor(parts, [&](int k0, int k1) {
            for (int k = k0; k < k1; ++k) {
                unsigned long long *hp = partial[std::size_t(k)].data();
                const int y0 = int((long long)h * k / parts), y1 = int((long long)h * (k + 1) / parts);
                for (int y = y0; y < y1; ++y) {
                    const uint8_t *s = bitmap.row(y);
                    for (int x = 0; x < w; ++x, s += 3)
                        hp[(s[2] + 2 * s[0]) / 3]++;
                }
            }
        }, 1);
        for (const auto &p : partial)
            for (int i = 0; i < 256; ++i)
                hist[std::size_t(i)] += p[std::size_t(i)];
    }
    const long long total = (long long)w * h;
    const long long c = truncLL(double(total) * double(percent) * 0.01);
    AutoLevels res;
    long long acc = 0;
    for (int j = 0; j < 256; ++j) {
        acc += (long long)hist[std::size_t(j)];
        if (acc > c) {
            res.low = j;
            break;
        }
    }
    acc = 0;
    for (int j = 255; j >= 0; --j) {
        acc += (long long)hist[std::size_t(j)];
        if (acc > c) {
            res.high = j;
            break;
        }
    }
    return res;
}

void DrawHistogram(Bitmap &picture, const Histogram &counts, int channel)
{
    const int W = picture.width(), H = picture.height();
    if (W <= 0 || H <= 0)
        return;
    picture.fill(255, 255, 255);
    uint8_t blue = 0, green = 0, red = 0; // L: black
    if (channel == RedChannel)
        red = 255;
    else if (channel == GreenChannel)
        green = 128;
    else if (channel == BlueChannel)
        blue = 255;
    unsigned long long max = 0, sum = 0;
    for (uint32_t v : counts) {
        max = std::max<unsigned long long>(max, v);
        sum += v;
    }
    const unsigned long long mean = sum / 256;
    if (mean > 0 && max / mean > 4)
        max = 4 * mean;
    if (max == 0)
        return;
    const float xs = float(double(W) / 256.0);
    const float ys = float(double(H) / double(max));
    auto round2 = [](double v) { return double(truncLL(v * 100.0 + 0.5)) / 100.0; };
    for (int i = 0; i < 256; ++i) {
        const long long x = truncLL(round2(double(i) * double(xs)));
        const long long y = truncLL(double(H - 1) - round2(double(counts[std::size_t(i)]) * double(ys)));
        if (x < 0 || x >= W)
            continue;
        // From (x, H - 1) up to, but not including, (x, y).
        for (long long yy = H - 1; yy > y && yy >= 0; --yy) {
            uint8_t *p = picture.pixel(int(x), int(yy));
            p[0] = blue;
            p[1] = green;
            p[2] = red;
        }
    }
}

} // namespace mv::imaging
