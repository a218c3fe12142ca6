#pragma once
// Plain per-pixel versions of the formulas, written as literally as
// possible and without any of the library's tables, threads or vector code.
// The tests compare the library with these byte for byte.

#include "imaging/imaging.h"

namespace mv::ref {

using imaging::ToneTable;

uint8_t clampByte(long long v);

void rotateQuarter(const Bitmap &src, Bitmap &out, bool clockwise);
void rotateByAngle(Bitmap &dst, const Bitmap &src, double angle);
void applyToneTable(Bitmap &dst, const Bitmap &src, const ToneTable &t, int channel);

ToneTable brightnessTable(int b);
ToneTable contrastTable(int c); // for -255 <= c <= 127
void saturation(Bitmap &dst, const Bitmap &src, int s);

void histograms(const Bitmap &bm, imaging::Histogram &l, imaging::Histogram &r, imaging::Histogram &g,
                imaging::Histogram &b);
imaging::AutoLevels autoLevels(const Bitmap &bm, float percent);

void shiftColour(Bitmap &bm, int direction, int s);

void sharpenBlur(Bitmap &dst, const Bitmap &src, bool sharpen, int force, int threshold, int mask);

void redEye(Bitmap &dst, const Bitmap &src, int x1, int y1, int x2, int y2);

int edgeStrength(const Bitmap &bm, int x, int y);
void reduceNoise(Bitmap &dst, const Bitmap &src, const imaging::EdgeMap &map, int force, int threshold, int x1,
                 int y1, int x2, int y2);

} // namespace mv::ref
