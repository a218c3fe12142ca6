#include "import/exif.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <cstring>
#include <string>

namespace mv {

namespace {

// Text values are taken into a buffer of this size, terminator included.
constexpr std::size_t kTextBuffer = 65000;

enum Tag : uint16_t {
    DateTime = 0x0132,
    ExifPointer = 0x8769,
    ExposureTime = 0x829A,
    FNumber = 0x829D,
    ExposureProgram = 0x8822,
    IsoSpeed = 0x8827,
    FocalLength35 = 0xA405,
};

constexpr uint16_t kTypeLong = 4;
constexpr uint16_t kTypeSignedLong = 9;

// Every read is bounds-checked against the data; offsets are 64-bit so that
// base + a 32-bit offset + 4 cannot wrap around.
class Reader {
public:
    Reader(const uint8_t *data, std::size_t size) : data_(data), size_(size) {}

    std::size_t size() const { return size_; }
    bool has(uint64_t offset, uint64_t length) const { return offset <= size_ && length <= size_ - offset; }
    const uint8_t *at(uint64_t offset) const { return data_ + offset; }

    void setBigEndian(bool big) { big_ = big; }

    // A number lying wholly or partly past the end reads as 0.
    uint16_t u16(uint64_t offset) const
    {
        if (!has(offset, 2))
            return 0;
        const uint8_t *p = data_ + offset;
        return big_ ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
    }
    uint32_t u32(uint64_t offset) const
    {
        if (!has(offset, 4))
            return 0;
        const uint8_t *p = data_ + offset;
        return big_ ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]
                    : uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    int32_t s32(uint64_t offset) const { return int32_t(u32(offset)); }

    // Up to `count` bytes, stopping at the end of the data, at the buffer's
    // size and at the first NUL.
    QString text(uint64_t offset, uint32_t count) const
    {
        if (offset >= size_)
            return QString();
        const std::size_t available = size_ - std::size_t(offset);
        const std::size_t length = std::min({std::size_t(count), available, kTextBuffer - 1});
        const char *p = reinterpret_cast<const char *>(data_ + offset);
        const void *nul = std::memchr(p, 0, length);
        const std::size_t textLength = nul ? std::size_t(static_cast<const char *>(nul) - p) : length;
        return QString::fromLatin1(p, qsizetype(textLength));
    }

private:
    const uint8_t *data_;
    std::size_t size_;
    bool big_ = false;
};

// The offset of the TIFF header inside the first Exif APP1 segment, or 0 if
// the file has none before its image data. Cameras often put a JFIF APP0
// first, and editors add COM, XMP (also APP1) or other APPn segments.
std::size_t findTiffBase(const Reader &r)
{
    const uint8_t *d = r.at(0);
    if (r.size() < 2 || d[0] != 0xFF || d[1] != 0xD8)
        return 0;
    std::size_t pos = 2;
    while (r.has(pos, 4)) {
        if (d[pos] != 0xFF)
            return 0;
        const uint8_t marker = d[pos + 1];
        if (marker == 0xFF) { // fill byte before a marker
            ++pos;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            pos += 2; // markers without a length
            continue;
        }
        if (marker == 0xDA || marker == 0xD9)
            return 0; // image data or end: no EXIF block to come
        const std::size_t length = std::size_t(d[pos + 2]) << 8 | d[pos + 3];
        if (length < 2)
            return 0; // a zero length would never move on
        if (marker == 0xE1 && length >= 8 && r.has(pos + 4, 6) && std::memcmp(d + pos + 4, "Exif\0\0", 6) == 0)
            return pos + 10;
        pos += 2 + length;
    }
    return 0;
}

struct Entry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    uint32_t value;
    uint16_t shortValue;
};

// The directory's entries, cut at the last one that lies wholly in the data.
template <typename Visit>
void forEachEntry(const Reader &r, uint64_t directory, Visit visit)
{
    if (!r.has(directory, 2))
        return;
    const unsigned count = r.u16(directory);
    for (unsigned i = 0; i < count; ++i) {
        const uint64_t at = directory + 2 + 12 * uint64_t(i);
        if (!r.has(at, 12))
            return;
        Entry e;
        e.tag = r.u16(at);
        e.type = r.u16(at + 2);
        e.count = r.u32(at + 4);
        e.value = r.u32(at + 8);
        // A SHORT sits in the first two bytes of the value field in either
        // byte order; a LONG (some writers use one for ISO or the 35 mm
        // length) holds the number in its low half.
        e.shortValue = (e.type == kTypeLong || e.type == kTypeSignedLong) ? uint16_t(e.value & 0xFFFF) : r.u16(at + 8);
        visit(e);
    }
}

void appendNumber(std::string &out, long long n) { out += std::to_string(n); }

void appendExposure(std::string &out, int32_t n, int32_t d)
{
    out += '|';
    if (d <= 0) {
        appendNumber(out, n);
    } else if (n > 1 && n > d) {
        // One second or longer: whole seconds, or tenths rounded half up.
        if (n % d == 0) {
            appendNumber(out, n / d);
        } else {
            const long long tenths = (10LL * n + d / 2) / d;
            appendNumber(out, tenths / 10);
            out += '.';
            appendNumber(out, tenths % 10);
        }
    } else {
        if (n > 1) {
            d /= n;
            n = 1;
        }
        appendNumber(out, n);
        out += '/';
        appendNumber(out, d);
    }
    out += " sec";
}

// The aperture rounded to two significant digits but never to more than one
// decimal, written with exactly one decimal (full stop as separator); from
// 100 on as a whole number. The quotient is formed in single precision, and
// rounding (half away from zero) works on the exact decimal expansion of
// that float, so 12.5 gives 13 and 2.85f (just below 2.85) gives 2.8.
void appendFNumber(std::string &out, int32_t n, int32_t d)
{
    const float f = float(n) / float(d);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%.70e", double(f));
    // buffer: "D.DDDD...e+XX"; collect the significant digits and the exponent.
    char digits[80];
    int digitCount = 0;
    const char *p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9' && digitCount < 79)
            digits[digitCount++] = *p;
    digits[digitCount] = '\0';
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;

    // Keep digits down to the place 10^place.
    const int place = std::max(exponent - 1, -1);
    const int kept = exponent - place + 1; // significant digits kept (may be <= 0)
    long long rounded = 0;
    if (kept > 0) {
        for (int i = 0; i < kept && i < digitCount; ++i)
            rounded = rounded * 10 + (digits[i] - '0');
        if (kept < digitCount && digits[kept] >= '5')
            ++rounded;
    } else if (kept == 0) {
        rounded = digits[0] >= '5' ? 1 : 0;
    }

    out += "|F";
    if (place < 0) {
        appendNumber(out, rounded / 10);
        out += '.';
        appendNumber(out, rounded % 10);
        return;
    }
    long long whole = rounded;
    for (int i = 0; i < place; ++i)
        whole *= 10;
    appendNumber(out, whole);
    if (whole < 100)
        out += ".0";
}

const char *programName(uint16_t value)
{
    static const char *const names[] = {nullptr,      "|Manual", "|Normal", "|Apperture priority", "|Shutter priority",
                                        "|Creative", "|Action", "|Portrait", "|Landscape"};
    return value < std::size(names) ? names[value] : nullptr;
}

void appendFocal35(std::string &out, uint16_t value)
{
    out += "|(eg35) ";
    appendNumber(out, value);
}

} // namespace

void ReadExif(const uint8_t *data, std::size_t size, QString &dateText, QString &summary)
{
    Reader r(data, size);
    const std::size_t base = findTiffBase(r);
    if (base == 0 || !r.has(base, 8))
        return;
    r.setBigEndian(r.at(base)[0] == 'M' && r.at(base)[1] == 'M');

    std::string items;
    uint32_t exifOffset = 0;
    forEachEntry(r, base + uint64_t(r.u32(base + 4)), [&](const Entry &e) {
        switch (e.tag) {
        case ExifPointer:
            exifOffset = e.value;
            break;
        case FocalLength35:
            appendFocal35(items, e.shortValue);
            break;
        case DateTime:
            dateText = r.text(base + uint64_t(e.value), e.count);
            break;
        default:
            break;
        }
    });

    if (exifOffset != 0) {
        forEachEntry(r, base + uint64_t(exifOffset), [&](const Entry &e) {
            const uint64_t at = base + uint64_t(e.value);
            switch (e.tag) {
            case ExposureTime:
                appendExposure(items, r.s32(at), r.s32(at + 4));
                break;
            case FNumber: {
                const int32_t n = r.s32(at), d = r.s32(at + 4);
                if (n > 0 && d > 0)
                    appendFNumber(items, n, d);
                break;
            }
            case ExposureProgram:
                if (const char *name = programName(e.shortValue))
                    items += name;
                break;
            case IsoSpeed:
                items += "|ISO ";
                appendNumber(items, e.shortValue);
                break;
            case FocalLength35:
                appendFocal35(items, e.shortValue);
                break;
            default:
                break;
            }
        });
    }
    if (!items.empty())
        summary += QString::fromLatin1(items.data(), qsizetype(items.size()));
}

void ReadExif(const QByteArray &bytes, QString &dateText, QString &summary)
{
    ReadExif(reinterpret_cast<const uint8_t *>(bytes.constData()), std::size_t(bytes.size()), dateText, summary);
}

} // namespace mv
