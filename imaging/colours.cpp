#include "imaging/colours.h"

#include "imaging/parallel.h"

#include <algorithm>

namespace mv::imaging {

void ShiftColour(Bitmap &bitmap, int direction, int s)
{
    if (direction < MoreRed || direction > MoreMagenta)
        return;
    const int w = bitmap.width(), h = bitmap.height();
    if (w <= 0 || h <= 0)
        return;
    s = std::clamp(s, -1000, 1000); // beyond +-255 every result is clamped anyway
    const int hs = s / 2;
    // Per direction the amounts added to red, green, blue.
    static const int sel[6][3] = {{2, -1, -1}, {1, 1, -1}, {-1, 2, -1}, {-2, 1, 1}, {-1, -1, 2}, {1, -2, 1}};
    auto amount = [&](int code) { return code == 2 ? s : code == -2 ? -s : code == 1 ? hs : -hs; };
    const int dr = amount(sel[direction][0]), dg = amount(sel[direction][1]), db = amount(sel[direction][2]);
    uint8_t tr[256], tg[256], tb[256];
    for (int v = 0; v < 256; ++v) {
        tr[v] = uint8_t(std::clamp(v + dr, 0, 255));
        tg[v] = uint8_t(std::clamp(v + dg, 0, 255));
        tb[v] = uint8_t(std::clamp(v + db, 0, 255));
    }
    parallelFor(h, [&](int y0, int y1) {
        for (int y = y0; y < y1; ++y) {
            uint8_t *p = bitmap.row(y);
            for (int x = 0; x < w; ++x, p += 3) {
                p[0] = tb[p[0]];
                p[1] = tg[p[1]];
                p[2] = tr[p[2]];
            }
        }
    }, 64);
}

VariationLayout LayoutVariations(int CW, int CH, int Ht, int Hb, int W, int H)
{
    VariationLayout l;
    const int cw = std::max(0, (CW - 106) / 3);
    const int ch = std::max(0, (CH - Ht - Hb - 36) / 3);
    long long pw = 0, ph = 0;
    if (W > 0 && H > 0) {
        if (W >= H) {
            pw = cw;
            ph = (long long)cw * H / W;
            if (ph > ch) {
                ph = ch;
                pw = (long long)ch * W / H;
            }
        } else {
            ph = ch;
            pw = (long long)ch * W / H;
            if (pw > cw) {
                pw = cw;
                ph = (long long)cw * H / W;
            }
        }
    }
    l.pw = int(pw);
    l.ph = int(ph);
    const int a = l.pw / 2 + 5;
    const int r1 = Ht + 5, r2 = Ht + l.ph + 10, r3 = r2 + l.ph + 5;
    auto box = [&](int x, int y) { return Box{x, y, l.pw, l.ph}; };
    l.boxes[MoreRed] = box(a, r1);
    l.boxes[MoreYellow] = box(a + l.pw + 40, r1);
    l.boxes[MoreMagenta] = box(5, r2);
    l.current = box(l.pw + 45, r2);
    l.boxes[MoreGreen] = box(2 * l.pw + 85, r2);
    l.boxes[MoreBlue] = box(a, r3);
    l.boxes[MoreCyan] = box(a + l.pw + 40, r3);
    l.frame = Box{l.pw + 43, r2 - 2, l.pw + 4, l.ph + 4};
    return l;
}

void StretchNearest(Bitmap &dst, const Bitmap &src)
{
    const int dw = dst.width(), dh = dst.height(), sw = src.width(), sh = src.height();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0)
        return;
    for (int y = 0; y < dh; ++y) {
        const uint8_t *s = src.row(int((long long)y * sh / dh));
        uint8_t *d = dst.row(y);
        for (int x = 0; x < dw; ++x, d += 3) {
            const uint8_t *p = s + 3 * ((long long)x * sw / dw);
            d[0] = p[0];
            d[1] = p[1];
            d[2] = p[2];
        }
    }
}

} // namespace mv::imaging
