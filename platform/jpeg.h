#pragma once
// JPEG coding through libjpeg(-turbo). Every libjpeg failure comes back as a
// mv::jpeg::Error carrying libjpeg's own message text, so the command in
// progress can stop and show it; nothing here ever ends the process.

#include "platform/bitmap.h"

#include <QByteArray>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>

namespace mv::jpeg {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Full-size decode with the best-quality settings (accurate integer DCT,
// fancy upsampling). Colour, greyscale and CMYK/YCCK files all come out as
// B,G,R. A file cut short is not an error as long as libjpeg itself can go
// on: libjpeg pads the missing data (the rows it never saw come out as a
// flat fill) and the partial picture is returned.
Bitmap decode(const QByteArray &bytes);
Bitmap decode(const uint8_t *data, std::size_t size);

// Decodes exactly as decode() does, but hands each output row to `sink`
// (row index, B,G,R bytes) instead of keeping the whole picture; `wanted`
// tells, before a row is decoded, whether its pixels are needed at all. Rows
// that are not wanted may be skipped only where libjpeg's output for the rows
// that are wanted stays byte-identical. `started` is called once with the
// picture size before the first row.
struct RowReader {
    std::function<void(int width, int height)> started;
    std::function<bool(int y)> wanted;
    std::function<void(int y, const uint8_t *bgr)> sink;
};
void decodeRows(const QByteArray &bytes, const RowReader &reader);

// Baseline three-component colour JPEG, library defaults otherwise.
QByteArray encode(const Bitmap &bitmap, int quality = 90);

// The picture size from the header alone; no pixel is decoded.
QSize readSize(const QByteArray &bytes);

} // namespace mv::jpeg
