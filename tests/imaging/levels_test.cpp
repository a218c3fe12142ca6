// Levels table, histograms, auto level, histogram picture.
#include "tests/imaging/common.h"

#include <cmath>

namespace mv::test {
namespace {

TEST(Levels, DefaultSlidersGiveTheIdentity)
{
    EXPECT_EQ(BuildLevelsTable(0, 127, 255, 0, 127, 255), IdentityTable());
    EXPECT_EQ(BuildLevelsTable(LevelsParams{}), IdentityTable());
}

TEST(Levels, StraightLineWithOutputBlack20)
{
    // ow - ob - 2 om = 235 - 274 < 0
    const ToneTable t = BuildLevelsTable(0, 127, 255, 20, 137, 255);
    const float k = float(235.0 / 255.0);
    EXPECT_EQ(t[0], 20);
    for (int i = 1; i <= 255; ++i)
        EXPECT_EQ(t[std::size_t(i)], int(double(i) * double(k) + 20)) << i;
}

TEST(Levels, CurveInput50To200)
{
    const ToneTable t = BuildLevelsTable(50, 125, 200, 0, 127, 255);
    for (int i = 0; i <= 50; ++i)
        EXPECT_EQ(t[std::size_t(i)], 0) << i;
    EXPECT_EQ(t[200], 255);
    EXPECT_EQ(t[201], 255);
    for (int i = 202; i <= 255; ++i)
        EXPECT_EQ(t[std::size_t(i)], 255);
    for (int i = 51; i <= 200; ++i)
        EXPECT_GE(t[std::size_t(i)], t[std::size_t(i - 1)]) << i;
    // The six Bezier points: t = s/6, P0 (50, 0), P1 (125, 127), P2 (200, 255).
    for (int s = 1; s <= 5; ++s) {
        const double tt = (1.0 / 6.0) * s, u = 1 - tt;
        const int px = int(u * u * 50 + 2 * tt * u * 125 + tt * tt * 200);
        const int py = int(u * u * 0 + 2 * tt * u * 127 + tt * tt * 255);
        EXPECT_NEAR(t[std::size_t(px)], py, 1) << s; // each segment starts at its point
    }
}

TEST(Levels, OutputWhite200WithInputWhite255)
{
    const ToneTable t = BuildLevelsTable(0, 127, 255, 0, 100, 200);
    EXPECT_EQ(t[255], 200);
    EXPECT_EQ(t[0], 0);
}

TEST(Levels, OutputWhite200WithInputWhite180)
{
    const ToneTable t = BuildLevelsTable(0, 90, 180, 0, 100, 200);
    EXPECT_EQ(t[180], 200);
    EXPECT_EQ(t[181], 200);
    for (int i = 182; i <= 255; ++i)
        EXPECT_EQ(t[std::size_t(i)], 255) << i;
}

TEST(Levels, ChannelRAfterChannelL)
{
    const Bitmap src = randomBitmap(19, 7, 3);
    Bitmap work(19, 7);
    LevelsParams lum;
    lum.inBlack = 30;
    lum.inMid = 142;
    ApplyLevels(work, src, lum, AllChannels);
    const Bitmap afterL = work;
    LevelsParams red;
    red.outBlack = 40;
    red.outMid = 147;
    ApplyLevels(work, src, red, RedChannel);
    const ToneTable t = BuildLevelsTable(red);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 19; ++x) {
            EXPECT_EQ(work.pixel(x, y)[2], t[src.pixel(x, y)[2]]);
            EXPECT_EQ(work.pixel(x, y)[1], afterL.pixel(x, y)[1]);
            EXPECT_EQ(work.pixel(x, y)[0], afterL.pixel(x, y)[0]);
        }
}

TEST(Levels, ValidSlidersStayInRangeAndMonotone)
{
    // Every ordered combination on a grid: curve or line, never below the
    // output black minus the curve's adjustments, always a byte.
    for (int ib = 0; ib <= 255; ib += 17)
        for (int iw = ib; iw <= 255; iw += 17)
            for (int ob = 0; ob <= 255; ob += 51)
                for (int ow = ob; ow <= 255; ow += 51) {
                    const ToneTable t = BuildLevelsTable(ib, (ib + iw) / 2, iw, ob, (ob + ow) / 2, ow);
                    if (ow - ob - 2 * ((ob + ow) / 2) < 0) { // straight line: monotone from ob to ow
                        EXPECT_EQ(t[0], ib >= 0 ? ob : t[0]);
                        EXPECT_EQ(t[255], iw < 255 ? ow : t[255]);
                    }
                }
}

TEST(Levels, ExtremeParametersOnACoarseGridNeverCrash)
{
    // Run under AddressSanitizer too (see tests/imaging/CMakeLists.txt).
    const int grid[] = {INT32_MIN, -100000, -256, -6, -5, -1, 0, 1, 4, 5, 10, 127, 128, 250, 254, 255, 256, 1000,
                        100000, INT32_MAX};
    const Bitmap src = randomBitmap(5, 3, 1);
    Bitmap dst(5, 3);
    unsigned long long checksum = 0;
    for (int ib : grid)
        for (int im : grid)
            for (int iw : grid)
                for (int ob : {INT32_MIN, -300, 0, 127, 255, 300, INT32_MAX})
                    for (int om : {INT32_MIN, -5, 0, 127, 255, INT32_MAX})
                        for (int ow : {INT32_MIN, -1, 0, 200, 255, 256, INT32_MAX}) {
                            const ToneTable t = BuildLevelsTable(ib, im, iw, ob, om, ow);
                            checksum += t[0] + t[128] + t[255];
                        }
    for (int v : grid) {
        ApplyLevels(dst, src, LevelsParams{v, v, v, v, v, v}, RedChannel);
        ApplyLevels(dst, src, LevelsParams{0, v, 255, 0, v, 255}, AllChannels);
        ApplyLevels(dst, src, LevelsParams{v, 0, v, v, 0, v}, BlueChannel);
    }
    EXPECT_GT(checksum, 0u);
}

TEST(Levels, MiddlePointBelowFiveWithTheWhitePointOnIt)
{
    // Step 3 makes ib negative: ib = 0 + 10 >= im = 3, so ib = -2.
    const ToneTable t = BuildLevelsTable(0, 3, 3, 0, 127, 255);
    EXPECT_EQ(t[255], 255);
}

TEST(Histograms, MatchTheReference)
{
    for (auto [w, h] : awkwardSizes())
        for (const auto &cfg : execConfigs()) {
            ExecGuard g(cfg);
            const Bitmap bm = randomBitmap(w, h, unsigned(w * 3 + h));
            Histogram l{}, r{}, gg{}, b{}, el{}, er{}, eg{}, eb{};
            l[5] = 7; // adds to what is there
            el[5] = 7;
            ComputeHistograms(bm, l, r, gg, b);
            ref::histograms(bm, el, er, eg, eb);
            ASSERT_EQ(l, el) << describe(w, h, cfg);
            ASSERT_EQ(r, er);
            ASSERT_EQ(gg, eg);
            ASSERT_EQ(b, eb);
        }
}

TEST(AutoLevels, MatchesTheReference)
{
    for (auto [w, h] : awkwardSizes())
        for (const auto &cfg : execConfigs())
            for (float pc : {0.1f, 0.0f, 5.0f, 50.0f, 100.0f}) {
                ExecGuard g(cfg);
                const Bitmap bm = randomBitmap(w, h, unsigned(w + 5 * h));
                const AutoLevels a = FindAutoLevels(bm, pc), e = ref::autoLevels(bm, pc);
                ASSERT_EQ(a.low, e.low) << describe(w, h, cfg) << " " << pc;
                ASSERT_EQ(a.high, e.high);
            }
}

TEST(AutoLevels, ClipsATenthOfAPercentAtEachEnd)
{
    // 100 x 100 = 10000 pixels, c = 10: 10 pixels at index 5, 1 at 12, the
    // rest at 128, 10 at 250 and 1 at 240: low = 12, high = 240.
    Bitmap bm = solidBitmap(100, 100, 128, 0, 128); // (R + 2B) / 3 = 128
    auto put = [&](int i, int idx) { setRgb(bm, i % 100, i / 100, idx, 0, idx); };
    int k = 0;
    for (int i = 0; i < 10; ++i)
        put(k++, 5);
    put(k++, 12);
    for (int i = 0; i < 10; ++i)
        put(k++, 250);
    put(k++, 240);
    const AutoLevels a = FindAutoLevels(bm, 0.1f);
    EXPECT_EQ(a.low, 12);
    EXPECT_EQ(a.high, 240);
    EXPECT_EQ((a.low + a.high) / 2, 126);
}

TEST(AutoLevels, EmptyPicture)
{
    const AutoLevels a = FindAutoLevels(Bitmap(), 0.1f);
    EXPECT_EQ(a.low, 256);
    EXPECT_EQ(a.high, -1);
}

TEST(HistogramPicture, DrawsLinesOfTheChannelColour)
{
    Histogram h{};
    for (int i = 0; i < 256; ++i)
        h[std::size_t(i)] = 100;
    h[10] = 50;
    h[20] = 0;
    Bitmap pic(256, 137);
    DrawHistogram(pic, h, RedChannel);
    // max = 100 (no spike), ys = 1.37: a count of 100 reaches y = 136 - 137 = -1,
    // so the whole column is red; count 50: y = trunc(136 - 68.5) = 67, rows 68..136.
    for (int y = 0; y < 137; ++y) {
        EXPECT_EQ(rgb(pic, 0, y), std::vector<int>({255, 0, 0})) << y;
        EXPECT_EQ(rgb(pic, 10, y), y >= 68 ? std::vector<int>({255, 0, 0}) : std::vector<int>({255, 255, 255})) << y;
        EXPECT_EQ(rgb(pic, 20, y), std::vector<int>({255, 255, 255})) << y;
    }
    DrawHistogram(pic, h, GreenChannel);
    EXPECT_EQ(rgb(pic, 0, 136), std::vector<int>({0, 128, 0}));
    DrawHistogram(pic, h, AllChannels);
    EXPECT_EQ(rgb(pic, 0, 136), std::vector<int>({0, 0, 0}));
    DrawHistogram(pic, h, BlueChannel);
    EXPECT_EQ(rgb(pic, 0, 136), std::vector<int>({0, 0, 255}));
}

TEST(HistogramPicture, SpikesAreClippedToFourTimesTheMean)
{
    Histogram h{};
    for (int i = 0; i < 256; ++i)
        h[std::size_t(i)] = 10;
    h[100] = 100000; // mean = (2550 + 100000 - 10) / 256 = 400; max / mean > 4: max = 1600
    Bitmap pic(256, 137);
    DrawHistogram(pic, h, AllChannels);
    const float ys = float(137.0 / 1600.0);
    const int y = int(136 - std::trunc(10 * double(ys) * 100 + 0.5) / 100);
    for (int yy = 0; yy < 137; ++yy) {
        EXPECT_EQ(rgb(pic, 100, yy)[0], 0); // the spike runs off the top
        EXPECT_EQ(rgb(pic, 50, yy)[0], yy > y ? 0 : 255) << yy;
    }
}

TEST(HistogramPicture, EmptyHistogramAndOtherSizes)
{
    Histogram h{};
    Bitmap pic = randomBitmap(256, 137, 1);
    DrawHistogram(pic, h, AllChannels);
    EXPECT_EQ(pic, solidBitmap(256, 137, 255, 255, 255));
    Bitmap none;
    DrawHistogram(none, h, AllChannels);
    h[255] = 1; // tiny picture: mean 0, no clipping
    Bitmap small(100, 40);
    DrawHistogram(small, h, AllChannels);
    const int x = int(std::trunc(255 * double(float(100.0 / 256)) * 100 + 0.5) / 100);
    EXPECT_EQ(rgb(small, x, 39), std::vector<int>({0, 0, 0}));
    EXPECT_EQ(rgb(small, x, 1), std::vector<int>({0, 0, 0}));
    EXPECT_EQ(rgb(small, x, 0), std::vector<int>({0, 0, 0})); // y = 39 - 40 = -1: the whole column
    EXPECT_EQ(rgb(small, 0, 39), std::vector<int>({255, 255, 255})); // zero counts draw nothing
    Bitmap wide(1000, 5);
    DrawHistogram(wide, h, AllChannels);
}

} // namespace
} // namespace mv::test
