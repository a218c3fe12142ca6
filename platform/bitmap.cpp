#include "platform/bitmap.h"

#include <algorithm>
#include <cstring>

namespace mv {

Bitmap::Bitmap(int width, int height) { resize(width, height); }

void Bitmap::resize(int width, int height)
{
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    stride_ = strideFor(width_);
    data_.assign(std::size_t(stride_) * std::size_t(height_), 0);
}

void Bitmap::fill(uint8_t blue, uint8_t green, uint8_t red)
{
    for (int y = 0; y < height_; ++y) {
        uint8_t *p = row(y);
        for (int x = 0; x < width_; ++x, p += 3) {
            p[0] = blue;
            p[1] = green;
            p[2] = red;
        }
    }
}

QImage Bitmap::view() const
{
    if (isEmpty())
        return QImage();
    return QImage(data_.data(), width_, height_, stride_, QImage::Format_BGR888);
}

Bitmap Bitmap::fromImage(const QImage &image)
{
    Bitmap b(image.width(), image.height());
    if (b.isEmpty())
        return b;
    const QImage src = image.convertToFormat(QImage::Format_BGR888);
    for (int y = 0; y < b.height_; ++y)
        std::memcpy(b.row(y), src.constScanLine(y), std::size_t(b.width_) * 3);
    return b;
}

bool operator==(const Bitmap &a, const Bitmap &b)
{
    if (a.width_ != b.width_ || a.height_ != b.height_)
        return false;
    for (int y = 0; y < a.height_; ++y)
        if (std::memcmp(a.row(y), b.row(y), std::size_t(a.width_) * 3) != 0)
            return false;
    return true;
}

} // namespace mv
