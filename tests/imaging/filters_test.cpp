// Sharpen and blur, red eye, noise.
#include "tests/imaging/common.h"

#include <cmath>

namespace mv::test {
namespace {

TEST(SharpenKernel, FollowsTheMask)
{
    auto k = SharpenKernelFor(7);
    EXPECT_EQ(k.corner, 7);
    EXPECT_EQ(k.edge, 10);
    EXPECT_EQ(k.centre, 32);
    k = SharpenKernelFor(8);
    EXPECT_EQ(k.corner, 8);
    EXPECT_EQ(k.edge, 12);
    EXPECT_EQ(k.centre, 20);
    k = SharpenKernelFor(1);
    EXPECT_EQ(k.corner, 1);
    EXPECT_EQ(k.edge, 1);
    EXPECT_EQ(k.centre, 92);
    EXPECT_EQ(SharpenKernelFor(0).corner, 1);
    EXPECT_EQ(SharpenKernelFor(-5).corner, 1);
    k = SharpenKernelFor(1000);
    EXPECT_EQ(k.corner, 10);
    EXPECT_EQ(k.centre, 0);
    for (int m = 1; m <= 10; ++m) {
        k = SharpenKernelFor(m);
        EXPECT_EQ(4 * k.corner + 4 * k.edge + k.centre, 100);
        EXPECT_GE(k.centre, 0);
    }
}

TEST(SharpenBlur, MatchesTheReference)
{
    for (auto [w, h] : awkwardSizes())
        for (const auto &cfg : execConfigs())
            for (bool sh : {false, true})
                for (auto [force, thr, mask] : std::vector<std::tuple<int, int, int>>{
                         {2, 3, 7}, {1, 0, 1}, {4, 20, 8}, {3, 10, 4}, {0, -5, 0}, {9, 99, 99}}) {
                    ExecGuard g(cfg);
                    const Bitmap src = randomBitmap(w, h, unsigned(w * 13 + h));
                    Bitmap expect(w, h), got = randomBitmap(w, h, 5);
                    ref::sharpenBlur(expect, src, sh, force, thr, mask);
                    SharpenBlur(got, src, sh, force, thr, mask);
                    ASSERT_EQ(got, expect) << describe(w, h, cfg) << " sharpen " << sh << " f" << force << " t"
                                           << thr << " m" << mask;
                }
}

TEST(SharpenBlur, OneColourIsUnchanged)
{
    const Bitmap src = solidBitmap(9, 6, 17, 200, 99);
    for (int mask = 1; mask <= 8; ++mask)
        for (int thr = 0; thr <= 20; thr += 5)
            for (int force = 1; force <= 4; ++force)
                for (bool sh : {false, true}) {
                    Bitmap dst(9, 6);
                    SharpenBlur(dst, src, sh, force, thr, mask);
                    EXPECT_EQ(dst, src);
                }
}

TEST(SharpenBlur, VerticalStep)
{
    Bitmap src(8, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            setRgb(src, x, y, x < 4 ? 100 : 200, x < 4 ? 100 : 200, x < 4 ? 100 : 200);
    Bitmap blur(8, 5), sharp(8, 5);
    SharpenBlur(blur, src, false, 2, 3, 7);
    SharpenBlur(sharp, src, true, 2, 3, 7);
    EXPECT_EQ(rgb(blur, 3, 2)[0], 124);
    EXPECT_EQ(rgb(blur, 4, 2)[0], 176);
    EXPECT_EQ(rgb(sharp, 3, 2)[0], 52);
    EXPECT_EQ(rgb(sharp, 4, 2)[0], 248);
    EXPECT_EQ(rgb(sharp, 0, 2)[0], 100);
}

TEST(SharpenBlur, Thresholds)
{
    // One pixel v in a field of 100, default mask: blur = (68 * 100 + 32 v) / 100.
    auto centre = [](int v, int force, int thr) {
        Bitmap src = solidBitmap(5, 5, 100, 100, 100);
        setRgb(src, 2, 2, v, v, v);
        Bitmap dst(5, 5);
        SharpenBlur(dst, src, true, force, thr, 7);
        return rgb(dst, 2, 2)[0];
    };
    EXPECT_EQ(centre(128, 2, 20), 128 + 2 * 20); // blur 108, d = 20: sharpened
    EXPECT_EQ(centre(127, 2, 20), 127);          // blur 108, d = 19 < 20: unchanged
    EXPECT_EQ(centre(127, 2, 19), 127 + 2 * 19);
    EXPECT_EQ(centre(127, 2, 0), 127 + 2 * 19);
    EXPECT_EQ(centre(101, 4, 0), 101 + 4 * 1); // blur (6800 + 3232) / 100 = 100, d = 1
    EXPECT_EQ(centre(101, 4, 2), 101);
    EXPECT_EQ(centre(250, 4, 3), 255); // clamped
}

TEST(SharpenBlur, OnePixelWidePictureIsFiltered)
{
    Bitmap src(1, 5);
    for (int y = 0; y < 5; ++y)
        setRgb(src, 0, y, y * 50, 0, 0);
    Bitmap dst(1, 5), expect(1, 5);
    SharpenBlur(dst, src, false, 2, 3, 7);
    ref::sharpenBlur(expect, src, false, 2, 3, 7);
    EXPECT_EQ(dst, expect);
    EXPECT_NE(dst, src);
}

TEST(SharpenBlur, InPlace)
{
    Bitmap b = randomBitmap(12, 9, 4);
    Bitmap expect(12, 9);
    ref::sharpenBlur(expect, b, true, 2, 3, 7);
    SharpenBlur(b, b, true, 2, 3, 7);
    EXPECT_EQ(b, expect);
}

// ---- Red eye ---------------------------------------------------------------

TEST(RedEye, RowsPerColumn)
{
    Bitmap src = solidBitmap(30, 30, 200, 40, 40);
    Bitmap dst = solidBitmap(30, 30, 1, 2, 3);
    ReduceRedEye(dst, src, 10, 10, 20, 16);
    auto treated = [&](int x, int y) { return rgb(dst, x, y) == std::vector<int>({81, 81, 81}); };
    for (int y = 0; y < 30; ++y) {
        EXPECT_EQ(treated(15, y), y >= 10 && y <= 16) << y;
        EXPECT_EQ(treated(12, y), y >= 11 && y <= 15) << y;
        EXPECT_EQ(treated(10, y), y == 13) << y;
        EXPECT_EQ(treated(20, y), y == 13) << y;
        EXPECT_FALSE(treated(9, y));
        EXPECT_FALSE(treated(21, y));
    }
}

TEST(RedEye, PixelValues)
{
    auto one = [](int r, int g, int b) {
        Bitmap src(3, 1), dst = solidBitmap(3, 1, 1, 2, 3);
        setRgb(src, 1, 0, r, g, b);
        ReduceRedEye(dst, src, 0, 0, 2, 0);
        return rgb(dst, 1, 0);
    };
    EXPECT_EQ(one(200, 40, 40), std::vector<int>({81, 81, 81}));
    EXPECT_EQ(one(30, 20, 10), std::vector<int>({8, 8, 8}));
    EXPECT_EQ(one(10, 10, 10), std::vector<int>({0, 0, 0}));
    EXPECT_EQ(one(20, 30, 10), std::vector<int>({1, 2, 3}));
    EXPECT_EQ(one(255, 255, 255), std::vector<int>({243, 243, 243}));
}

TEST(RedEye, OddWidthRightmostColumn)
{
    Bitmap src = solidBitmap(20, 20, 200, 40, 40);
    Bitmap dst(20, 20);
    ReduceRedEye(dst, src, 2, 2, 11, 12); // a = 4; column 11 has dx = 5
    for (int y = 0; y < 20; ++y)
        EXPECT_EQ(rgb(dst, 11, y)[0] == 81, y == 7) << y;
}

TEST(RedEye, TwiceEqualsOnceAndMatchesTheReference)
{
    for (auto [w, h] : awkwardSizes()) {
        const Bitmap src = randomBitmap(w, h, unsigned(w + h));
        for (auto r : std::vector<std::array<int, 4>>{{0, 0, w - 1, h - 1}, {-3, -2, w + 4, h / 2}, {w / 3, 0, w, h + 7},
                                                     {-10, -10, -2, -2}, {w + 1, h + 1, w + 9, h + 9}}) {
            Bitmap got = randomBitmap(w, h, 3), expect = got;
            ReduceRedEye(got, src, r[0], r[1], r[2], r[3]);
            ref::redEye(expect, src, r[0], r[1], r[2], r[3]);
            ASSERT_EQ(got, expect) << w << "x" << h << " " << r[0] << "," << r[1] << "," << r[2] << "," << r[3];
            ReduceRedEye(got, src, r[0], r[1], r[2], r[3]);
            ASSERT_EQ(got, expect);
        }
    }
}

TEST(RedEye, NarrowRectangleChangesNothing)
{
    const Bitmap src = solidBitmap(10, 10, 200, 40, 40);
    Bitmap dst = solidBitmap(10, 10, 1, 2, 3);
    const Bitmap before = dst;
    ReduceRedEye(dst, src, 4, 0, 4, 9);
    ReduceRedEye(dst, src, 4, 0, 5, 9);
    EXPECT_EQ(dst, before);
    ReduceRedEye(dst, src, 4, 3, 6, 3); // 3 wide, 1 high: a = 1, b = 0: the centre row only
    EXPECT_EQ(rgb(dst, 5, 3)[0], 81);
    EXPECT_EQ(rgb(dst, 5, 4)[0], 1);
}

TEST(RedEye, ReversedRectangleAndEmptyBitmaps)
{
    const Bitmap src = solidBitmap(10, 10, 200, 40, 40);
    Bitmap a(10, 10), b(10, 10);
    ReduceRedEye(a, src, 1, 2, 8, 7);
    ReduceRedEye(b, src, 8, 7, 1, 2);
    EXPECT_EQ(a, b);
    Bitmap e;
    ReduceRedEye(e, src, 0, 0, 5, 5);
    ReduceRedEye(a, e, 0, 0, 5, 5);
    ReduceRedEye(a, src, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
}

// ---- Noise -----------------------------------------------------------------

TEST(EdgeMap, MatchesTheReference)
{
    for (auto [w, h] : awkwardSizes())
        for (const auto &cfg : execConfigs()) {
            ExecGuard g(cfg);
            const Bitmap bm = randomBitmap(w, h, unsigned(w * 11 + h));
            EdgeMap map;
            const EdgeStats st = BuildEdgeMap(bm, map);
            ASSERT_EQ(map.width, w);
            ASSERT_EQ(map.height, h);
            EdgeStats e;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    const int v = ref::edgeStrength(bm, x, y);
                    ASSERT_EQ(map.at(x, y), v) << describe(w, h, cfg) << " at " << x << "," << y;
                    ASSERT_EQ(EdgeStrength(bm, x, y), v);
                    e.maxE = std::max(e.maxE, v);
                    e.sumE += v;
                }
            EXPECT_EQ(st.maxE, e.maxE);
            EXPECT_EQ(st.sumE, e.sumE);
        }
}

TEST(EdgeMap, SinglePrecisionSquareRootIsExactOverTheWholeRange)
{
    for (int q = 0; q <= 2 * 113 * 113; ++q)
        ASSERT_EQ(int(std::sqrt(float(q))), int(std::sqrt(double(q)))) << q;
}

TEST(EdgeMap, LargestEdgeIs477)
{
    Bitmap bm(3, 3);
    for (int y = 0; y < 3; ++y)
        setRgb(bm, 2, y, 255, 255, 255);
    setRgb(bm, 1, 0, 255, 255, 255);
    setRgb(bm, 2, 0, 255, 255, 255);
    int mx = 0;
    // Brute force over a corner pattern: the maximum is 3 * trunc(sqrt(113^2 + 113^2)) = 477 at most.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            mx = std::max(mx, EdgeStrength(bm, x, y));
    EXPECT_LE(mx, 477);
    Bitmap corner(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            if (x >= 2 && y < 2)
                setRgb(corner, x, y, 255, 255, 255);
    EXPECT_EQ(EdgeStrength(corner, 1, 1) <= 477, true);
}

TEST(NoiseThresholds, OneColourPicture)
{
    const Bitmap bm = solidBitmap(20, 10, 50, 60, 70);
    EdgeMap map;
    EdgeHistogram hist;
    NoiseThresholds t;
    t.fill(99);
    std::vector<int> progress;
    CalculateNoiseParameters(bm, map, hist, t, [&](int v) { progress.push_back(v); });
    EXPECT_EQ(progress, (std::vector<int>{0, 20, 25, 80, 90, 90, 0}));
    EXPECT_EQ(hist[0], 200u);
    for (int k = 0; k <= 10; ++k)
        EXPECT_EQ(t[std::size_t(k)], 0) << k; // T[1] = 0 at i = 0, the rest unreached
    Bitmap work = randomBitmap(20, 10, 1);
    const Bitmap before = work;
    for (int level = 0; level <= 10; ++level)
        ReduceNoise(work, bm, map, 3, t[std::size_t(level)], 0, 0, 19, 9);
    EXPECT_EQ(work, before);
}

TEST(NoiseThresholds, TenthsOfTheTotal)
{
    EdgeHistogram h{};
    for (int i = 1; i <= 100; ++i)
        h[std::size_t(i)] = 1; // total 5050, step 505
    const NoiseThresholds t = ComputeNoiseThresholds(h, 100, 5050);
    // acc(i) = i (i + 1) / 2 >= 505 k
    for (int k = 1; k <= 10; ++k) {
        int i = 0;
        while (i * (i + 1) / 2 < 505 * k)
            ++i;
        EXPECT_EQ(t[std::size_t(k)], i) << k;
    }
    EXPECT_EQ(t[0], 0);
    // One value carrying several tenths: fewer thresholds.
    EdgeHistogram g{};
    g[1] = 1;
    g[50] = 100;
    const NoiseThresholds u = ComputeNoiseThresholds(g, 50, 5001);
    EXPECT_EQ(u[1], 50);
    EXPECT_EQ(u[2], 0);
}

TEST(ReduceNoise, MatchesTheReference)
{
    for (auto [w, h] : awkwardSizes()) {
        const Bitmap src = randomBitmap(w, h, unsigned(w * 17 + h));
        EdgeMap map;
        BuildEdgeMap(src, map);
        for (const auto &cfg : execConfigs())
            for (int force = 0; force <= 6; force += 1)
                for (int thr : {0, 60, 150, 300, 1000}) {
                    if ((force + thr) % 2 && cfg.threads != 1)
                        continue; // keep the run short
                    ExecGuard g(cfg);
                    const std::array<int, 4> r = {w / 4, -2, w + 3, h / 2};
                    Bitmap got = randomBitmap(w, h, 9), expect = got;
                    ReduceNoise(got, src, map, force, thr, r[0], r[1], r[2], r[3]);
                    ref::reduceNoise(expect, src, map, force, thr, r[0], r[1], r[2], r[3]);
                    ASSERT_EQ(got, expect) << describe(w, h, cfg) << " force " << force << " thr " << thr;
                    Bitmap all = randomBitmap(w, h, 10), eall = all;
                    ReduceNoise(all, src, map, force, thr, 0, 0, w - 1, h - 1);
                    ref::reduceNoise(eall, src, map, force, thr, 0, 0, w - 1, h - 1);
                    ASSERT_EQ(all, eall) << describe(w, h, cfg) << " force " << force << " thr " << thr;
                }
    }
}

TEST(ReduceNoise, MagicDivisionIsExact)
{
    // floor(n / d) through the reciprocal table for every reachable n and d:
    // checked indirectly by a picture whose sums cover many values, and
    // directly here for the formula used.
    for (uint64_t d = 1; d < 256; ++d) {
        const uint64_t m = (uint64_t(1) << 32) / d + 1;
        for (uint64_t n = 0; n < 65536; n += (d < 20 ? 1 : 7))
            ASSERT_EQ((n * m) >> 32, n / d) << n << "/" << d;
    }
}

TEST(ReduceNoise, EdgesStayAndDoNotContribute)
{
    Bitmap src = solidBitmap(9, 9, 100, 100, 100);
    setRgb(src, 4, 4, 255, 0, 0);
    EdgeMap map;
    map.resize(9, 9);
    map.row(4)[4] = 400; // an edge pixel
    Bitmap dst(9, 9);
    ReduceNoise(dst, src, map, 3, 50, 0, 0, 8, 8);
    EXPECT_EQ(rgb(dst, 4, 4), std::vector<int>({0, 0, 0})); // not written
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            if (x != 4 || y != 4) {
                EXPECT_EQ(rgb(dst, x, y), std::vector<int>({100, 100, 100}));
            }
}

TEST(ReduceNoise, ForceFiveIsThePlainMean)
{
    Bitmap src(5, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            setRgb(src, x, y, x * 10 + y, 0, 0);
    EdgeMap map;
    map.resize(5, 5);
    Bitmap dst(5, 5);
    ReduceNoise(dst, src, map, 5, 1, 2, 2, 2, 2);
    int sum = 0;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            sum += x * 10 + y;
    EXPECT_EQ(rgb(dst, 2, 2)[0], sum / 25);
}

TEST(ReduceNoise, PreviewsAccumulate)
{
    const Bitmap src = randomBitmap(30, 20, 3);
    EdgeMap map;
    BuildEdgeMap(src, map);
    Bitmap work = src;
    ReduceNoise(work, src, map, 3, 300, 0, 0, 29, 19);
    const Bitmap first = work;
    ReduceNoise(work, src, map, 3, 100, 0, 0, 29, 19);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            if (map.at(x, y) >= 100 && map.at(x, y) < 300) {
                EXPECT_EQ(rgb(work, x, y), rgb(first, x, y));
            }
}

TEST(ReduceNoise, ProgressPerRowThenZero)
{
    const Bitmap src = randomBitmap(10, 300, 3);
    EdgeMap map;
    BuildEdgeMap(src, map);
    for (int threads : {1, 2}) {
        ExecGuard g({threads, VectorIsa::Avx512});
        std::vector<int> got;
        Bitmap dst(10, 300);
        ReduceNoise(dst, src, map, 3, 100, 0, 10, 9, 209, [&](int v) { got.push_back(v); });
        std::vector<int> expect;
        for (int y = 10; y <= 209; ++y)
            expect.push_back((y - 10) * 100 / 199);
        expect.push_back(0);
        EXPECT_EQ(got, expect);
        got.clear();
        ReduceNoise(dst, src, map, 3, 100, 0, 5, 9, 5, [&](int v) { got.push_back(v); });
        EXPECT_EQ(got, (std::vector<int>{0, 0}));
    }
}

TEST(ReduceNoise, RectanglesOutsideAndMismatchedMaps)
{
    const Bitmap src = randomBitmap(12, 8, 3);
    EdgeMap map;
    BuildEdgeMap(src, map);
    Bitmap dst = randomBitmap(12, 8, 4);
    const Bitmap before = dst;
    ReduceNoise(dst, src, map, 3, 1000, 20, 20, 30, 30);
    ReduceNoise(dst, src, map, 3, 1000, -30, -30, -1, -1);
    ReduceNoise(dst, src, map, 3, 1000, 13, 0, 100, 7);
    EXPECT_EQ(dst, before);
    EdgeMap wrong;
    wrong.resize(5, 5);
    ReduceNoise(dst, src, wrong, 3, 1000, 0, 0, 11, 7);
    EXPECT_EQ(dst, before);
    Bitmap small(3, 3);
    ReduceNoise(small, src, map, 3, 1000, 0, 0, 11, 7); // destination too small: nothing
    EXPECT_EQ(small, Bitmap(3, 3));
    Bitmap expect = before;
    ref::reduceNoise(expect, src, map, 3, 1000, -5, -5, 100, 100);
    ReduceNoise(dst, src, map, 3, 1000, 100, 100, -5, -5); // reversed and partly outside
    EXPECT_EQ(dst, expect);
    Bitmap e;
    EdgeMap em;
    EXPECT_EQ(BuildEdgeMap(e, em).sumE, 0);
    ReduceNoise(e, e, em, 3, 100, 0, 0, 5, 5);
    EdgeHistogram hist;
    NoiseThresholds t;
    CalculateNoiseParameters(e, em, hist, t);
    EXPECT_EQ(t, NoiseThresholds{});
}

TEST(ReduceNoise, InPlace)
{
    const Bitmap src = randomBitmap(14, 9, 3);
    EdgeMap map;
    BuildEdgeMap(src, map);
    Bitmap b = src, expect = src;
    ref::reduceNoise(expect, src, map, 2, 200, 0, 0, 13, 8);
    ReduceNoise(b, b, map, 2, 200, 0, 0, 13, 8);
    EXPECT_EQ(b, expect);
}

} // namespace
} // namespace mv::test
