#include "imaging/noise.h"

#include "imaging/parallel.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace mv::imaging {

void EdgeMap::resize(int w, int h)
{
    width = std::max(0, w);
    height = std::max(0, h);
    values.assign(std::size_t(width) * std::size_t(height), 0);
}

int EdgeStrength(const Bitmap &bm, int x, int y)
{
    const int W = bm.width(), H = bm.height();
    static const int kx[3][3] = {{-1, 0, 1}, {-2, 0, 2}, {-1, 0, 1}};
    static const int ky[3][3] = {{1, 2, 1}, {0, 0, 0}, {-1, -2, -1}};
    int e = 0;
    for (int c = 0; c < 3; ++c) {
        int gx = 0, gy = 0;
        for (int j = 0; j < 3; ++j) {
            const int yy = std::clamp(y + j - 1, 0, H - 1);
            for (int i = 0; i < 3; ++i) {
                const int xx = std::clamp(x + i - 1, 0, W - 1);
                const int v = bm.pixel(xx, yy)[c];
                gx += kx[j][i] * v;
                gy += ky[j][i] * v;
            }
        }
        gx /= 9;
        gy /= 9;
        e += int(std::sqrt(double(gx * gx + gy * gy)));
    }
    return e;
}

namespace {

// |g| / 9 for |g| <= 1020 as a multiply-high.
constexpr int div9(int a) { return (a * 7282) >> 16; }
constexpr bool checkDiv9()
{
    for (int a = 0; a <= 1020; ++a)
        if (div9(a) != a / 9)
            return false;
    return true;
}
static_assert(checkDiv9());

// One row of edge strengths. n = 3 W; S and D have n + 6 entries, M n.
// trunc(sqrtf(q)) equals trunc(sqrt(q)) for every q <= 2 * 113^2 (a test
// checks the whole range), so single precision is exact here.
__attribute__((target_clones("avx2", "default")))
void edgeRow(const uint8_t *up, const uint8_t *cur, const uint8_t *down, int16_t *out, int W, int32_t *S,
             int32_t *D, int32_t *M)
{
    const int n = 3 * W;
    for (int i = 0; i < n; ++i) {
        S[i + 3] = up[i] + 2 * cur[i] + down[i];
        D[i + 3] = up[i] - down[i];
    }
    for (int i = 0; i < 3; ++i) {
        S[i] = S[i + 3];
        D[i] = D[i + 3];
        S[n + 3 + i] = S[n + i];
        D[n + 3 + i] = D[n + i];
    }
    for (int i = 0; i < n; ++i) {
        int gx = S[i + 6] - S[i];
        int gy = D[i] + 2 * D[i + 3] + D[i + 6];
        gx = gx < 0 ? -gx : gx;
        gy = gy < 0 ? -gy : gy;
        const int qx = div9(gx), qy = div9(gy);
        M[i] = int32_t(__builtin_sqrtf(float(qx * qx + qy * qy)));
    }
    for (int x = 0; x < W; ++x)
        out[x] = int16_t(M[3 * x] + M[3 * x + 1] + M[3 * x + 2]);
}

} // namespace

namespace {

// The edge map, and with hist also the histogram of its values (counted per
// part of the rows and summed, so the counts do not depend on the split).
EdgeStats buildEdgeMap(const Bitmap &bm, EdgeMap &map, EdgeHistogram *hist)
{
    const int W = std::max(0, bm.width()), H = std::max(0, bm.height());
    if (map.width != W || map.height != H || map.values.size() != std::size_t(W) * std::size_t(H))
        map.resize(W, H); // otherwise every value is overwritten below
    EdgeStats st;
    if (W == 0 || H == 0)
        return st;
    const int parts = std::max(1, std::min(threadCount() * 8, H / 16));
    auto partial = std::vector<EdgeStats>(std::size_t(parts));
    auto partialHist = std::vector<EdgeHistogram>(hist ? std::size_t(parts) : 0);
    for (auto &h : partialHist)
        h.fill(0);
    parallelFor(parts, [&](int k0, int k1) {
        const int n = 3 * W;
        std::vector<int32_t> buf(std::size_t(3 * n + 12));
        int32_t *S = buf.data(), *D = S + n + 6, *M = D + n + 6;
        for (int k = k0; k < k1; ++k) {
            const int y0 = int((long long)H * k / parts), y1 = int((long long)H * (k + 1) / parts);
            EdgeStats s;
            for (int y = y0; y < y1; ++y) {
                int16_t *e = map.row(y);
                edgeRow(bm.row(std::max(0, y - 1)), bm.row(y), bm.row(std::min(H - 1, y + 1)), e, W, S, D, M);
                int mx = 0;
                long long sum = 0;
                for (int x = 0; x < W; ++x) {
                    mx = std::max<int>(mx, e[x]);
                    sum += e[x];
                }
                if (hist) {
                    uint32_t *h = partialHist[std::size_t(k)].data();
                    for (int x = 0; x < W; ++x)
                        h[e[x]]++; // 0..477
                }
                s.maxE = std::max(s.maxE, mx);
                s.sumE += sum;
            }
            partial[std::size_t(k)] = s;
        }
    }, 1);
    for (const auto &p : partial) {
        st.maxE = std::max(st.maxE, p.maxE);
        st.sumE += p.sumE;
    }
    for (const auto &h : partialHist)
        for (std::size_t i = 0; i < h.size(); ++i)
            (*hist)[i] += h[i];
    return st;
}

} // namespace

EdgeStats BuildEdgeMap(const Bitmap &bm, EdgeMap &map) { return buildEdgeMap(bm, map, nullptr); }

NoiseThresholds ComputeNoiseThresholds(const EdgeHistogram &histogram, int maxE, long long total)
{
    NoiseThresholds t{};
    const long long step = total / 10;
    long long next = step, acc = 0;
    int k = 1;
    for (int i = 0; i <= std::min(maxE, 1023); ++i) {
        acc += (long long)i * histogram[std::size_t(i)];
        if (acc >= next && k <= 10) {
            t[std::size_t(k)] = int16_t(i);
            ++k;
            next += step;
        }
    }
    return t;
}

void CalculateNoiseParameters(const Bitmap &committed, EdgeMap &map, EdgeHistogram &histogram,
                              NoiseThresholds &thresholds, const Progress &progress)
{
    auto report = [&](int v) {
        if (progress)
            progress(v);
    };
    report(0);
    report(20);
    histogram.fill(0);
    report(25);
    // The map is filled and its values counted into the histogram in one
    // pass (instead of a second pass at position 80; the result is the same).
    const EdgeStats st = buildEdgeMap(committed, map, &histogram);
    report(80);
    report(90);
    thresholds = ComputeNoiseThresholds(histogram, st.maxE, st.sumE);
    report(90);
    report(0);
}

NoiseWeights NoiseWeightsFor(int force)
{
    // Per force: row 1 (and 5), row 2 (and 4), row 3.
    static const int rows[5][3][5] = {
        {{1, 2, 3, 2, 1}, {2, 4, 6, 4, 2}, {3, 6, 10, 6, 3}},
        {{2, 3, 5, 3, 2}, {3, 7, 8, 7, 3}, {5, 8, 10, 8, 5}},
        {{5, 6, 7, 6, 5}, {6, 8, 9, 8, 6}, {7, 9, 10, 9, 7}},
        {{6, 7, 8, 7, 6}, {7, 9, 10, 9, 7}, {8, 10, 10, 10, 8}},
        {{10, 10, 10, 10, 10}, {10, 10, 10, 10, 10}, {10, 10, 10, 10, 10}},
    };
    const int f = std::clamp(force, 1, 5) - 1;
    NoiseWeights w{};
    const int which[5] = {0, 1, 2, 1, 0};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            w[std::size_t(r)][std::size_t(c)] = rows[f][which[r]][c];
    return w;
}

namespace {

// floor(n / d) = (n * magic[d]) >> 32 for n < 2^16, 1 <= d < 256 (tested).
struct Magic {
    uint64_t m[256];
    Magic()
    {
        m[0] = 0;
        for (uint64_t d = 1; d < 256; ++d)
            m[d] = (uint64_t(1) << 32) / d + 1;
    }
};
const Magic &magic()
{
    static const Magic mg;
    return mg;
}

// Elementwise over 4-lane pixels (B, G, R, qualifying flag), n = 4 x pixels.
// P0, P1, P2 point at the padded rows (2 pixels of padding each side).
__attribute__((target_clones("avx2", "default")))
void noiseSums(const uint16_t *P0, const uint16_t *P1, const uint16_t *P2, uint16_t *acc, int n, const uint16_t *w)
{
    // w: [class][0 centre, 1 at +-1, 2 at +-2], class 0 = row 3, 1 = rows 2/4, 2 = rows 1/5
    const uint16_t a0 = w[0], a1 = w[1], a2 = w[2], b0 = w[3], b1 = w[4], b2 = w[5], c0 = w[6], c1 = w[7], c2 = w[8];
    for (int k = 0; k < n; ++k) {
        const int j = k + 8;
        uint16_t s = uint16_t(a0 * P0[j] + a1 * uint16_t(P0[j - 4] + P0[j + 4]) + a2 * uint16_t(P0[j - 8] + P0[j + 8]));
        s = uint16_t(s + b0 * P1[j] + b1 * uint16_t(P1[j - 4] + P1[j + 4]) + b2 * uint16_t(P1[j - 8] + P1[j + 8]));
        s = uint16_t(s + c0 * P2[j] + c1 * uint16_t(P2[j - 4] + P2[j + 4]) + c2 * uint16_t(P2[j - 8] + P2[j + 8]));
        acc[k] = s;
    }
}

__attribute__((target_clones("avx2", "default")))
void addRows(const uint16_t *a, const uint16_t *b, uint16_t *out, int n)
{
    for (int k = 0; k < n; ++k)
        out[k] = uint16_t(a[k] + b[k]);
}

} // namespace

void ReduceNoise(Bitmap &dst, const Bitmap &src, const EdgeMap &map, int force, int threshold, int x1_, int y1_,
                 int x2_, int y2_, const Progress &progress)
{
    if (&dst == &src) {
        const Bitmap copy = src;
        ReduceNoise(dst, copy, map, force, threshold, x1_, y1_, x2_, y2_, progress);
        return;
    }
    const int W = src.width(), H = src.height();
    auto finish = [&] {
        if (progress)
            progress(0);
    };
    if (W <= 0 || H <= 0 || map.width != W || map.height != H || dst.width() < W || dst.height() < H
        || map.values.size() != std::size_t(W) * std::size_t(H)) {
        finish();
        return;
    }
    long long x1 = x1_, y1 = y1_, x2 = x2_, y2 = y2_;
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    x1 = std::max(x1, 0LL);
    y1 = std::max(y1, 0LL);
    x2 = std::min(x2, (long long)W - 1);
    y2 = std::min(y2, (long long)H - 1);
    if (x1 > x2 || y1 > y2) {
        finish();
        return;
    }
    const NoiseWeights wt = NoiseWeightsFor(force);
    const uint16_t w[9] = {uint16_t(wt[2][2]), uint16_t(wt[2][1]), uint16_t(wt[2][0]),
                           uint16_t(wt[1][2]), uint16_t(wt[1][1]), uint16_t(wt[1][0]),
                           uint16_t(wt[0][2]), uint16_t(wt[0][1]), uint16_t(wt[0][0])};
    const int X1 = int(x1), X2 = int(x2), Y1 = int(y1), Y2 = int(y2);
    const int outPixels = X2 - X1 + 1, padPixels = outPixels + 4;
    const int n = 4 * outPixels, pn = 4 * padPixels;
    const uint64_t *mg = magic().m;

    // Rows [r0, r1) of the rectangle (relative to Y1).
    auto band = [&](int r0, int r1) {
        std::vector<uint16_t> mem(std::size_t(pn) * 8 + std::size_t(n));
        uint16_t *ring[5];
        for (int i = 0; i < 5; ++i)
            ring[i] = mem.data() + std::size_t(pn) * std::size_t(i);
        uint16_t *P1 = ring[4] + pn, *P2 = P1 + pn, *P0 = P2 + pn, *acc = P0 + pn;
        // Branch-free: whether a pixel qualifies is close to random, so a
        // branch would be mispredicted half the time.
        auto fill = [&](uint16_t *buf, int yy) {
            const int ry = std::clamp(yy, 0, H - 1);
            const uint8_t *s = src.row(ry);
            const int16_t *e = map.row(ry);
            for (int i = 0; i < padPixels; ++i) {
                const int xx = std::clamp(X1 - 2 + i, 0, W - 1);
                const uint16_t m = uint16_t(-int(e[xx] < threshold));
                const uint8_t *p = s + 3 * xx;
                uint16_t *b = buf + 4 * i;
                b[0] = uint16_t(p[0] & m);
                b[1] = uint16_t(p[1] & m);
                b[2] = uint16_t(p[2] & m);
                b[3] = uint16_t(1 & m);
            }
        };
        for (int i = 0; i < 5; ++i)
            fill(ring[i], Y1 + r0 - 2 + i);
        for (int r = r0; r < r1; ++r) {
            const int y = Y1 + r;
            if (r > r0) {
                uint16_t *old = ring[0];
                for (int i = 0; i < 4; ++i)
                    ring[i] = ring[i + 1];
                ring[4] = old;
                fill(ring[4], y + 2);
            }
            addRows(ring[1], ring[3], P1, pn);
            addRows(ring[0], ring[4], P2, pn);
            std::memcpy(P0, ring[2], std::size_t(pn) * sizeof(uint16_t));
            noiseSums(P0, P1, P2, acc, n, w);
            const int16_t *e = map.row(y);
            uint8_t *d = dst.row(y);
            for (int i = 0; i < outPixels; ++i) {
                const int x = X1 + i;
                const uint16_t *a = acc + 4 * i;
                const uint64_t m = mg[a[3]]; // a[3] >= 10 where the centre qualifies
                const bool q = e[x] < threshold;
                uint8_t *p = d + 3 * x;
                const uint8_t b0 = uint8_t((a[0] * m) >> 32), b1 = uint8_t((a[1] * m) >> 32),
                              b2 = uint8_t((a[2] * m) >> 32);
                p[0] = q ? b0 : p[0];
                p[1] = q ? b1 : p[1];
                p[2] = q ? b2 : p[2];
            }
        }
    };
    const int rows = Y2 - Y1 + 1;
    if (!progress) {
        parallelFor(rows, band, 8);
    } else {
        const int chunk = 64 * threadCount();
        for (int r0 = 0; r0 < rows; r0 += chunk) {
            const int r1 = std::min(rows, r0 + chunk);
            parallelFor(r1 - r0, [&](int b0, int b1) { band(r0 + b0, r0 + b1); }, 8);
            for (int r = r0; r < r1; ++r)
                progress(Y2 == Y1 ? 0 : int((long long)r * 100 / (Y2 - Y1)));
        }
    }
    finish();
}

} // namespace mv::imaging
