#pragma once
// The pixel-level primitives shared by the viewer, the correction
// dialogs and printing (module Mygraph), and the tone table.
//
// Numeric conventions of the whole library: float-to-int
// conversions and integer divisions truncate toward zero; factors that the
// formulas "hold in single precision" are rounded to float when computed and the
// products that use them are formed in double (which is exact for the small
// integer operands involved). All functions iterate over the destination and
// never read or write outside either Bitmap: where source and destination
// differ in size, only the common part is processed (clipping here keeps every
// caller safe).

#include "platform/bitmap.h"

#include <array>
#include <cstdint>

namespace mv::imaging {

using mv::Bitmap;

// 256 entries; entry i is the output value for the input channel value i.
using ToneTable = std::array<uint8_t, 256>;

// Which channels a tone table is applied to.
enum Channel : int { AllChannels = 0, RedChannel = 1, GreenChannel = 2, BlueChannel = 3 };

ToneTable IdentityTable();

// dst(x, y) = src(x, y) over the common size; neither Bitmap is resized.
void CopyPixels(Bitmap &dst, const Bitmap &src);

// dst(c, r) = src(x0 + c, y0 + r) for c < w, r < h; the region is clipped to
// both Bitmaps, so nothing is ever written outside.
// w or h <= 0 changes nothing.
void CopyRegion(const Bitmap &src, Bitmap &dst, int x0, int y0, int w, int h);

// Turns the Bitmap in place by a quarter turn; width and height swap.
// Clockwise: src(x, y) goes to column H-1-y of row x. Counter-clockwise:
// to column y of row W-1-x.
// The temporary picture is kept for the next call (see primitives.cpp);
// ReleaseScratchMemory frees it.
void RotateQuarter(Bitmap &bitmap, bool clockwise);
void ReleaseScratchMemory();

// Inverse mapping about (W/2, H/2), no interpolation, black outside:
// sx = trunc(r cos(atan2(dy, dx) + angle)) + cx, likewise sy with sin. The
// result is bit-identical to that formula evaluated in double precision; the
// fast path uses dx cos(angle) - dy sin(angle) and falls back to the formula
// wherever the value lies close to an integer. A non-finite angle gives a
// black picture (the formula would convert NaN to an integer). dst and src
// should have the same size; only the common part is written.
void RotateByAngle(Bitmap &dst, const Bitmap &src, double angle);

// The per-pixel formula for one destination pixel, exactly as defined;
// returns false when the source position lies outside the picture.
bool RotateSourcePixel(int x, int y, int width, int height, double angle, int &sx, int &sy);

// Each chosen channel becomes table[value in src]; channels not chosen are not
// written. dst may be src. An unknown selector changes nothing.
void ApplyToneTable(Bitmap &dst, const Bitmap &src, const ToneTable &table, int channel);

} // namespace mv::imaging
