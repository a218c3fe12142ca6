#pragma once
// Marvisto imaging library: the picture corrections and their numeric rules.
//
// Pure pixel code, free functions over mv::Bitmap (24-bit, rows from the top,
// bytes blue, green, red), library marvisto_imaging_core (no widgets):
//   primitives.h  CopyPixels, CopyRegion, RotateQuarter,
//                           RotateByAngle, ApplyToneTable, the tone table
//   adjust.h      brightness, contrast, saturation
//   levels.h      levels table, histograms, auto level, histogram picture
//   colours.h     colour shift, layout of the variations dialog
//   sharpen.h     3 x 3 blur and sharpening
//   redeye.h      red-eye reduction
//   noise.h       edge map, thresholds, noise reduction
//   slider_handles.h  the values and setter rules of the three-handle sliders
//   parallel.h    thread count and vector-code switches (results never
//                 depend on either)
// Widgets, library marvisto_imaging (Qt Widgets):
//   track3.h, track1up.h  the slider controls TTrack3 and TTrack1Up
//
// Every function is bit-exact to its defined arithmetic (truncation toward
// zero, single-precision factors where the arithmetic asks for them); fast paths
// (threads, SIMD, tables) are tested byte for byte against plain per-pixel
// versions of the formulas. Where a plain formula would crash or write outside a
// Bitmap, the functions clip instead; each header says how.

#include "imaging/adjust.h"
#include "imaging/colours.h"
#include "imaging/levels.h"
#include "imaging/noise.h"
#include "imaging/parallel.h"
#include "imaging/primitives.h"
#include "imaging/redeye.h"
#include "imaging/sharpen.h"
#include "imaging/slider_handles.h"
