#include "print/layout.h"

#include <cstdint>

namespace mv::print {

int MillimetresToPixels(int mm) { return int(double(mm) * kPixelsPerInch / 25.4); }

QSize PaperSize(Paper paper) { return paper == Paper::A4 ? QSize(210, 297) : QSize(100, 150); }

double PaperHeightPixels(Paper paper) { return double(PaperSize(paper).height()) * kPixelsPerInch / 25.4; }

QSize PageSize(Paper paper, int outer)
{
    const QSize mm = PaperSize(paper);
    return {MillimetresToPixels(mm.width() - 2 * outer), MillimetresToPixels(mm.height() - 2 * outer)};
}

int PageCount(int marked, int perPage)
{
    if (marked <= 0 || perPage <= 0)
        return 0;
    return (marked + perPage - 1) / perPage;
}

QRect SlotRect(const PageLayout &layout, int slot)
{
    const QSize page = PageSize(layout.paper, layout.outer);
    const int W = page.width(), H = page.height();
    const int i = MillimetresToPixels(layout.inner);
    const int x2 = (W - 2 * i) / 2 + 2 * i - 1;
    const int y2 = (H - 2 * i) / 2 + 2 * i - 1;
    int w = 0, h = 0;
    switch (layout.perPage) {
    case 1:
        w = W;
        h = int(1.5 * W);
        break;
    case 2: {
        const int s = (H - 2 * i) / 2;
        w = int(1.5 * s);
        h = s;
        break;
    }
    default: {
        const int s = (W - 2 * i) / 2;
        w = s;
        h = int(1.5 * s);
        break;
    }
    }
    const int x = (slot == 2 || slot == 3) ? x2 : 0;
    const int y = (slot == 1 || slot == 3) ? y2 : 0;
    return {x, y, w, h};
}

void CheckLayout(const PageLayout &layout)
{
    if (layout.outer < 0 || layout.inner < 0)
        throw LayoutError("A border cannot be negative.");
    const QSize page = PageSize(layout.paper, layout.outer);
    const QRect slot = SlotRect(layout, 0);
    if (page.width() <= 0 || page.height() <= 0 || slot.width() <= 0 || slot.height() <= 0)
        throw LayoutError("The borders leave no room for the photos.");
}

bool TurnsForSlot(int width, int height, int perPage)
{
    return perPage == 2 ? height > width : width > height;
}

Framing FrameFor(int w, int h, int perPage, Conversion conversion)
{
    // One side is kept; the other gets the target length T, and the photo is
    // centred on it with p pixels of white (or of cut) at both ends.
    const bool upright = perPage != 2;
    const bool changeHeight = upright == (conversion == Conversion::Shrink);
    Framing f{w, h, 0, 0};
    if (changeHeight) {
        const int T = upright ? int(1.5 * w) : w * 2 / 3;
        const int p = (T - h) / 2;
        f.height = h + 2 * p;
        f.top = p;
    } else {
        const int T = upright ? h * 2 / 3 : int(1.5 * h);
        const int p = (T - w) / 2;
        f.width = w + 2 * p;
        f.left = p;
    }
    return f;
}

int SlotResolution(int framedWidth, int slotWidth)
{
    if (slotWidth <= 0)
        return 0;
    return int(int64_t(framedWidth) * kPixelsPerInch / slotWidth);
}

} // namespace mv::print
