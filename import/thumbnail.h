#pragma once
// The thumbnail rule: the longer side becomes 100 pixels, the shorter one
// follows by integer division; pixels are picked, never averaged; the result
// is stored as a baseline JPEG of quality 90.

#include "platform/bitmap.h"

#include <QByteArray>
#include <QSize>

namespace mv {

// 100 x H*100/W for landscape, W*100/H x 100 otherwise (remainders dropped).
// A side that would come out 0 (a source more than 100 times longer than
// wide) is given 1 pixel, so every picture still gets an encodable thumbnail.
QSize ThumbnailSize(QSize source);

// Thumbnail pixel (dx, dy) is source pixel (dx * W / dw, dy * H / dh) with
// integer division: the plain copy-mode stretch of the whole source.
Bitmap MakeThumbnailBitmap(const Bitmap &photo);
// The size comes from `ruleSize` while the pixels are picked from the whole
// of `picture`: the video picture is sized by the 72 x 48 control showing it.
Bitmap MakeThumbnailBitmap(const Bitmap &picture, QSize ruleSize);

QByteArray MakeThumbnail(const Bitmap &photo);
QByteArray MakeThumbnail(const Bitmap &picture, QSize ruleSize);

// The same bitmap as MakeThumbnailBitmap(jpeg::decode(jpegBytes)), byte for
// byte, but libjpeg skips the rows the pick never looks at. Throws
// jpeg::Error as decode does.
Bitmap MakeThumbnailBitmapFromJpeg(const QByteArray &jpegBytes);
QByteArray MakeThumbnailFromJpeg(const QByteArray &jpegBytes);

} // namespace mv
