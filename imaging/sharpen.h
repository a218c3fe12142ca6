#pragma once
// 3 x 3 blur and the unsharp-mask sharpening built on it
// (module Mygaus).

#include "imaging/primitives.h"

namespace mv::imaging {

struct SharpenKernel {
    int corner = 7, edge = 10, centre = 32; // 4 corner + 4 edge + centre = 100
};

// The kernel follows the Mask slider: corner c = mask, edge e = trunc(1.5 c), centre 100 - 4c - 4e.
// mask is raised to at least 1 and lowered to at most 10, the largest value
// whose centre weight (0) is not negative (mask 7: 7 10 32; mask 8: 8 12 20).
SharpenKernel SharpenKernelFor(int mask);

struct SharpenParams {
    bool sharpen = true;
    int force = 2;     // clamped to 1..4
    int threshold = 3; // clamped to 0..20
    int mask = 7;      // see SharpenKernelFor
};

// dst is completely rewritten over the common size: the blur
// (sum of weight x value over the 3 x 3 neighbourhood, border pixels repeated,
// divided by 100), and with the sharpen flag, per channel, d = src - blur;
// |d| >= threshold gives clamp(src + d force), otherwise src. dst == src is
// handled (through a copy of the source).
void SharpenBlur(Bitmap &dst, const Bitmap &src, const SharpenParams &p);
inline void SharpenBlur(Bitmap &dst, const Bitmap &src, bool sharpen, int force, int threshold, int mask)
{
    SharpenBlur(dst, src, SharpenParams{sharpen, force, threshold, mask});
}

} // namespace mv::imaging
