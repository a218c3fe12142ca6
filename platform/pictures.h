#pragma once
// The two built-in pictures: the grey NO IMG placeholder drawn for a thumbnail
// or photo that cannot be decoded, and the film frame with the word Video
// from which a video entry's thumbnail is made. They are drawn pixel by pixel
// (with a tiny font of our own) so they are the same on every machine, with
// or without a display or fonts.

#include "platform/bitmap.h"

namespace mv::pictures {

Bitmap noImage();    // 40 x 40
Bitmap videoFrame(); // 100 x 66

} // namespace mv::pictures
