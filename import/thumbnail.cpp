#include "import/thumbnail.h"

#include "platform/jpeg.h"

#include <algorithm>
#include <vector>

namespace mv {

namespace {

constexpr int kThumbnailSide = 100;
constexpr int kThumbnailQuality = 90;

// sourceIndex[d] = d * source / target, the pick of one axis.
std::vector<int> pickTable(int source, int target)
{
    std::vector<int> table(std::size_t(std::max(0, target)));
    for (int d = 0; d < target; ++d)
        table[std::size_t(d)] = int(int64_t(d) * source / target);
    return table;
}

void pickRow(const uint8_t *source, uint8_t *target, const std::vector<int> &columns)
{
    for (int sx : columns) {
        const uint8_t *p = source + 3 * sx;
        target[0] = p[0];
        target[1] = p[1];
        target[2] = p[2];
        target += 3;
    }
}

} // namespace

QSize ThumbnailSize(QSize source)
{
    const int w = source.width(), h = source.height();
    if (w <= 0 || h <= 0)
        return QSize(0, 0);
    if (h < w)
        return QSize(kThumbnailSide, std::max(1, int(int64_t(h) * kThumbnailSide / w)));
    return QSize(std::max(1, int(int64_t(w) * kThumbnailSide / h)), kThumbnailSide);
}

Bitmap MakeThumbnailBitmap(const Bitmap &picture, QSize ruleSize)
{
    const QSize size = picture.isEmpty() ? QSize(0, 0) : ThumbnailSize(ruleSize);
    Bitmap thumb(size.width(), size.height());
    if (thumb.isEmpty())
        return thumb;
    const std::vector<int> columns = pickTable(picture.width(), thumb.width());
    const std::vector<int> rows = pickTable(picture.height(), thumb.height());
    for (int dy = 0; dy < thumb.height(); ++dy)
        pickRow(picture.row(rows[std::size_t(dy)]), thumb.row(dy), columns);
    return thumb;
}

Bitmap MakeThumbnailBitmap(const Bitmap &photo) { return MakeThumbnailBitmap(photo, QSize(photo.width(), photo.height())); }

QByteArray MakeThumbnail(const Bitmap &photo) { return jpeg::encode(MakeThumbnailBitmap(photo), kThumbnailQuality); }

QByteArray MakeThumbnail(const Bitmap &picture, QSize ruleSize)
{
    return jpeg::encode(MakeThumbnailBitmap(picture, ruleSize), kThumbnailQuality);
}

Bitmap MakeThumbnailBitmapFromJpeg(const QByteArray &jpegBytes)
{
    Bitmap thumb;
    std::vector<int> columns;
    // For each source row, the first thumbnail row picking it (-1: none);
    // with fewer source rows than thumbnail rows one row feeds several.
    std::vector<int> firstTarget;
    std::vector<int> rows;
    jpeg::RowReader reader;
    reader.started = [&](int width, int height) {
        const QSize size = ThumbnailSize(QSize(width, height));
        thumb.resize(size.width(), size.height());
        columns = pickTable(width, size.width());
        rows = pickTable(height, size.height());
        firstTarget.assign(std::size_t(height), -1);
        for (int dy = size.height() - 1; dy >= 0; --dy)
            firstTarget[std::size_t(rows[std::size_t(dy)])] = dy;
    };
    reader.wanted = [&](int y) { return firstTarget[std::size_t(y)] >= 0; };
    reader.sink = [&](int y, const uint8_t *bgr) {
        for (int dy = firstTarget[std::size_t(y)]; dy < thumb.height() && rows[std::size_t(dy)] == y; ++dy)
            pickRow(bgr, thumb.row(dy), columns);
    };
    jpeg::decodeRows(jpegBytes, reader);
    return thumb;
}

QByteArray MakeThumbnailFromJpeg(const QByteArray &jpegBytes)
{
    return jpeg::encode(MakeThumbnailBitmapFromJpeg(jpegBytes), kThumbnailQuality);
}

} // namespace mv
