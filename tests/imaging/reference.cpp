#include "tests/imaging/reference.h"

#include <algorithm>
#include <cmath>

namespace mv::ref {

uint8_t clampByte(long long v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

void rotateQuarter(const Bitmap &src, Bitmap &out, bool clockwise)
{
    const int W = src.width(), H = src.height();
    out = Bitmap(H, W);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const uint8_t *s = src.pixel(x, y);
            uint8_t *d = clockwise ? out.pixel(H - 1 - y, x) : out.pixel(y, W - 1 - x);
            d[0] = s[0]; d[1] = s[1]; d[2] = s[2];
        }
}

void rotateByAngle(Bitmap &dst, const Bitmap &src, double angle)
{
    const int W = dst.width(), H = dst.height();
    const int cx = W / 2, cy = H / 2;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const int dx = x - cx, dy = y - cy;
            const double theta = std::atan2(double(dy), double(dx));
            const int r2 = dx * dx + dy * dy;
            const double r = std::sqrt(double(r2));
            const long long sx = (long long)std::trunc(r * std::cos(theta + angle)) + cx;
            const long long sy = (long long)std::trunc(r * std::sin(theta + angle)) + cy;
            uint8_t *d = dst.pixel(x, y);
            if (sx >= 0 && sx < W && sy >= 0 && sy < H) {
                const uint8_t *s = src.pixel(int(sx), int(sy));
                d[0] = s[0]; d[1] = s[1]; d[2] = s[2];
            } else {
                d[0] = d[1] = d[2] = 0;
            }
        }
}

void applyToneTable(Bitmap &dst, const Bitmap &src, const ToneTable &t, int channel)
{
    for (int y = 0; y < dst.height(); ++y)
        for (int x = 0; x < dst.width(); ++x) {
            const uint8_t *s = src.pixel(x, y);
            uint8_t *d = dst.pixel(x, y);
            if (channel == 0 || channel == 3)
                d[0] = t[s[0]];
            if (channel == 0 || channel == 2)
                d[1] = t[s[1]];
            if (channel == 0 || channel == 1)
                d[2] = t[s[2]];
        }
}

ToneTable brightnessTable(int b)
{
    ToneTable t{};
    for (int i = 0; i < 256; ++i)
        t[std::size_t(i)] = clampByte(i + b);
    return t;
}

ToneTable contrastTable(int c)
{
    ToneTable t{};
    if (c >= 0) {
        const float k = 255.0f / float(255 - 2 * c);
        for (int i = 0; i <= c; ++i)
            t[std::size_t(i)] = 0;
        for (int i = c + 1; i < 255 - c; ++i)
            t[std::size_t(i)] = uint8_t(std::trunc(double(i - c) * double(k)));
        for (int i = 255 - c; i <= 255; ++i)
            t[std::size_t(i)] = 255;
    } else {
        const float k = float((2 * c + 255) * (1.0 / 255));
        for (int i = 0; i < 256; ++i)
            t[std::size_t(i)] = uint8_t(std::trunc(double(i) * double(k) - c));
    }
    return t;
}

void saturation(Bitmap &dst, const Bitmap &src, int s)
{
    for (int y = 0; y < dst.height(); ++y)
        for (int x = 0; x < dst.width(); ++x) {
            const uint8_t *p = src.pixel(x, y);
            const int B = p[0], G = p[1], R = p[2];
            const int grey = (R + G + B) / 3;
            const int k = 2 * s + 255;
            uint8_t *d = dst.pixel(x, y);
            d[2] = clampByte(grey + (R - grey) * k / 255);
            d[1] = clampByte(grey + (G - grey) * k / 255);
            d[0] = clampByte(grey + (B - grey) * k / 255);
        }
}

void histograms(const Bitmap &bm, imaging::Histogram &l, imaging::Histogram &r, imaging::Histogram &g,
                imaging::Histogram &b)
{
    for (int y = 0; y < bm.height(); ++y)
        for (int x = 0; x < bm.width(); ++x) {
            const uint8_t *p = bm.pixel(x, y);
            l[std::size_t((p[0] + p[1] + p[2]) / 3)] += 1;
            r[p[2]] += 1;
            g[p[1]] += 1;
            b[p[0]] += 1;
        }
}

imaging::AutoLevels autoLevels(const Bitmap &bm, float percent)
{
    long long hist[256] = {};
    for (int y = 0; y < bm.height(); ++y)
        for (int x = 0; x < bm.width(); ++x) {
            const uint8_t *p = bm.pixel(x, y);
            hist[(p[2] + 2 * p[0]) / 3] += 1;
        }
    const long long total = (long long)bm.width() * bm.height();
    const long long c = (long long)std::trunc(double(total) * double(percent) * 0.01);
    imaging::AutoLevels res;
    long long acc = 0;
    for (int j = 0; j < 256 && res.low == 256; ++j)
        if ((acc += hist[j]) > c)
            res.low = j;
    acc = 0;
    for (int j = 255; j >= 0 && res.high == -1; --j)
        if ((acc += hist[j]) > c)
            res.high = j;
    return res;
}

void shiftColour(Bitmap &bm, int direction, int s)
{
    const int h = s / 2;
    for (int y = 0; y < bm.height(); ++y)
        for (int x = 0; x < bm.width(); ++x) {
            uint8_t *p = bm.pixel(x, y);
            const int R = p[2], G = p[1], B = p[0];
            int r = R, g = G, b = B;
            switch (direction) {
            case 0: r = R + s; g = G - h; b = B - h; break;
            case 1: r = R + h; g = G + h; b = B - h; break;
            case 2: r = R - h; g = G + s; b = B - h; break;
            case 3: r = R - s; g = G + h; b = B + h; break;
            case 4: r = R - h; g = G - h; b = B + s; break;
            case 5: r = R + h; g = G - s; b = B + h; break;
            default: break;
            }
            p[2] = clampByte(r);
            p[1] = clampByte(g);
            p[0] = clampByte(b);
        }
}

void sharpenBlur(Bitmap &dst, const Bitmap &src, bool sharpen, int force, int threshold, int mask)
{
    if (mask < 1)
        mask = 1;
    if (mask > 10)
        mask = 10;
    threshold = std::clamp(threshold, 0, 20);
    force = std::clamp(force, 1, 4);
    const int c = mask, e = int(std::trunc(1.5 * c)), m = 100 - 4 * c - 4 * e;
    const int k[3][3] = {{c, e, c}, {e, m, e}, {c, e, c}};
    const int W = dst.width(), H = dst.height();
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int ch = 0; ch < 3; ++ch) {
                int sum = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int yy = std::clamp(y + dy, 0, H - 1), xx = std::clamp(x + dx, 0, W - 1);
                        sum += src.pixel(xx, yy)[ch] * k[dy + 1][dx + 1];
                    }
                dst.pixel(x, y)[ch] = uint8_t(sum / 100);
            }
    if (!sharpen)
        return;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            for (int ch = 0; ch < 3; ++ch) {
                const int s = src.pixel(x, y)[ch];
                const int d = s - dst.pixel(x, y)[ch];
                dst.pixel(x, y)[ch] = std::abs(d) >= threshold ? clampByte(s + d * force) : uint8_t(s);
            }
}

void redEye(Bitmap &dst, const Bitmap &src, int x1, int y1, int x2, int y2)
{
    const int a = (x2 - x1) / 2, b = (y2 - y1) / 2, cy = (y1 + y2) / 2;
    if (a == 0)
        return;
    for (int x = x1; x <= x2; ++x) {
        const int dx = x - x1 - a;
        const double t = double(dx * dx) / a / a;
        const double l = t < 1 ? std::sqrt(b * b * (1 - t)) : 0.0;
        const int n = int(std::trunc(l + 0.5));
        for (int y = cy - n; y <= cy + n; ++y) {
            if (x < 0 || y < 0 || x >= src.width() || y >= src.height())
                continue;
            const uint8_t *p = src.pixel(x, y);
            const int R = p[2], G = p[1], B = p[0];
            if (R >= G && R >= B) {
                const uint8_t v = clampByte((R + G + B - 35) / 3);
                uint8_t *d = dst.pixel(x, y);
                d[0] = d[1] = d[2] = v;
            }
        }
    }
}

int edgeStrength(const Bitmap &bm, int x, int y)
{
    const int Kx[3][3] = {{-1, 0, 1}, {-2, 0, 2}, {-1, 0, 1}};
    const int Ky[3][3] = {{1, 2, 1}, {0, 0, 0}, {-1, -2, -1}};
    int E = 0;
    for (int ch = 0; ch < 3; ++ch) {
        int gx = 0, gy = 0;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                const int yy = std::clamp(y + r - 1, 0, bm.height() - 1);
                const int xx = std::clamp(x + c - 1, 0, bm.width() - 1);
                gx += Kx[r][c] * bm.pixel(xx, yy)[ch];
                gy += Ky[r][c] * bm.pixel(xx, yy)[ch];
            }
        gx = gx / 9;
        gy = gy / 9;
        E += int(std::trunc(std::sqrt(double(gx * gx + gy * gy))));
    }
    return E;
}

void reduceNoise(Bitmap &dst, const Bitmap &src, const imaging::EdgeMap &map, int force, int threshold, int x1,
                 int y1, int x2, int y2)
{
    const auto w = imaging::NoiseWeightsFor(force);
    const int W = src.width(), H = src.height();
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x) {
            if (x < 0 || y < 0 || x >= W || y >= H)
                continue;
            if (map.at(x, y) >= threshold)
                continue;
            int sum[3] = {}, ws = 0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    const int yy = std::clamp(y + dy, 0, H - 1), xx = std::clamp(x + dx, 0, W - 1);
                    if (map.at(xx, yy) >= threshold)
                        continue;
                    const int wt = w[std::size_t(dy + 2)][std::size_t(dx + 2)];
                    for (int c = 0; c < 3; ++c)
                        sum[c] += wt * src.pixel(xx, yy)[c];
                    ws += wt;
                }
            if (ws > 0)
                for (int c = 0; c < 3; ++c)
                    dst.pixel(x, y)[c] = uint8_t(sum[c] / ws);
        }
}

} // namespace mv::ref
