#include "print/compose.h"

#include "catalog/catalog.h"
#include "platform/jpeg.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>
#include <map>

using namespace mv;
using namespace mv::print;

namespace {

struct Colour {
    uint8_t b, g, r;
    bool operator==(const Colour &) const = default;
};
const Colour kWhite{255, 255, 255};
const Colour kGrey{128, 128, 128};

Colour at(const Bitmap &b, int x, int y)
{
    const uint8_t *p = b.pixel(x, y);
    return {p[0], p[1], p[2]};
}
void put(Bitmap &b, int x, int y, Colour c)
{
    uint8_t *p = b.pixel(x, y);
    p[0] = c.b, p[1] = c.g, p[2] = c.r;
}
Bitmap solid(int w, int h, Colour c)
{
    Bitmap b(w, h);
    b.fill(c.b, c.g, c.r);
    return b;
}
// Each pixel tells where it came from.
Colour code(int x, int y) { return {uint8_t(10 + x), uint8_t(20 + y), 7}; }
Bitmap coded(int w, int h)
{
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            put(b, x, y, code(x, y));
    return b;
}

std::ostream &operator<<(std::ostream &os, const Colour &c)
{
    return os << "(" << int(c.b) << "," << int(c.g) << "," << int(c.r) << ")";
}

} // namespace

TEST(PrintStretch, BandsAreLeftAloneAndPixelsArePicked)
{
    // A 2 x 2 photo in a 2 x 4 framed picture (one white row above and below),
    // stretched twice over a 4 x 8 target at (1, 1) of a grey 6 x 10 surface.
    Bitmap dst = solid(6, 10, kGrey);
    StretchFramed(dst, coded(2, 2), Framing{2, 4, 0, 1}, QRect(1, 1, 4, 8));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 6; ++x) {
            Colour expected = kGrey;
            if (x >= 1 && x <= 4 && y >= 3 && y <= 6)
                expected = code((x - 1) / 2, (y - 3) / 2);
            EXPECT_EQ(at(dst, x, y), expected) << x << "," << y;
        }
}

TEST(PrintStretch, CutPhotoShowsItsMiddleAndTargetIsClipped)
{
    // A 4 x 2 photo framed 2 x 2 with one column cut at each side; the target
    // hangs over the surface's left and bottom edges.
    Bitmap dst = solid(3, 3, kGrey);
    StretchFramed(dst, coded(4, 2), Framing{2, 2, -1, 0}, QRect(-1, 1, 4, 4));
    // Target column t = x + 1 shows framed column t / 2, photo column t / 2 + 1;
    // target row t = y - 1 shows photo row t / 2.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const Colour expected = y == 0 ? kGrey : code((x + 1) / 2 + 1, (y - 1) / 2);
            EXPECT_EQ(at(dst, x, y), expected) << x << "," << y;
        }
    // Entirely outside: nothing happens (and nothing is read or written out of bounds).
    Bitmap untouched = solid(3, 3, kGrey);
    StretchFramed(untouched, coded(4, 2), Framing{4, 2, 0, 0}, QRect(5, 5, 4, 4));
    EXPECT_EQ(untouched, solid(3, 3, kGrey));
}

TEST(PrintCompose, OnePerPageTurnsCounterClockwiseAndBandsTheFrame)
{
    // A lying 40 x 30 photo, left half red, right half blue, one per page on A4.
    Bitmap photo(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            put(photo, x, y, x < 20 ? Colour{0, 0, 200} : Colour{200, 0, 0});
    PageLayout layout; // A4, borders 5, one per page, Shrink
    Bitmap page;
    PreparePage(page, layout);
    ASSERT_EQ(page.width(), 3149);
    ASSERT_EQ(page.height(), 4519);
    const int dpi = DrawSlot(page, photo, layout, 0);
    // Turned to 30 x 40, framed 30 x 44 with two white rows at the top and
    // bottom; stretched over 3149 x 4723, framed row 2 begins at page row 215.
    EXPECT_EQ(dpi, 30 * 400 / 3149);
    EXPECT_EQ(at(page, 100, 214), kWhite);
    // Counter-clockwise: the right half (blue) comes to the top.
    EXPECT_EQ(at(page, 100, 215), (Colour{200, 0, 0}));
    EXPECT_EQ(at(page, 3148, 2300), (Colour{200, 0, 0}));
    EXPECT_EQ(at(page, 0, 2500), (Colour{0, 0, 200}));
    // Framed rows 42 and 43 are white; row 4508 is still photo row 39.
    EXPECT_EQ(at(page, 100, 4508), (Colour{0, 0, 200}));
    EXPECT_EQ(at(page, 100, 4509), kWhite);
    EXPECT_EQ(at(page, 100, 4518), kWhite);
}

TEST(PrintCompose, TwoPerPageExpandCutsAboveAndBelow)
{
    // A lying 30 x 30 photo with rows coded, two per page, Expand: framed
    // 30 x 20, five rows cut above and below.
    Bitmap photo(30, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            put(photo, x, y, {uint8_t(y), 0, 0});
    PageLayout layout;
    layout.perPage = 2;
    layout.conversion = Conversion::Expand;
    Bitmap page;
    PreparePage(page, layout);
    EXPECT_EQ(DrawSlot(page, photo, layout, 1), 30 * 400 / 3271);
    const QRect slot = SlotRect(layout, 1); // (0, 2336) 3271 x 2181
    EXPECT_EQ(at(page, 10, slot.top()), (Colour{5, 0, 0}));
    EXPECT_EQ(at(page, 10, slot.bottom()), (Colour{24, 0, 0}));
    EXPECT_EQ(at(page, 10, slot.top() - 1), kWhite);
    // The slot reaches past the page's right edge: the page's last column is photo.
    EXPECT_EQ(at(page, page.width() - 1, slot.top() + 100), at(page, 0, slot.top() + 100));
    // Slot 0 is untouched.
    EXPECT_EQ(at(page, 10, 10), kWhite);
}

TEST(PrintCompose, PagesTakeTheMarkedPhotosInOrderDownTheColumns)
{
    // Seven marked photos among unmarked ones, four a page.
    std::vector<ThumbEntry> thumbs;
    for (qint32 id = 1; id <= 10; ++id)
        thumbs.push_back({id, id != 3 && id != 6 && id != 9});
    const std::vector<qint32> marked = {1, 2, 4, 5, 7, 8, 10};
    EXPECT_EQ(PagePhotos(thumbs, 0, 4), (std::vector<qint32>{1, 2, 4, 5}));
    EXPECT_EQ(PagePhotos(thumbs, 1, 4), (std::vector<qint32>{7, 8, 10}));
    EXPECT_EQ(PagePhotos(thumbs, 2, 4), std::vector<qint32>{});
    EXPECT_EQ(PagePhotos(thumbs, 3, 2), std::vector<qint32>{10});
    EXPECT_EQ(PagePhotos(thumbs, 6, 1), std::vector<qint32>{10});

    std::map<qint32, Colour> colours;
    for (qint32 id : marked)
        colours[id] = {uint8_t(id * 20), uint8_t(100), uint8_t(255 - id * 20)};
    std::vector<qint32> asked;
    const PhotoReader read = [&](qint32 id) -> std::optional<Bitmap> {
        asked.push_back(id);
        return solid(20, 30, colours[id]);
    };
    PageLayout layout;
    layout.perPage = 4;
    layout.conversion = Conversion::Expand; // 2:3 photos fill their slots
    Bitmap page;
    PreparePage(page, layout);
    SlotResolutions r = ComposePage(page, layout, thumbs, 0, read);
    EXPECT_EQ(asked, (std::vector<qint32>{1, 2, 4, 5}));
    // Top-left, bottom-left, top-right, bottom-right.
    const qint32 order[] = {1, 2, 4, 5};
    for (int slot = 0; slot < 4; ++slot) {
        const QRect s = SlotRect(layout, slot);
        EXPECT_EQ(at(page, s.center().x(), std::min(s.center().y(), page.height() - 1)), colours[order[slot]]) << slot;
        EXPECT_EQ(r[std::size_t(slot)], 20 * 400 / 1496);
    }
    // The gap between the columns stays white.
    EXPECT_EQ(at(page, 1496 + 20, 100), kWhite);

    // The last page holds three photos in slots 0, 1 and 2.
    PreparePage(page, layout);
    asked.clear();
    r = ComposePage(page, layout, thumbs, 1, read);
    EXPECT_EQ(asked, (std::vector<qint32>{7, 8, 10}));
    EXPECT_EQ(at(page, SlotRect(layout, 2).center().x(), 100), colours[10]);
    EXPECT_EQ(at(page, SlotRect(layout, 3).center().x(), 3000), kWhite);
    EXPECT_EQ(r[3], kNoResolution);
}

TEST(PrintCompose, MissingPictureLeavesItsSlotWhite)
{
    std::vector<ThumbEntry> thumbs = {{1, true}, {2, true}};
    PageLayout layout;
    layout.paper = Paper::A4;
    layout.perPage = 2;
    Bitmap page;
    PreparePage(page, layout);
    const SlotResolutions r = ComposePage(page, layout, thumbs, 0, [](qint32 id) -> std::optional<Bitmap> {
        if (id == 1)
            return std::nullopt;
        return solid(30, 20, {0, 0, 0});
    });
    EXPECT_EQ(r[0], kNoResolution);
    EXPECT_EQ(r[1], 30 * 400 / 3271);
    EXPECT_EQ(at(page, 1500, 1000), kWhite);
    EXPECT_EQ(at(page, 1500, 3400), (Colour{0, 0, 0}));
}

class ReadPhotoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog = std::make_unique<Catalog>(folder.path());
        catalog->openAtStartup();
    }
    void addRecord(qint32 id, qint64 base)
    {
        catalog->ADOConnection1.execute(
            QStringLiteral("insert into ListPhoto (id, Base, Date) values (%1, %2, '2020:01:01 00:00:00')").arg(id).arg(base));
    }
    static void addPhoto(db::Connection &c, qint32 id, const QByteArray &bytes)
    {
        db::Query p(&c, db::CursorType::Dynamic);
        p.setSql(sql::kEmptyPhoto);
        p.open();
        p.append();
        p.setValue(QStringLiteral("Id"), id);
        p.setValue(QStringLiteral("Photo"), bytes);
        p.post();
    }

    test::ProgramFolder folder;
    std::unique_ptr<Catalog> catalog;
};

TEST_F(ReadPhotoTest, FromItsOwnPhotoBaseFileLeavingTheCurrentOneAlone)
{
    const qint64 current = catalog->currentBaseId();
    ASSERT_NE(current, 0);
    const QString second = folder.file(QStringLiteral("Second.mdb"));
    ASSERT_TRUE(catalog->createPhotoBaseFile(second));
    const qint64 secondId = Catalog::currentId(catalog->QVListB);
    ASSERT_NE(secondId, current);
    const Bitmap picture = test::randomBitmap(24, 16, 3);
    {
        db::Connection c(db::connectionText(second));
        c.open();
        addPhoto(c, 5, jpeg::encode(picture, 90));
    }
    addRecord(5, secondId);
    addRecord(6, secondId); // no Photos row
    addRecord(7, 999);      // no Bases row

    const std::optional<Bitmap> read = ReadPhoto(catalog->ADOConnection1, 5);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, jpeg::decode(jpeg::encode(picture, 90)));
    EXPECT_FALSE(ReadPhoto(catalog->ADOConnection1, 6).has_value());
    EXPECT_FALSE(ReadPhoto(catalog->ADOConnection1, 7).has_value());
    EXPECT_EQ(catalog->currentBaseId(), current);
    EXPECT_EQ(catalog->ADOConnection2.path(), folder.file(QStringLiteral("PhotoBase1.mdb")));
}

TEST_F(ReadPhotoTest, MissingFileAndBadPictureAreThrown)
{
    catalog->appendBase(folder.file(QStringLiteral("Gone.mdb")), QStringLiteral("Gone"), false);
    addRecord(8, Catalog::currentId(catalog->QVListB));
    EXPECT_THROW(ReadPhoto(catalog->ADOConnection1, 8), db::Error);

    addRecord(9, catalog->currentBaseId());
    addPhoto(catalog->ADOConnection2, 9, QByteArray("not a picture"));
    EXPECT_THROW(ReadPhoto(catalog->ADOConnection1, 9), jpeg::Error);
}
