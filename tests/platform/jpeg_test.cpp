#include "platform/jpeg.h"
#include "tests/support/test_support.h"

#include <QBuffer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

using namespace mv;
using ::testing::HasSubstr;

namespace {

// A smooth picture: JPEG keeps it within a few levels, unlike random noise.
Bitmap gradient(int width, int height)
{
    Bitmap b(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t *p = b.pixel(x, y);
            p[0] = uint8_t(x * 255 / std::max(1, width - 1));
            p[1] = uint8_t(y * 255 / std::max(1, height - 1));
            p[2] = uint8_t(128 + (x - y) / 8);
        }
    return b;
}

int maxDifference(const Bitmap &a, const Bitmap &b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width() * 3; ++x)
            worst = std::max(worst, std::abs(int(a.row(y)[x]) - int(b.row(y)[x])));
    return worst;
}

// Writes a 4-component JPEG straight through libjpeg (Qt cannot), with or
// without the Adobe marker that says the values are stored inverted.
QByteArray encodeCmyk(int width, int height, const uint8_t cmyk[4], bool adobe)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, JCS_CMYK);
    cinfo.write_Adobe_marker = adobe ? TRUE : FALSE;
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(std::size_t(width) * 4);
    for (int x = 0; x < width; ++x)
        std::copy(cmyk, cmyk + 4, row.begin() + 4 * x);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray out(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

// Offset of the first marker FF xx after SOI, walking the segments; -1 if none.
int findMarker(const QByteArray &jpeg, uint8_t marker)
{
    int pos = 2;
    while (pos + 4 <= jpeg.size() && uint8_t(jpeg[pos]) == 0xFF) {
        const uint8_t m = uint8_t(jpeg[pos + 1]);
        if (m == marker)
            return pos;
        if (m == 0xDA)
            return -1;
        pos += 2 + (uint8_t(jpeg[pos + 2]) << 8 | uint8_t(jpeg[pos + 3]));
    }
    return -1;
}

} // namespace

TEST(Jpeg, EncodeThenDecodeKeepsSizeAndPixels)
{
    for (const QSize size : {QSize(1, 1), QSize(17, 9), QSize(640, 480), QSize(33, 100)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        const Bitmap source = gradient(size.width(), size.height());
        const QByteArray bytes = jpeg::encode(source);
        EXPECT_EQ(jpeg::readSize(bytes), size);
        const Bitmap back = jpeg::decode(bytes);
        ASSERT_EQ(back.width(), size.width());
        ASSERT_EQ(back.height(), size.height());
        EXPECT_LE(maxDifference(source, back), 20); // chroma is subsampled: steep tiny gradients lose most
    }
}

TEST(Jpeg, ChannelsComeBackInBlueGreenRedOrder)
{
    Bitmap source(32, 32);
    source.fill(10, 120, 240); // blue, green, red
    const Bitmap back = jpeg::decode(jpeg::encode(source));
    const uint8_t *p = back.pixel(16, 16);
    EXPECT_NEAR(p[0], 10, 4);
    EXPECT_NEAR(p[1], 120, 4);
    EXPECT_NEAR(p[2], 240, 4);
}

TEST(Jpeg, EncodeWritesBaselineThreeComponentJpegAtTheGivenQuality)
{
    const Bitmap source = test::randomBitmap(64, 48, 7);
    const QByteArray q90 = jpeg::encode(source);
    ASSERT_GE(q90.size(), 4);
    EXPECT_EQ(uint8_t(q90[0]), 0xFF);
    EXPECT_EQ(uint8_t(q90[1]), 0xD8);
    const int sof = findMarker(q90, 0xC0);
    ASSERT_GE(sof, 0) << "no baseline frame header";
    EXPECT_EQ(findMarker(q90, 0xC2), -1);
    EXPECT_EQ(uint8_t(q90[sof + 9]), 3) << "component count";

    // The default argument is quality 90, and quality changes the output.
    EXPECT_EQ(q90, jpeg::encode(source, 90));
    EXPECT_LT(jpeg::encode(source, 50).size(), q90.size());
    EXPECT_GT(jpeg::encode(source, 98).size(), q90.size());
}

TEST(Jpeg, DecodesGreyscaleAsEqualChannels)
{
    QImage grey(40, 30, QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            grey.scanLine(y)[x] = uchar(x * 6);
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(grey.save(&buffer, "JPEG", 95));
    }
    const int sof = findMarker(bytes, 0xC0);
    ASSERT_GE(sof, 0);
    ASSERT_EQ(uint8_t(bytes[sof + 9]), 1) << "Qt did not write a one-component file";

    const Bitmap b = jpeg::decode(bytes);
    ASSERT_EQ(b.width(), 40);
    for (int x : {0, 20, 39}) {
        const uint8_t *p = b.pixel(x, 15);
        EXPECT_EQ(p[0], p[1]);
        EXPECT_EQ(p[1], p[2]);
        EXPECT_NEAR(p[0], x * 6, 4);
    }
}

TEST(Jpeg, DecodesCmykWithAndWithoutAdobeInversion)
{
    // Red ink-wise: no cyan, full magenta and yellow, no black.
    const uint8_t inverted[4] = {255, 0, 0, 255}; // as Photoshop stores it
    const uint8_t plain[4] = {0, 255, 255, 0};
    for (const auto &[cmyk, adobe] : {std::pair{inverted, true}, std::pair{plain, false}}) {
        SCOPED_TRACE(adobe ? "Adobe" : "plain");
        const Bitmap b = jpeg::decode(encodeCmyk(24, 16, cmyk, adobe));
        ASSERT_EQ(b.width(), 24);
        ASSERT_EQ(b.height(), 16);
        const uint8_t *p = b.pixel(12, 8);
        EXPECT_LE(p[0], 6);
        EXPECT_LE(p[1], 6);
        EXPECT_GE(p[2], 249);
    }
}

TEST(Jpeg, BadInputThrowsLibjpegsOwnMessage)
{
    const QByteArray good = jpeg::encode(gradient(64, 64));
    struct Case {
        const char *name;
        QByteArray bytes;
        const char *message; // a piece of libjpeg's text
    };
    const Case cases[] = {
        {"empty", QByteArray(), "Empty input file"},
        {"text named .jpg", QByteArray("This is not a picture at all.\n"), "Not a JPEG file"},
        {"start of image only", good.left(2), ""},
        {"cut inside the header", good.left(good.size() / 20), ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (int which = 0; which < 3; ++which) {
            try {
                if (which == 0)
                    jpeg::decode(c.bytes);
                else if (which == 1)
                    jpeg::readSize(c.bytes);
                else
                    jpeg::decodeRows(c.bytes, {nullptr, nullptr, [](int, const uint8_t *) {}});
                ADD_FAILURE() << "no error for call " << which;
            } catch (const jpeg::Error &e) {
                EXPECT_THAT(e.what(), HasSubstr(c.message));
                EXPECT_STRNE(e.what(), "");
            }
        }
    }
}

TEST(Jpeg, EncodingAnEmptyBitmapThrows)
{
    EXPECT_THROW(jpeg::encode(Bitmap()), jpeg::Error);
}

// A file cut in the middle of its scan data still decodes: the rows libjpeg
// did see are kept and the rest come out flat grey (zero coefficients).
TEST(Jpeg, TruncatedScanYieldsPartlyGreyBitmap)
{
    const Bitmap source = gradient(256, 256);
    const QByteArray whole = jpeg::encode(source);
    const QByteArray cut = whole.left(whole.size() / 2);
    ASSERT_EQ(jpeg::readSize(cut), QSize(256, 256));
    const Bitmap b = jpeg::decode(cut);
    ASSERT_EQ(b.width(), 256);
    ASSERT_EQ(b.height(), 256);
    const uint8_t *top = b.pixel(200, 2);
    EXPECT_NEAR(top[0], source.pixel(200, 2)[0], 8);
    const uint8_t *bottom = b.pixel(200, 250);
    EXPECT_NEAR(bottom[0], 128, 2);
    EXPECT_NEAR(bottom[1], 128, 2);
    EXPECT_NEAR(bottom[2], 128, 2);
}

TEST(Jpeg, DecodeRowsDeliversTheSameRowsAsDecode)
{
    const QByteArray bytes = jpeg::encode(test::randomBitmap(123, 77, 3));
    const Bitmap full = jpeg::decode(bytes);
    Bitmap rows;
    std::vector<int> seen;
    jpeg::decodeRows(bytes, {[&](int w, int h) { rows.resize(w, h); },
                             [](int y) { return y % 5 == 0 || y == 76; },
                             [&](int y, const uint8_t *bgr) {
                                 seen.push_back(y);
                                 std::copy(bgr, bgr + 3 * 123, rows.row(y));
                             }});
    std::vector<int> expected;
    for (int y = 0; y < 77; ++y)
        if (y % 5 == 0 || y == 76)
            expected.push_back(y);
    EXPECT_EQ(seen, expected);
    for (int y : expected)
        EXPECT_EQ(0, std::memcmp(rows.row(y), full.row(y), 3 * 123)) << "row " << y;
}
