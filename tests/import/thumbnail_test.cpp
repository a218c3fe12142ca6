#include "import/thumbnail.h"
#include "platform/jpeg.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <random>
#include <vector>

#include <jpeglib.h>

using namespace mv;

namespace mv {
// Failure messages say where two bitmaps differ rather than dumping bytes.
void PrintTo(const Bitmap &b, std::ostream *os) { *os << b.width() << "x" << b.height() << " bitmap"; }
} // namespace mv

namespace {

// Each pixel tells where it came from: blue the low byte of the column,
// green the low byte of the row, red the high nibbles of both.
Bitmap coordinates(int width, int height)
{
    Bitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t *p = b.pixel(x, y);
            p[0] = uint8_t(x);
            p[1] = uint8_t(y);
            p[2] = uint8_t((x >> 8) | (y >> 8) << 4);
        }
    return b;
}

struct Encoding {
    int h = 2, v = 2; // luma sampling factors; chroma is 1 x 1
    int restartRows = 0;
    bool progressive = false;
    bool grey = false;
    int quality = 90;
};

// Writes a JPEG with the given sampling, restart markers and scan layout
// straight through libjpeg, since the import meets all of these in camera files.
QByteArray encodeWith(const Bitmap &b, const Encoding &e)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(b.width());
    cinfo.image_height = JDIMENSION(b.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    if (e.grey)
        jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    jpeg_set_quality(&cinfo, e.quality, TRUE);
    cinfo.comp_info[0].h_samp_factor = e.h;
    cinfo.comp_info[0].v_samp_factor = e.v;
    cinfo.restart_in_rows = e.restartRows;
    if (e.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(b.row(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

// Detail at every scale, so that upsampling and the IDCT both matter.
Bitmap photoLike(int width, int height, unsigned seed)
{
    Bitmap b = test::randomBitmap(width, height, seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t *p = b.pixel(x, y);
            p[0] = uint8_t((p[0] / 4) + (x * 3) % 190);
            p[1] = uint8_t((p[1] / 4) + (y * 5) % 190);
            p[2] = uint8_t((p[2] / 4) + ((x + y) * 2) % 190);
        }
    return b;
}

std::string firstDifference(const Bitmap &a, const Bitmap &b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return "sizes differ";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (std::memcmp(a.pixel(x, y), b.pixel(x, y), 3) != 0)
                return "first difference at " + std::to_string(x) + "," + std::to_string(y);
    return "no difference";
}

} // namespace

TEST(Thumbnail, SizeFollowsTheLongerSide)
{
    struct Case {
        QSize source, thumb;
    };
    const Case cases[] = {
        {{2048, 1536}, {100, 75}}, {{1536, 2048}, {75, 100}}, {{3000, 2000}, {100, 66}},
        {{1000, 1000}, {100, 100}}, {{101, 100}, {100, 99}},  {{72, 48}, {100, 66}},
        {{1, 1}, {100, 100}},       {{1, 500}, {1, 100}},     {{500, 1}, {100, 1}},
        {{199, 1}, {100, 1}},       {{50, 30}, {100, 60}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ThumbnailSize(c.source), c.thumb) << c.source.width() << "x" << c.source.height();
}

TEST(Thumbnail, PicksSourcePixelsByIntegerDivision)
{
    struct Pick {
        int dx, dy, sx, sy;
    };
    struct Case {
        int w, h;
        std::vector<Pick> picks;
    };
    const Case cases[] = {
        // 300 x 200 -> 100 x 66: columns step 3; rows dy * 200 / 66.
        {300, 200, {{0, 0, 0, 0}, {1, 1, 3, 3}, {99, 65, 297, 196}, {50, 33, 150, 100}}},
        // Enlarged: 1 x 1 -> 100 x 100 repeats the one pixel.
        {1, 1, {{0, 0, 0, 0}, {99, 99, 0, 0}}},
        // 1 x 500 -> 1 x 100 takes every fifth row.
        {1, 500, {{0, 1, 0, 5}, {0, 99, 0, 495}}},
        {500, 1, {{1, 0, 5, 0}, {99, 0, 495, 0}}},
        // 50 x 30 -> 100 x 60: every pixel twice.
        {50, 30, {{1, 1, 0, 0}, {2, 3, 1, 1}, {99, 59, 49, 29}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        const Bitmap thumb = MakeThumbnailBitmap(coordinates(c.w, c.h));
        ASSERT_EQ(QSize(thumb.width(), thumb.height()), ThumbnailSize(QSize(c.w, c.h)));
        for (const Pick &p : c.picks) {
            const uint8_t *px = thumb.pixel(p.dx, p.dy);
            EXPECT_EQ(px[0] | (px[2] & 15) << 8, p.sx) << "at " << p.dx << "," << p.dy;
            EXPECT_EQ(px[1] | (px[2] >> 4) << 8, p.sy) << "at " << p.dx << "," << p.dy;
        }
    }
}

TEST(Thumbnail, VideoPictureIsSizedByItsControlAndPickedWhole)
{
    const Bitmap picture = test::randomBitmap(100, 66, 11);
    const Bitmap thumb = MakeThumbnailBitmap(picture, QSize(72, 48));
    EXPECT_EQ(thumb, picture); // 100 x 66 from 100 x 66: every pixel once
    EXPECT_EQ(MakeThumbnail(picture, QSize(72, 48)), jpeg::encode(picture, 90));
}

TEST(Thumbnail, IsEncodedAtQuality90)
{
    const Bitmap photo = photoLike(640, 480, 5);
    const QByteArray thumb = MakeThumbnail(photo);
    EXPECT_EQ(thumb, jpeg::encode(MakeThumbnailBitmap(photo), 90));
    EXPECT_EQ(jpeg::readSize(thumb), QSize(100, 75));
    EXPECT_EQ(MakeThumbnailFromJpeg(jpeg::encode(photo)), jpeg::encode(MakeThumbnailBitmap(jpeg::decode(jpeg::encode(photo))), 90));
}

// The fast path lets libjpeg skip rows; it must give exactly the thumbnail
// picked from a full decode, whatever the sampling, restart markers or scan
// layout (fancy upsampling of 4:2:0 reads neighbouring rows).
TEST(Thumbnail, RowSkippingDecodeGivesTheSameThumbnail)
{
    const QSize sizes[] = {{640, 480}, {480, 640}, {517, 389}, {101, 77}, {333, 999}, {1000, 7},
                           {7, 1000},  {150, 100}, {64, 64},   {1, 1},    {50, 30},   {1023, 769}};
    Encoding encodings[10];
    encodings[1].h = 2, encodings[1].v = 1;                 // 4:2:2
    encodings[2].h = 1, encodings[2].v = 1;                 // 4:4:4
    encodings[3].h = 1, encodings[3].v = 2;                 // 4:4:0
    encodings[4].restartRows = 1;
    encodings[5].progressive = true;
    encodings[6].progressive = true, encodings[6].h = 2, encodings[6].v = 1;
    encodings[7].grey = true;
    encodings[8].restartRows = 3, encodings[8].h = 2, encodings[8].v = 1;
    encodings[9].quality = 100;
    unsigned seed = 1;
    for (const QSize size : sizes) {
        const Bitmap photo = photoLike(size.width(), size.height(), seed++);
        for (const Encoding &e : encodings) {
            SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height() << " sampling " << e.h << "x"
                                            << e.v << " restart " << e.restartRows << " progressive "
                                            << e.progressive << " grey " << e.grey);
            const QByteArray bytes = encodeWith(photo, e);
            const Bitmap expected = MakeThumbnailBitmap(jpeg::decode(bytes));
            const Bitmap fast = MakeThumbnailBitmapFromJpeg(bytes);
            EXPECT_EQ(fast, expected) << firstDifference(fast, expected);
        }
    }
}

TEST(Thumbnail, RowSkippingMatchesOnCameraFilesAndCutFiles)
{
    const QStringList names = QDir(test::corpusDir()).entryList({"*.jpg"}, QDir::Files);
    ASSERT_GT(names.size(), 50);
    int decoded = 0;
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = test::readFile(test::corpusDir() + name);
        for (const QByteArray &input : {bytes, bytes.left(bytes.size() * 2 / 3)}) {
            Bitmap expected;
            try {
                expected = MakeThumbnailBitmap(jpeg::decode(input));
            } catch (const jpeg::Error &) {
                EXPECT_THROW(MakeThumbnailBitmapFromJpeg(input), jpeg::Error);
                continue;
            }
            ++decoded;
            EXPECT_EQ(MakeThumbnailBitmapFromJpeg(input), expected);
        }
    }
    EXPECT_GT(decoded, 60);
}
