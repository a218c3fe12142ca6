#pragma once
// The plain stretch of a picture onto the display surface, computed only for
// the part of the surface that is painted. Surface pixel (x, y) of a picture
// stretched to dw x dh shows picture pixel (x * W / dw, y * H / dh) (integer
// division), which is what a stretch of the whole picture shows; only the
// visible part is ever computed, so a paint costs the size of the window, not
// of the picture.

#include "platform/bitmap.h"

#include <QImage>
#include <QRect>

namespace mv::viewer {

// The part `area` (surface coordinates, clipped to 0..dw-1, 0..dh-1) of the
// picture stretched to dw x dh, as an RGB32 image of the clipped area's size.
QImage stretchPart(const Bitmap &picture, int dw, int dh, QRect area);

} // namespace mv::viewer
