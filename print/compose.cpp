#include "print/compose.h"

#include "imaging/primitives.h"
#include "platform/jpeg.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace mv::print {

void PreparePage(Bitmap &page, const PageLayout &layout)
{
    const QSize size = PageSize(layout.paper, layout.outer);
    if (page.width() != size.width() || page.height() != size.height())
        page.resize(size.width(), size.height());
    page.fill(255, 255, 255);
}

void StretchFramed(Bitmap &dst, const Bitmap &photo, const Framing &f, const QRect &target)
{
    const int tw = target.width(), th = target.height();
    if (tw <= 0 || th <= 0 || f.width <= 0 || f.height <= 0 || photo.isEmpty())
        return;
    const QRect visible = target & QRect(0, 0, dst.width(), dst.height());
    if (visible.isEmpty())
        return;
    // Source byte offset of each visible column, -1 where the framed picture is white.
    std::vector<int> columns(std::size_t(visible.width()));
    for (int x = visible.left(); x <= visible.right(); ++x) {
        const int px = int(int64_t(x - target.left()) * f.width / tw) - f.left;
        columns[std::size_t(x - visible.left())] = px >= 0 && px < photo.width() ? 3 * px : -1;
    }
    // The photo's columns form one run; the white around it stays untouched.
    const auto firstIt = std::find_if(columns.begin(), columns.end(), [](int c) { return c >= 0; });
    if (firstIt == columns.end())
        return;
    const auto lastIt = std::find_if(columns.rbegin(), columns.rend(), [](int c) { return c >= 0; });
    const int first = int(firstIt - columns.begin());
    const int last = int(columns.size() - 1 - std::size_t(lastIt - columns.rbegin()));
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        const int py = int(int64_t(y - target.top()) * f.height / th) - f.top;
        if (py < 0 || py >= photo.height())
            continue;
        const uint8_t *s = photo.row(py);
        uint8_t *d = dst.row(y) + 3 * (visible.left() + first);
        for (int c = first; c <= last; ++c, d += 3) {
            const uint8_t *p = s + columns[std::size_t(c)];
            d[0] = p[0];
            d[1] = p[1];
            d[2] = p[2];
        }
    }
}

int DrawSlot(Bitmap &page, Bitmap photo, const PageLayout &layout, int slot)
{
    if (TurnsForSlot(photo.width(), photo.height(), layout.perPage))
        imaging::RotateQuarter(photo, false);
    const Framing f = FrameFor(photo.width(), photo.height(), layout.perPage, layout.conversion);
    const QRect rect = SlotRect(layout, slot);
    StretchFramed(page, photo, f, rect);
    return SlotResolution(f.width, rect.width());
}

std::vector<qint32> PagePhotos(const std::vector<ThumbEntry> &thumbs, int page, int perPage)
{
    std::vector<qint32> ids;
    if (page < 0 || perPage <= 0)
        return ids;
    int skip = page * perPage;
    for (const ThumbEntry &e : thumbs) {
        if (!e.marked)
            continue;
        if (skip > 0) {
            --skip;
            continue;
        }
        ids.push_back(e.id);
        if (int(ids.size()) == perPage)
            break;
    }
    return ids;
}

SlotResolutions ComposePage(Bitmap &page, const PageLayout &layout, const std::vector<ThumbEntry> &thumbs, int pageNo,
                            const PhotoReader &read)
{
    SlotResolutions resolutions;
    resolutions.fill(kNoResolution);
    const std::vector<qint32> ids = PagePhotos(thumbs, pageNo, layout.perPage);
    for (std::size_t slot = 0; slot < ids.size(); ++slot) {
        std::optional<Bitmap> photo = read(ids[slot]);
        if (photo)
            resolutions[slot] = DrawSlot(page, std::move(*photo), layout, int(slot));
    }
    // The turn's temporary is as large as a photo: not kept between pages.
    imaging::ReleaseScratchMemory();
    return resolutions;
}

std::optional<Bitmap> ReadPhoto(db::Connection &photoList, qint32 id)
{
    QString file;
    {
        db::Query q(&photoList, db::CursorType::Static);
        q.setSql(sql::fileOf(id));
        q.open();
        if (q.eof())
            return std::nullopt;
        file = q.text(QStringLiteral("File"));
    }
    db::Connection base(db::connectionText(file));
    base.open();
    db::Query p(&base, db::CursorType::Static);
    p.setSql(sql::photo(id));
    p.open();
    if (p.eof())
        return std::nullopt;
    return jpeg::decode(p.bytes(QStringLiteral("Photo")));
}

} // namespace mv::print
