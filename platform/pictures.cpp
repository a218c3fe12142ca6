#include "platform/pictures.h"

#include <cstring>

namespace mv::pictures {

namespace {

struct Glyph {
    char c;
    const char *rows[7];
};

const Glyph kGlyphs[] = {
    {'V', {"10001", "10001", "10001", "10001", "10001", "01010", "00100"}},
    {'i', {"00100", "00000", "01100", "00100", "00100", "00100", "01110"}},
    {'d', {"00001", "00001", "01101", "10011", "10001", "10011", "01101"}},
    {'e', {"00000", "00000", "01110", "10001", "11111", "10000", "01110"}},
    {'o', {"00000", "00000", "01110", "10001", "10001", "10001", "01110"}},
    {'N', {"10001", "11001", "10101", "10011", "10001", "10001", "10001"}},
    {'O', {"01110", "10001", "10001", "10001", "10001", "10001", "01110"}},
    {'I', {"01110", "00100", "00100", "00100", "00100", "00100", "01110"}},
    {'M', {"10001", "11011", "10101", "10101", "10001", "10001", "10001"}},
    {'G', {"01110", "10001", "10000", "10111", "10001", "10001", "01111"}},
};

void setPixel(Bitmap &b, int x, int y, const uint8_t bgr[3])
{
    if (x < 0 || y < 0 || x >= b.width() || y >= b.height())
        return;
    std::memcpy(b.pixel(x, y), bgr, 3);
}

void fillRect(Bitmap &b, int x0, int y0, int w, int h, const uint8_t bgr[3])
{
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            setPixel(b, x, y, bgr);
}

// Text in the glyphs above, each cell 6 x 8 units, one unit = scale pixels.
void drawText(Bitmap &b, const char *text, int x0, int y0, int scale, const uint8_t bgr[3])
{
    for (int i = 0; text[i]; ++i) {
        for (const Glyph &g : kGlyphs) {
            if (g.c != text[i])
                continue;
            for (int r = 0; r < 7; ++r)
                for (int c = 0; c < 5; ++c)
                    if (g.rows[r][c] == '1')
                        fillRect(b, x0 + (i * 6 + c) * scale, y0 + r * scale, scale, scale, bgr);
        }
    }
}

int textWidth(const char *text, int scale) { return (int(std::strlen(text)) * 6 - 1) * scale; }

} // namespace

Bitmap noImage()
{
    Bitmap b(40, 40);
    b.fill(192, 192, 192);
    const uint8_t dark[3] = {96, 96, 96};
    const uint8_t light[3] = {240, 240, 240};
    fillRect(b, 0, 0, 40, 1, light);
    fillRect(b, 0, 0, 1, 40, light);
    fillRect(b, 0, 39, 40, 1, dark);
    fillRect(b, 39, 0, 1, 40, dark);
    drawText(b, "NO", (40 - textWidth("NO", 1)) / 2, 11, 1, dark);
    drawText(b, "IMG", (40 - textWidth("IMG", 1)) / 2, 22, 1, dark);
    return b;
}

Bitmap videoFrame()
{
    Bitmap b(100, 66);
    b.fill(0, 0, 0);
    const uint8_t hole[3] = {230, 230, 230};
    const uint8_t yellow[3] = {0, 220, 255};
    const uint8_t frame[3] = {70, 70, 70};
    for (int x = 4; x < 100; x += 10) {
        fillRect(b, x, 3, 5, 5, hole);
        fillRect(b, x, 58, 5, 5, hole);
    }
    fillRect(b, 6, 12, 88, 1, frame);
    fillRect(b, 6, 53, 88, 1, frame);
    drawText(b, "Video", (100 - textWidth("Video", 2)) / 2, 26, 2, yellow);
    return b;
}

} // namespace mv::pictures
