#pragma once
// Levels, histograms and auto level (module Mygraph), and the
// drawing of the histogram picture of the levels dialog.

#include "imaging/primitives.h"

#include <array>
#include <cstdint>

namespace mv::imaging {

using Histogram = std::array<uint32_t, 256>;

struct LevelsParams {
    int inBlack = 0, inMid = 127, inWhite = 255;    // Track31: Min, Ave, Max
    int outBlack = 0, outMid = 127, outWhite = 255; // Track32: Min, Ave, Max
};

// The levels tone table: a straight line when
// ow - ob - 2 om < 0, otherwise the curve through six points of the quadratic
// Bezier curve (ib, ob), (im, om), (iw, ow). Only indices 0..255 are ever
// written and every entry keeps the low 8 bits of its computed value, for any
// int parameters (the dialog's sliders keep them within 0..255 and ordered).
// Entries the curve's segments leave unwritten (possible only with unordered
// parameters) are 0.
ToneTable BuildLevelsTable(int ib, int im, int iw, int ob, int om, int ow);
inline ToneTable BuildLevelsTable(const LevelsParams &p)
{
    return BuildLevelsTable(p.inBlack, p.inMid, p.inWhite, p.outBlack, p.outMid, p.outWhite);
}

// Builds the table and applies it with ApplyToneTable to the chosen channels.
void ApplyLevels(Bitmap &dst, const Bitmap &src, const LevelsParams &p, int channel);

// Adds one count per pixel: L[(R + G + B) / 3], R[R], G[G], B[B].
void ComputeHistograms(const Bitmap &bitmap, Histogram &l, Histogram &r, Histogram &g, Histogram &b);

struct AutoLevels {
    int low = 256;  // 256 when no cumulative count exceeds the clip count
    int high = -1;  // -1 likewise
};

// Private histogram of (R + 2B) / 3; c = trunc(pixels * percent * 0.01);
// low = smallest j whose count 0..j exceeds c, high = largest j whose count
// j..255 exceeds c. The dialog passes 0.1 (single precision).
AutoLevels FindAutoLevels(const Bitmap &bitmap, float percent);

// Draws the histogram of one channel into picture (its size is the histogram
// box's, 256 x 137 in the dialog): white background, one vertical line per
// index in the channel's colour (L black, R red, G dark green (0, 128, 0),
// B blue), spikes above 4 x mean clipped. A line "from (x, H - 1) to (x, y)"
// follows the usual canvas line convention: the end point is
// not drawn, so a zero count draws nothing; lines are clipped to the picture.
// An empty histogram (no counts) draws only the background.
void DrawHistogram(Bitmap &picture, const Histogram &counts, int channel);

} // namespace mv::imaging
