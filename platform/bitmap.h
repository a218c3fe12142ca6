#pragma once
// The in-memory 24-bit raster every image operation works on: rows from the
// top, three bytes a pixel in the order blue, green, red. Rows are padded to
// a multiple of four bytes so a Bitmap can be painted by Qt without a copy.

#include <QImage>
#include <cstdint>
#include <vector>

namespace mv {

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height); // all pixels black

    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; }
    bool isEmpty() const { return width_ <= 0 || height_ <= 0; }

    uint8_t *row(int y) { return data_.data() + std::size_t(y) * std::size_t(stride_); }
    const uint8_t *row(int y) const { return data_.data() + std::size_t(y) * std::size_t(stride_); }
    uint8_t *pixel(int x, int y) { return row(y) + 3 * x; }
    const uint8_t *pixel(int x, int y) const { return row(y) + 3 * x; }

    // Changes the size; the old contents are lost and every pixel is black.
    void resize(int width, int height);
    void fill(uint8_t blue, uint8_t green, uint8_t red);

    // A QImage that shares this Bitmap's memory (valid while the Bitmap is
    // neither resized nor destroyed), for painting without copying.
    QImage view() const;
    // A deep copy of any QImage, converted to 24-bit BGR.
    static Bitmap fromImage(const QImage &image);

    static int strideFor(int width) { return (width * 3 + 3) & ~3; }

    friend bool operator==(const Bitmap &a, const Bitmap &b);

private:
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    std::vector<uint8_t> data_;
};

} // namespace mv
