// Bitmap primitives.
#include "tests/imaging/common.h"

#include <cmath>
#include <random>

namespace mv::test {
namespace {

TEST(CopyPixels, CopiesEveryPixelOfTheCommonSize)
{
    for (auto [w, h] : awkwardSizes()) {
        const Bitmap src = randomBitmap(w, h, 1);
        Bitmap dst(w, h);
        CopyPixels(dst, src);
        EXPECT_EQ(dst, src) << w << "x" << h;
    }
    const Bitmap small = randomBitmap(3, 2, 2);
    Bitmap big = randomBitmap(5, 4, 3);
    const Bitmap before = big;
    CopyPixels(big, small);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(rgb(big, x, y), (x < 3 && y < 2) ? rgb(small, x, y) : rgb(before, x, y));
}

TEST(CopyRegion, CopiesTheRegionToTheTopLeft)
{
    const Bitmap src = randomBitmap(9, 7, 4);
    Bitmap dst(9, 7);
    CopyRegion(src, dst, 2, 3, 5, 4);
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 9; ++c)
            EXPECT_EQ(rgb(dst, c, r), (c < 5 && r < 4) ? rgb(src, 2 + c, 3 + r) : std::vector<int>({0, 0, 0}));
}

TEST(CopyRegion, ZeroWidthOrHeightChangesNothing)
{
    const Bitmap src = randomBitmap(6, 5, 5);
    Bitmap dst = randomBitmap(6, 5, 6);
    const Bitmap before = dst;
    CopyRegion(src, dst, 1, 1, 0, 3);
    CopyRegion(src, dst, 1, 1, 3, 0);
    CopyRegion(src, dst, 1, 1, -2, 3);
    EXPECT_EQ(dst, before);
}

TEST(CopyRegion, RegionOutsideEitherBitmapIsClipped)
{
    const Bitmap src = randomBitmap(6, 5, 7);
    Bitmap dst = randomBitmap(4, 3, 8);
    const Bitmap before = dst;
    CopyRegion(src, dst, 4, 3, 10, 10); // 2 x 2 of the source remain
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(rgb(dst, c, r), (c < 2 && r < 2) ? rgb(src, 4 + c, 3 + r) : rgb(before, c, r));
    Bitmap d2 = before;
    CopyRegion(src, d2, 100, 100, 5, 5);
    CopyRegion(src, d2, -100, -100, 5, 5);
    EXPECT_EQ(d2, before);
    Bitmap d3 = before;
    CopyRegion(src, d3, -1, -1, 3, 3); // dst(c, r) = src(c - 1, r - 1) where that exists
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(rgb(d3, c, r), (c >= 1 && r >= 1 && c < 3 && r < 3) ? rgb(src, c - 1, r - 1) : rgb(before, c, r));
}

TEST(RotateQuarter, MatchesThePerPixelMapping)
{
    // Besides the awkward sizes: whole 8 x 8 blocks up to the last byte of
    // the picture (widths of multiples of 8 leave no row padding), and more
    // than one 128-pixel tile each way.
    auto sizes = awkwardSizes();
    sizes.insert(sizes.end(), {{48, 16}, {8, 8}, {136, 264}, {300, 129}});
    for (auto [w, h] : sizes)
        for (const auto &cfg : execConfigs())
            for (bool cw : {true, false}) {
                ExecGuard g(cfg);
                const Bitmap src = randomBitmap(w, h, unsigned(w * 31 + h));
                Bitmap expect;
                ref::rotateQuarter(src, expect, cw);
                Bitmap b = src;
                RotateQuarter(b, cw);
                ASSERT_EQ(b.width(), h);
                ASSERT_EQ(b.height(), w);
                EXPECT_EQ(b, expect) << describe(w, h, cfg) << (cw ? " cw" : " ccw");
            }
}

TEST(RotateQuarter, OneByNAndRoundTrips)
{
    Bitmap b = randomBitmap(1, 9, 3);
    const Bitmap orig = b;
    RotateQuarter(b, true);
    EXPECT_EQ(b.width(), 9);
    EXPECT_EQ(b.height(), 1);
    for (int i = 0; i < 3; ++i)
        RotateQuarter(b, true);
    EXPECT_EQ(b, orig);
    Bitmap c = randomBitmap(13, 6, 4);
    const Bitmap corig = c;
    RotateQuarter(c, true);
    RotateQuarter(c, false);
    EXPECT_EQ(c, corig);
}

TEST(RotateQuarter, CornersGoWhereTheSpecSays)
{
    Bitmap b = randomBitmap(5, 3, 9);
    const auto topLeft = rgb(b, 0, 0);
    Bitmap cw = b;
    RotateQuarter(cw, true);
    EXPECT_EQ(rgb(cw, cw.width() - 1, 0), topLeft); // new top-right
    Bitmap ccw = b;
    RotateQuarter(ccw, false);
    EXPECT_EQ(rgb(ccw, 0, ccw.height() - 1), topLeft); // new bottom-left
}

TEST(RotateQuarter, EmptyBitmapStaysEmpty)
{
    Bitmap b;
    RotateQuarter(b, true);
    EXPECT_TRUE(b.isEmpty());
    Bitmap z(0, 5);
    RotateQuarter(z, false);
    EXPECT_EQ(z.width(), 5);
    EXPECT_EQ(z.height(), 0);
}

TEST(RotateByAngle, IdenticalToTheFormulaOnManyAnglesAndSizes)
{
    std::mt19937 gen(42);
    std::uniform_real_distribution<double> any(-7.0, 7.0);
    std::vector<double> angles = {0.0, 1e-9, -1e-9, M_PI / 2, -M_PI / 2, M_PI, -M_PI, M_PI / 4, M_PI / 6,
                                  double(float(0.1)), 2 * M_PI, 1.0, -3.0, 100.0, -1234.5};
    for (int i = 0; i < 40; ++i)
        angles.push_back(any(gen));
    for (int i = 0; i < 10; ++i) // what the viewer passes: single precision
        angles.push_back(double(float(any(gen) / 20)));
    std::vector<std::pair<int, int>> sizes = awkwardSizes();
    sizes.insert(sizes.end(), {{40, 40}, {41, 39}, {100, 60}, {61, 97}});
    for (auto [w, h] : sizes) {
        const Bitmap src = randomBitmap(w, h, unsigned(w + 1000 * h));
        for (double a : angles) {
            Bitmap expect(w, h), got = randomBitmap(w, h, 77);
            ref::rotateByAngle(expect, src, a);
            RotateByAngle(got, src, a);
            ASSERT_EQ(got, expect) << w << "x" << h << " angle " << a;
        }
    }
}

TEST(RotateByAngle, IdenticalToTheFormulaOnLargePicturesAndThreads)
{
    // Large radii put many values close to integers: exercises the fallback.
    const Bitmap src = randomBitmap(601, 403, 5);
    for (double a : {0.3, -0.05, double(float(0.0123)), 2.5, M_PI / 3}) {
        Bitmap expect(601, 403);
        ref::rotateByAngle(expect, src, a);
        for (const auto &cfg : execConfigs()) {
            ExecGuard g(cfg);
            Bitmap got(601, 403);
            RotateByAngle(got, src, a);
            ASSERT_EQ(got, expect) << "angle " << a << " " << cfg.name();
        }
    }
}

TEST(RotateByAngle, EveryPixelAgreesWithRotateSourcePixel)
{
    for (double a : {0.7, -2.2, 1e-3}) {
        for (int y = 0; y < 37; ++y)
            for (int x = 0; x < 53; ++x) {
                int sx = -1, sy = -1;
                const bool in = RotateSourcePixel(x, y, 53, 37, a, sx, sy);
                const int cx = 26, cy = 18, dx = x - cx, dy = y - cy;
                const double r = std::sqrt(double(dx * dx + dy * dy)), th = std::atan2(double(dy), double(dx));
                const long long ex = (long long)(r * std::cos(th + a)) + cx, ey = (long long)(r * std::sin(th + a)) + cy;
                ASSERT_EQ(in, ex >= 0 && ex < 53 && ey >= 0 && ey < 37);
                if (in) {
                    ASSERT_EQ(sx, ex);
                    ASSERT_EQ(sy, ey);
                }
            }
    }
}

TEST(RotateByAngle, CentreStaysAndOutsideIsBlack)
{
    const Bitmap src = solidBitmap(31, 20, 200, 100, 50);
    for (double a : {0.0, 0.3, 1.0, M_PI / 2, 2.0, M_PI, -0.8}) {
        Bitmap dst(31, 20);
        RotateByAngle(dst, src, a);
        EXPECT_EQ(rgb(dst, 15, 10), rgb(src, 15, 10));
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 31; ++x) {
                int sx, sy;
                const bool in = RotateSourcePixel(x, y, 31, 20, a, sx, sy);
                EXPECT_EQ(rgb(dst, x, y), in ? std::vector<int>({200, 100, 50}) : std::vector<int>({0, 0, 0}));
            }
    }
}

TEST(RotateByAngle, PositiveAngleTurnsCounterClockwiseOnScreen)
{
    // A point right of the centre comes, for angle +90 degrees, from below it
    // (y grows downward): the content turns counter-clockwise on screen.
    Bitmap src(21, 21);
    setRgb(src, 10, 15, 255, 255, 255);
    Bitmap dst(21, 21);
    RotateByAngle(dst, src, M_PI / 2);
    EXPECT_EQ(rgb(dst, 15, 10), std::vector<int>({255, 255, 255}));
    EXPECT_EQ(rgb(dst, 5, 10), std::vector<int>({0, 0, 0}));
    EXPECT_EQ(rgb(dst, 10, 15), std::vector<int>({0, 0, 0}));
}

TEST(RotateByAngle, NonFiniteAngleGivesBlackAndInPlaceWorks)
{
    const Bitmap src = randomBitmap(9, 8, 1);
    Bitmap dst = randomBitmap(9, 8, 2);
    RotateByAngle(dst, src, std::nan(""));
    EXPECT_EQ(dst, Bitmap(9, 8));
    RotateByAngle(dst, src, INFINITY);
    EXPECT_EQ(dst, Bitmap(9, 8));
    Bitmap same = src, expect(9, 8);
    ref::rotateByAngle(expect, src, 0.4);
    RotateByAngle(same, same, 0.4);
    EXPECT_EQ(same, expect);
}

TEST(ApplyToneTable, MatchesTheReferenceForEveryChannel)
{
    ToneTable t{};
    std::mt19937 gen(3);
    for (auto &v : t)
        v = uint8_t(gen());
    for (auto [w, h] : awkwardSizes())
        for (const auto &cfg : execConfigs())
            for (int ch = 0; ch <= 3; ++ch) {
                ExecGuard g(cfg);
                const Bitmap src = randomBitmap(w, h, unsigned(w * 7 + h));
                Bitmap expect = randomBitmap(w, h, 99), got = expect;
                ref::applyToneTable(expect, src, t, ch);
                ApplyToneTable(got, src, t, ch);
                ASSERT_EQ(got, expect) << describe(w, h, cfg) << " channel " << ch;
            }
}

TEST(ApplyToneTable, GreenOnlyLeavesRedAndBlueOfTheDestination)
{
    const Bitmap src = solidBitmap(4, 3, 10, 20, 30);
    Bitmap dst = solidBitmap(4, 3, 1, 2, 3);
    ToneTable t = IdentityTable();
    t[20] = 222;
    ApplyToneTable(dst, src, t, GreenChannel);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(rgb(dst, x, y), std::vector<int>({1, 222, 3}));
}

TEST(ApplyToneTable, InPlaceAndUnknownSelector)
{
    ToneTable inv{};
    for (int i = 0; i < 256; ++i)
        inv[std::size_t(i)] = uint8_t(255 - i);
    Bitmap b = randomBitmap(23, 5, 8);
    const Bitmap orig = b;
    Bitmap expect = b;
    ref::applyToneTable(expect, orig, inv, 0);
    ApplyToneTable(b, b, inv, 0);
    EXPECT_EQ(b, expect);
    ApplyToneTable(b, orig, inv, 4);
    ApplyToneTable(b, orig, inv, -1);
    EXPECT_EQ(b, expect);
}

TEST(Primitives, ZeroSizeBitmapsAreHarmless)
{
    Bitmap e, z1(0, 4), z2(4, 0);
    const Bitmap some = randomBitmap(3, 3, 1);
    for (Bitmap *b : {&e, &z1, &z2}) {
        Bitmap s = some;
        CopyPixels(*b, some);
        CopyPixels(s, *b);
        EXPECT_EQ(s, some);
        CopyRegion(*b, s, 0, 0, 3, 3);
        EXPECT_EQ(s, some);
        RotateByAngle(*b, some, 0.5);
        RotateByAngle(s, *b, 0.5);
        ApplyToneTable(*b, some, IdentityTable(), 0);
        ApplyToneTable(s, *b, IdentityTable(), 0);
    }
}

} // namespace
} // namespace mv::test
