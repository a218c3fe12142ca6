#include "import/exif.h"
#include "platform/jpeg.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>

// Readable failure messages for the texts.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

using namespace mv;

namespace {

// A minimal TIFF/EXIF writer for fixtures: IFD0 and an optional Exif IFD,
// values longer than four bytes placed after the directories, in either
// byte order.
class Tiff {
public:
    struct Entry {
        uint16_t tag;
        uint16_t type;
        uint32_t count;
        QByteArray data;                // out of line if longer than 4 bytes
        std::optional<uint32_t> raw;    // a value field written as is
        bool exifPointer = false;
    };

    explicit Tiff(bool bigEndian = false) : big_(bigEndian) {}

    QByteArray u16(uint32_t v) const
    {
        QByteArray b(2, 0);
        b[big_ ? 0 : 1] = char(v >> 8);
        b[big_ ? 1 : 0] = char(v);
        return b;
    }
    QByteArray u32(uint32_t v) const
    {
        QByteArray b(4, 0);
        for (int i = 0; i < 4; ++i)
            b[big_ ? 3 - i : i] = char(v >> (8 * i));
        return b;
    }

    Entry shortValue(uint16_t tag, uint16_t v) const { return {tag, 3, 1, u16(v) + QByteArray(2, 0)}; }
    Entry longValue(uint16_t tag, uint32_t v) const { return {tag, 4, 1, u32(v)}; }
    Entry rational(uint16_t tag, int32_t n, int32_t d) const
    {
        return {tag, 10, 1, u32(uint32_t(n)) + u32(uint32_t(d))};
    }
    Entry text(uint16_t tag, const QByteArray &s) const { return {tag, 2, uint32_t(s.size() + 1), s + '\0'}; }
    Entry raw(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) const
    {
        return {tag, type, count, {}, value};
    }
    Entry exifPointer() const { return {0x8769, 4, 1, {}, std::nullopt, true}; }

    std::vector<Entry> ifd0, exif;
    uint32_t ifd0Offset = 8;

    QByteArray build() const
    {
        const uint32_t ifd0Size = 2 + 12 * uint32_t(ifd0.size()) + 4;
        const uint32_t exifAt = ifd0Offset + ifd0Size;
        const uint32_t exifSize = exif.empty() ? 0 : 2 + 12 * uint32_t(exif.size()) + 4;
        uint32_t dataAt = exifAt + exifSize;
        QByteArray data;
        auto directory = [&](const std::vector<Entry> &entries) {
            QByteArray d = u16(uint32_t(entries.size()));
            for (const Entry &e : entries) {
                d += u16(e.tag) + u16(e.type) + u32(e.count);
                if (e.exifPointer) {
                    d += u32(exifAt);
                } else if (e.raw) {
                    d += u32(*e.raw);
                } else if (e.data.size() <= 4) {
                    d += e.data + QByteArray(4 - e.data.size(), 0);
                } else {
                    d += u32(dataAt + uint32_t(data.size()));
                    data += e.data;
                }
            }
            return d + u32(0);
        };
        QByteArray out = QByteArray(big_ ? "MM" : "II") + u16(42) + u32(ifd0Offset);
        out += QByteArray(int(ifd0Offset) - 8, '\x55'); // filler a header offset skips
        out += directory(ifd0);
        if (!exif.empty())
            out += directory(exif);
        return out + data;
    }

private:
    bool big_;
};

QByteArray segment(uint8_t marker, const QByteArray &payload)
{
    const int length = int(payload.size()) + 2;
    QByteArray s;
    s += char(0xFF);
    s += char(marker);
    s += char(length >> 8);
    s += char(length);
    return s + payload;
}

QByteArray app1Exif(const QByteArray &tiff) { return segment(0xE1, QByteArray("Exif\0\0", 6) + tiff); }

QByteArray soi() { return QByteArray("\xFF\xD8", 2); }
QByteArray eoi() { return QByteArray("\xFF\xD9", 2); }

QByteArray jpegWith(const QByteArray &tiff, const QByteArray &before = {})
{
    return soi() + before + app1Exif(tiff) + eoi();
}

QByteArray jfif()
{
    return segment(0xE0, QByteArray("JFIF\0\x01\x01\x00\x00\x01\x00\x01\x00\x00", 14));
}

struct Result {
    QString date;
    QString summary;
};

// Reads from an exactly sized heap copy so that AddressSanitizer sees any
// read past the end (a QByteArray has slack and a terminator behind it).
Result read(const QByteArray &bytes)
{
    std::vector<uint8_t> exact(bytes.begin(), bytes.end());
    Result r;
    ReadExif(exact.empty() ? nullptr : exact.data(), exact.size(), r.date, r.summary);
    return r;
}

// The typical camera file of either byte order.
Tiff cameraFile(bool big)
{
    Tiff t(big);
    t.ifd0 = {t.text(0x010F, "Maker"), t.text(0x0132, "2004:07:15 10:20:30"), t.exifPointer()};
    t.exif = {t.rational(0x829A, 10, 1250), t.rational(0x829D, 56, 10), t.shortValue(0x8822, 2),
              t.shortValue(0x8827, 200)};
    return t;
}

class BothOrders : public ::testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(Exif, BothOrders, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Motorola" : "Intel"; });

TEST_P(BothOrders, ReadsTheTypicalCameraFile)
{
    const Result r = read(jpegWith(cameraFile(GetParam()).build()));
    EXPECT_EQ(r.date, "2004:07:15 10:20:30");
    EXPECT_EQ(r.summary, "|1/125 sec|F5.6|Normal|ISO 200");
}

TEST_P(BothOrders, ExposureTimeItems)
{
    struct Case {
        int32_t n, d;
        const char *item;
    };
    const Case cases[] = {
        {10, 1250, "|1/125 sec"}, {1, 60, "|1/60 sec"}, {3, 10, "|1/3 sec"},  {10, 10, "|1/1 sec"},
        {1, 1, "|1/1 sec"},       {5, 0, "|5 sec"},     {-3, -1, "|-3 sec"},  {0, 1, "|0/1 sec"},
        {2, 1, "|2 sec"},         {30, 1, "|30 sec"},   {15, 10, "|1.5 sec"}, {25, 10, "|2.5 sec"},
        {13, 3, "|4.3 sec"},      {199, 100, "|2.0 sec"},
    };
    for (const Case &c : cases) {
        Tiff t(GetParam());
        t.ifd0 = {t.exifPointer()};
        t.exif = {t.rational(0x829A, c.n, c.d)};
        EXPECT_EQ(read(jpegWith(t.build())).summary, c.item) << c.n << "/" << c.d;
    }
}

TEST_P(BothOrders, FNumberItems)
{
    struct Case {
        int32_t n, d;
        const char *item;
    };
    const Case cases[] = {
        {28, 10, "|F2.8"},    {8, 1, "|F8.0"},      {11, 1, "|F11.0"},    {226, 10, "|F23.0"},
        {56, 10, "|F5.6"},    {0, 10, ""},          {-5, 1, ""},          {5, 0, ""},
        {5, -1, ""},          {25, 2, "|F13.0"},    {285, 100, "|F2.8"},  // 2.85f and 0.45f lie just below
        {996, 100, "|F10.0"}, {995, 10, "|F100"},   {1234, 1, "|F1200"},  {1, 3, "|F0.3"},
        {35, 100, "|F0.3"},   {45, 100, "|F0.4"},   {1, 100, "|F0.0"},    {7, 100, "|F0.1"},
    };
    for (const Case &c : cases) {
        Tiff t(GetParam());
        t.ifd0 = {t.exifPointer()};
        t.exif = {t.rational(0x829D, c.n, c.d)};
        EXPECT_EQ(read(jpegWith(t.build())).summary, c.item) << c.n << "/" << c.d;
    }
}

TEST_P(BothOrders, ExposureProgramItems)
{
    const char *names[] = {"",         "|Manual", "|Normal",   "|Apperture priority", "|Shutter priority",
                           "|Creative", "|Action", "|Portrait", "|Landscape",          ""};
    for (uint16_t v = 0; v <= 9; ++v) {
        Tiff t(GetParam());
        t.ifd0 = {t.exifPointer()};
        t.exif = {t.shortValue(0x8822, v)};
        EXPECT_EQ(read(jpegWith(t.build())).summary, names[v]) << v;
    }
}

TEST_P(BothOrders, FocalLengthIn35mmInBothDirectoriesAndIsoInTagOrder)
{
    Tiff t(GetParam());
    t.ifd0 = {t.exifPointer(), t.shortValue(0xA405, 28)};
    t.exif = {t.shortValue(0x8827, 100), t.shortValue(0xA405, 50)};
    EXPECT_EQ(read(jpegWith(t.build())).summary, "|(eg35) 28|ISO 100|(eg35) 50");
}

// Some writers store the ISO speed or the 35 mm length as a LONG; in
// Motorola order its number is in the last two bytes of the field.
TEST_P(BothOrders, ShortTagsWrittenAsLong)
{
    Tiff t(GetParam());
    t.ifd0 = {t.exifPointer()};
    t.exif = {t.longValue(0x8827, 400), t.longValue(0xA405, 35)};
    EXPECT_EQ(read(jpegWith(t.build())).summary, "|ISO 400|(eg35) 35");
}

TEST_P(BothOrders, IfdZeroIsFoundAtTheOffsetTheHeaderGives)
{
    Tiff t = cameraFile(GetParam());
    t.ifd0Offset = 26;
    const Result r = read(jpegWith(t.build()));
    EXPECT_EQ(r.date, "2004:07:15 10:20:30");
    EXPECT_EQ(r.summary, "|1/125 sec|F5.6|Normal|ISO 200");
}

TEST(Exif, WithoutExifPointerOnlyIfdZeroCountsEvenAfterAFileThatHadOne)
{
    const QByteArray withPointer = jpegWith(cameraFile(false).build());
    Tiff t;
    t.ifd0 = {t.text(0x0132, "2001:02:03 04:05:06"), t.shortValue(0xA405, 35)};
    // Exif-IFD tags placed in IFD0 are not looked at there.
    t.ifd0.push_back(t.shortValue(0x8827, 100));
    const QByteArray without = jpegWith(t.build());

    QString date, summary;
    ReadExif(withPointer, date, summary);
    date.clear();
    summary.clear();
    ReadExif(without, date, summary);
    EXPECT_EQ(date, "2001:02:03 04:05:06");
    EXPECT_EQ(summary, "|(eg35) 35");
}

TEST(Exif, LaterDateTimeWinsAndTextIsCutAtNul)
{
    Tiff t;
    t.ifd0 = {t.text(0x0132, "2000:01:01 00:00:00"),
              t.text(0x0132, QByteArray("2002:02:02 02:02:02\0junk", 24))};
    EXPECT_EQ(read(jpegWith(t.build())).date, "2002:02:02 02:02:02");
}

TEST(Exif, DateIsReplacedOnlyWhenFoundAndSummaryIsAppended)
{
    QString date = "before", summary = "|old";
    ReadExif(jpegWith(cameraFile(false).build()), date, summary);
    EXPECT_EQ(date, "2004:07:15 10:20:30");
    EXPECT_EQ(summary, "|old|1/125 sec|F5.6|Normal|ISO 200");

    Tiff noDate;
    noDate.ifd0 = {noDate.shortValue(0xA405, 24)};
    date = "kept";
    summary.clear();
    ReadExif(jpegWith(noDate.build()), date, summary);
    EXPECT_EQ(date, "kept");
    EXPECT_EQ(summary, "|(eg35) 24");
}

TEST(Exif, FindsTheExifSegmentBehindOtherSegments)
{
    const QByteArray tiff = cameraFile(true).build();
    const QByteArray xmp = segment(0xE1, QByteArray("http://ns.adobe.com/xap/1.0/") + '\0' + "<x:xmpmeta/>");
    const QByteArray comment = segment(0xFE, "written by an editor");
    const QByteArray icc = segment(0xE2, QByteArray("ICC_PROFILE\0", 12) + QByteArray(300, 'p'));
    const QByteArray fill("\xFF\xFF", 2);
    const QByteArray prefixes[] = {jfif(), jfif() + comment, xmp, icc + xmp + comment, fill + jfif()};
    for (const QByteArray &before : prefixes) {
        const Result r = read(jpegWith(tiff, before));
        EXPECT_EQ(r.date, "2004:07:15 10:20:30");
        EXPECT_EQ(r.summary, "|1/125 sec|F5.6|Normal|ISO 200");
    }
}

TEST(Exif, InputWithoutAnExifBlockLeavesBothTextsAlone)
{
    const QByteArray tiff = cameraFile(false).build();
    const QByteArray plainJpeg = jpeg::encode(test::randomBitmap(16, 16, 1));
    QByteArray notExif = app1Exif(tiff);
    notExif[5] = 'X'; // "ExXf": an APP1 of some other kind
    const QByteArray sosFirst = soi() + segment(0xDA, "\x01\x01\x00\x00\x3f\x00") + app1Exif(tiff) + eoi();
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"zero bytes", QByteArray()},
        {"text named .jpg", "Not a photo, just some text in a file\n"},
        {"no start of image", app1Exif(tiff)},
        {"start of image only", soi()},
        {"JPEG without EXIF", plainJpeg},
        {"APP1 that is not Exif", soi() + notExif + eoi()},
        {"EXIF after the image data", sosFirst},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QString date = "date", summary = "sum";
        std::vector<uint8_t> exact(c.bytes.begin(), c.bytes.end());
        ReadExif(exact.data(), exact.size(), date, summary);
        EXPECT_EQ(date, "date");
        EXPECT_EQ(summary, "sum");
    }
}

TEST(Exif, MalformedBlocksAreCutAtTheEndOfTheData)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        const char *date;
        const char *summary;
    };
    std::vector<Case> cases;

    {   // A DateTime count of 0xFFFFFFFF: the text runs to the end of the data.
        Tiff t;
        t.ifd0 = {t.raw(0x0132, 2, 0xFFFFFFFF, 8 + 2 + 12 + 4)};
        cases.push_back({"huge text count", soi() + app1Exif(t.build() + "2009:09:09 09:09:09"), "2009:09:09 09:09:09", ""});
    }
    {   // Values whose offsets lie past the end, also near 2^32 (no wrap-around).
        Tiff t;
        t.ifd0 = {t.raw(0x0132, 2, 20, 0xFFFFFFF0), t.exifPointer()};
        t.exif = {t.raw(0x829A, 5, 1, 0xFFFFFFFC), t.raw(0x829D, 5, 1, 5000)};
        cases.push_back({"values past the end", jpegWith(t.build()), "", "|0 sec"});
    }
    {   // An entry count far beyond the entries present.
        Tiff t;
        t.ifd0 = {t.shortValue(0xA405, 50), t.exifPointer()};
        t.exif = {t.shortValue(0x8827, 64)};
        QByteArray tiff = t.build();
        tiff[8] = char(0xFF);
        tiff[9] = char(0xFF);
        // Ends in the middle of the Exif IFD's only entry once cut here.
        cases.push_back({"entry count too big", soi() + app1Exif(tiff.left(tiff.size() - 6)), "", "|(eg35) 50"});
    }
    {   // The Exif pointer leads back to IFD0 itself.
        Tiff t;
        t.ifd0 = {t.raw(0x8769, 4, 1, 8), t.shortValue(0xA405, 35)};
        cases.push_back({"pointer loop", jpegWith(t.build()), "", "|(eg35) 35|(eg35) 35"});
    }
    {
        Tiff t;
        t.ifd0 = {t.raw(0x8769, 4, 1, 0x7FFFFFFF)};
        cases.push_back({"Exif IFD past the end", jpegWith(t.build()), "", ""});
    }
    {
        QByteArray tiff = cameraFile(false).build();
        tiff.replace(4, 4, QByteArray("\xF8\xFF\xFF\xFF", 4));
        cases.push_back({"IFD0 past the end", jpegWith(tiff), "", ""});
    }
    {   // A DateTime text longer than the 65000-byte buffer.
        Tiff t;
        t.ifd0 = {t.text(0x0132, QByteArray(70000, '7'))};
        cases.push_back({"text longer than the buffer", jpegWith(t.build()), nullptr, ""});
    }
    cases.push_back({"zero-length segment", soi() + QByteArray("\xFF\xE0\x00\x00", 4) + app1Exif(cameraFile(false).build()), "", ""});
    cases.push_back({"segment length past the end", soi() + QByteArray("\xFF\xE0\xFF\xF0JFIF", 8), "", ""});
    cases.push_back({"TIFF header cut", soi() + QByteArray("\xFF\xE1\x00\x10" "Exif\0\0II", 12), "", ""});

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Result r = read(c.bytes);
        if (c.date)
            EXPECT_EQ(r.date, c.date);
        else
            EXPECT_EQ(r.date, QString(64999, '7'));
        EXPECT_EQ(r.summary, c.summary);
    }
}

// Every cut of a valid block and many damaged copies of one: nothing may be
// read outside the data (the AddressSanitizer build checks that), and what
// is read from a cut file is what lies before the cut.
TEST(Exif, CutAndDamagedBlocksNeverReadOutsideTheData)
{
    for (bool big : {false, true}) {
        Tiff t = cameraFile(big);
        t.ifd0.push_back(t.shortValue(0xA405, 50));
        const QByteArray whole = jpegWith(t.build(), jfif());
        const Result full = read(whole);
        ASSERT_FALSE(full.summary.isEmpty());
        for (int length = 0; length <= whole.size(); ++length) {
            const Result r = read(whole.left(length));
            EXPECT_TRUE(full.date.startsWith(r.date)) << length;
            EXPECT_LE(r.summary.count('|'), full.summary.count('|')) << length;
        }
        std::mt19937 random(big ? 2 : 1);
        for (int round = 0; round < 3000; ++round) {
            QByteArray damaged = whole;
            for (int flips = 1 + int(random() % 4); flips > 0; --flips)
                damaged[int(random() % unsigned(damaged.size()))] = char(random());
            const Result r = read(damaged);
            EXPECT_LT(r.date.size(), 65000);
        }
    }
}

// The real camera files against the values exiftool reads from them
// (exif_expected.tsv, made by make_exif_expected.py).
TEST(Exif, CameraCorpusMatchesExiftool)
{
    QFile table(QStringLiteral(MARVISTO_SOURCE_DIR "/tests/import/exif_expected.tsv"));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(table.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 50);
    int withSummary = 0;
    for (const QString &line : lines.mid(1)) {
        const QStringList f = line.split('\t');
        ASSERT_EQ(f.size(), 3) << line.toStdString();
        const QByteArray bytes = test::readFile(test::corpusDir() + f[0]);
        ASSERT_FALSE(bytes.isEmpty()) << f[0].toStdString();
        const Result r = read(bytes);
        EXPECT_EQ(r.date, f[1]) << f[0].toStdString();
        EXPECT_EQ(r.summary, f[2]) << f[0].toStdString();
        withSummary += !f[2].isEmpty();
    }
    EXPECT_GT(withSummary, 40);
}

} // namespace
