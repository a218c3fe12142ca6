#include "print/layout.h"

#include <gtest/gtest.h>

using namespace mv::print;

TEST(PrintLayout, MillimetresAndPageSizes)
{
    const std::pair<int, int> px[] = {{5, 78}, {200, 3149}, {287, 4519}, {90, 1417}, {140, 2204}, {0, 0}};
    for (auto [mm, pixels] : px)
        EXPECT_EQ(MillimetresToPixels(mm), pixels) << mm << " mm";
    EXPECT_EQ(PageSize(Paper::A4, 5), QSize(3149, 4519));
    EXPECT_EQ(PageSize(Paper::Photo100x150, 5), QSize(1417, 2204));
    EXPECT_NEAR(PaperHeightPixels(Paper::A4), 4677.165354330709, 1e-9);
    EXPECT_NEAR(PaperHeightPixels(Paper::Photo100x150), 2362.2047244094488, 1e-9);
}

TEST(PrintLayout, SlotsOfTheDefaultLayouts)
{
    struct Case {
        Paper paper;
        int perPage;
        int slot;
        QRect rect;
    };
    const Case cases[] = {
        {Paper::A4, 1, 0, {0, 0, 3149, 4723}},
        {Paper::A4, 2, 0, {0, 0, 3271, 2181}},
        {Paper::A4, 2, 1, {0, 2336, 3271, 2181}},
        {Paper::A4, 4, 0, {0, 0, 1496, 2244}},
        {Paper::A4, 4, 1, {0, 2336, 1496, 2244}},
        {Paper::A4, 4, 2, {1651, 0, 1496, 2244}},
        {Paper::A4, 4, 3, {1651, 2336, 1496, 2244}},
        {Paper::Photo100x150, 1, 0, {0, 0, 1417, 2125}},
    };
    for (const Case &c : cases) {
        PageLayout l;
        l.paper = c.paper;
        l.perPage = c.perPage;
        EXPECT_EQ(SlotRect(l, c.slot), c.rect) << c.perPage << " per page, slot " << c.slot;
    }
}

TEST(PrintLayout, PageCounts)
{
    EXPECT_EQ(PageCount(7, 1), 7);
    EXPECT_EQ(PageCount(7, 2), 4);
    EXPECT_EQ(PageCount(7, 4), 2);
    EXPECT_EQ(PageCount(8, 4), 2);
    EXPECT_EQ(PageCount(1, 4), 1);
    EXPECT_EQ(PageCount(0, 1), 0);
}

TEST(PrintLayout, TurnAndFrame)
{
    // Upright slots turn lying photos, lying slots turn upright ones; squares stay.
    EXPECT_TRUE(TurnsForSlot(2048, 1536, 1));
    EXPECT_TRUE(TurnsForSlot(2048, 1536, 4));
    EXPECT_FALSE(TurnsForSlot(1536, 2048, 1));
    EXPECT_FALSE(TurnsForSlot(2048, 1536, 2));
    EXPECT_TRUE(TurnsForSlot(1536, 2048, 2));
    EXPECT_FALSE(TurnsForSlot(100, 100, 1));
    EXPECT_FALSE(TurnsForSlot(100, 100, 2));

    struct Case {
        int w, h, perPage;
        Conversion conversion;
        Framing expected;
    };
    const Case cases[] = {
        // The turned 4:3 camera photo: white bands above and below, or 85 columns cut at each side.
        {1536, 2048, 1, Conversion::Shrink, {1536, 2304, 0, 128}},
        {1536, 2048, 4, Conversion::Expand, {1366, 2048, -85, 0}},
        // Lying slots: bands left and right, or rows cut above and below.
        {2048, 1536, 2, Conversion::Shrink, {2304, 1536, 128, 0}},
        {2048, 1536, 2, Conversion::Expand, {2048, 1366, 0, -85}},
        // A photo longer than 2:3: the two choices swap roles.
        {100, 200, 1, Conversion::Shrink, {100, 150, 0, -25}},
        {100, 200, 1, Conversion::Expand, {132, 200, 16, 0}},
        // Exactly 2:3 needs nothing.
        {40, 60, 1, Conversion::Shrink, {40, 60, 0, 0}},
        {40, 60, 1, Conversion::Expand, {40, 60, 0, 0}},
    };
    for (const Case &c : cases) {
        const Framing f = FrameFor(c.w, c.h, c.perPage, c.conversion);
        EXPECT_EQ(f.width, c.expected.width) << c.w << "x" << c.h << " " << c.perPage;
        EXPECT_EQ(f.height, c.expected.height) << c.w << "x" << c.h << " " << c.perPage;
        EXPECT_EQ(f.left, c.expected.left) << c.w << "x" << c.h << " " << c.perPage;
        EXPECT_EQ(f.top, c.expected.top) << c.w << "x" << c.h << " " << c.perPage;
    }
}

TEST(PrintLayout, Resolutions)
{
    EXPECT_EQ(SlotResolution(1536, 3149), 195);
    EXPECT_EQ(SlotResolution(1366, 3149), 173);
    EXPECT_EQ(SlotResolution(2304, 3271), 281);
    // Large photos in small slots do not wrap around as a 16-bit number would.
    EXPECT_EQ(SlotResolution(6000, 20), 120000);
    EXPECT_EQ(SlotResolution(100, 0), 0);
}

TEST(PrintLayout, BordersThatLeaveNoRoomAreRefused)
{
    struct Case {
        Paper paper;
        int outer, inner, perPage;
        bool fits;
    };
    const Case cases[] = {
        {Paper::A4, 5, 5, 4, true},
        {Paper::A4, 0, 0, 4, true},
        {Paper::A4, 105, 5, 1, false},           // no page width left
        {Paper::Photo100x150, 50, 5, 1, false},  // 100 x 150 less 2 x 50: no width
        {Paper::Photo100x150, 49, 5, 1, true},
        {Paper::A4, 5, 100, 4, false},           // the inner border eats the slots
        {Paper::A4, 5, 100, 1, true},            // one photo a page has no inner border
        {Paper::A4, -1, 5, 1, false},
        {Paper::A4, 5, -1, 2, false},
    };
    for (const Case &c : cases) {
        PageLayout l{c.paper, c.outer, c.inner, c.perPage, Conversion::Shrink};
        if (c.fits)
            EXPECT_NO_THROW(CheckLayout(l)) << c.outer << "/" << c.inner << "/" << c.perPage;
        else
            EXPECT_THROW(CheckLayout(l), LayoutError) << c.outer << "/" << c.inner << "/" << c.perPage;
    }
}
