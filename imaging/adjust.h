#pragma once
// Brightness, contrast and saturation (module Mygraph). Each reads
// the committed image src and writes the working image dst. Strengths are
// -100..100 in the dialog (0 = no change); any int is handled safely.

#include "imaging/primitives.h"

namespace mv::imaging {

// T[i] = clamp(i + b, 0, 255).
ToneTable BrightnessTable(int b);

// c >= 0: k = 255 / (255 - 2c) in single precision; T[i] = 0 for i <= c,
// trunc((i - c) k) for c < i < 255 - c, 255 for i >= 255 - c. For c >= 128 the
// table is the step "0 up to c, 255 above" (all 0 for c >= 255).
// c < 0: k = (2c + 255) (1/255) in single precision; T[i] = trunc(i k - c).
// For c < -255 those values leave 0..255; they are clamped (storing
// only the low byte would wrap them; the dialog limits c to -100..100 anyway).
ToneTable ContrastTable(int c);

void AdjustBrightness(Bitmap &dst, const Bitmap &src, int b);
void AdjustContrast(Bitmap &dst, const Bitmap &src, int c);

// Per pixel: grey = (R + G + B) / 3, k = 2s + 255, each channel v becomes
// clamp(grey + (v - grey) k / 255) (integer arithmetic, truncation toward
// zero), all from the source pixel. s is clamped to -10000..10000 so that
// the products stay within 32 bits (the dialog gives -100..100).
void AdjustSaturation(Bitmap &dst, const Bitmap &src, int s);

} // namespace mv::imaging
