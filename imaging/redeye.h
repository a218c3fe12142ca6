#pragma once
// Red-eye reduction (module Myredeyes).

#include "imaging/primitives.h"

namespace mv::imaging {

// Inside the ellipse inscribed in the rectangle x1..x2, y1..y2 (inclusive,
// picture pixels), every pixel of src whose red is the strongest
// (R >= G and R >= B) becomes grey v = clamp((R + G + B - 35) / 3) in dst;
// nothing else of dst is written. The ellipse is that of the rectangle as
// given (a = (x2 - x1) / 2, b = (y2 - y1) / 2, cy = (y1 + y2) / 2); pixels
// outside either picture are skipped, so a rectangle partly or wholly outside
// is clipped. A reversed rectangle (x1 > x2 or y1 > y2) is taken with its
// corners swapped. A rectangle less than 2 pixels wide (a = 0) changes
// nothing. dst == src works (each pixel is read before it is written).
void ReduceRedEye(Bitmap &dst, const Bitmap &src, int x1, int y1, int x2, int y2);

} // namespace mv::imaging
