#include "viewer/stretch.h"

#include <vector>

namespace mv::viewer {

QImage stretchPart(const Bitmap &picture, int dw, int dh, QRect area)
{
    area &= QRect(0, 0, dw, dh);
    if (area.isEmpty() || picture.isEmpty())
        return {};
    const int W = picture.width(), H = picture.height();
    QImage out(area.size(), QImage::Format_RGB32);
    // Byte offset of each output column's source pixel, computed once.
    std::vector<int> offset(std::size_t(area.width()));
    for (int i = 0; i < area.width(); ++i)
        offset[std::size_t(i)] = int(qint64(area.left() + i) * W / dw) * 3;
    const int n = area.width();
    for (int j = 0; j < area.height(); ++j) {
        const int sy = int(qint64(area.top() + j) * H / dh);
        const uint8_t *src = picture.row(sy);
        auto *dst = reinterpret_cast<quint32 *>(out.scanLine(j));
        for (int i = 0; i < n; ++i) {
            const uint8_t *p = src + offset[std::size_t(i)];
            dst[i] = 0xff000000u | (quint32(p[2]) << 16) | (quint32(p[1]) << 8) | p[0];
        }
    }
    return out;
}

} // namespace mv::viewer
