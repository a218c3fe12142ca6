#include "imaging/adjust.h"

#include "imaging/parallel.h"

#include <algorithm>

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

void saturationRows(Bitmap &dst, const Bitmap &src, int w, int y0, int y1, const SaturationTables &t)
{
    const int16_t *sc = t.scaled + 255;
    const uint8_t *cl = t.clamp + 1024;
    for (int y = y0; y < y1; ++y) {
        const uint8_t *s = src.row(y);
        uint8_t *d = dst.row(y);
        for (int x = 0; x < w; ++x, s += 3, d += 3) {
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
    parallelFor(h, [&](int y0, int y1) { saturationRows(dst, src, w, y0, y1, t); }, 64);
}

} // namespace mv::imaging
