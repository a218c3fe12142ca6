#pragma once
// Marvisto imaging library (spec subsystem 6).
//
// Pure pixel code, free functions over mv::Bitmap (24-bit, rows from the top,
// bytes blue, green, red), library marvisto_imaging_core (no widgets):
//   primitives.h  Part 6.1  CopyPixels, CopyRegion, RotateQuarter,
//                           RotateByAngle, ApplyToneTable, the tone table
//   adjust.h      Part 6.2  brightness, contrast, saturation
//   levels.h      Part 6.3  levels table, histograms, auto level, histogram picture
//   colours.h     Part 6.4  colour shift, layout of the variations dialog
//   sharpen.h     Part 6.5  3 x 3 blur and sharpening
//   redeye.h      Part 6.6  red-eye reduction
//   noise.h       Part 6.7  edge map, thresholds, noise reduction
//   parallel.h    thread count and vector-code switches (results never
//                 depend on either)
// Widgets, library marvisto_imaging (Qt Widgets):
//   track3.h, track1up.h  Part 6.8  the slider controls TTrack3 and TTrack1Up
//
// Every function is bit-exact to its Part's arithmetic (truncation toward
// zero, single-precision factors where the Part says so); fast paths
// (threads, SIMD, tables) are tested byte for byte against plain per-pixel
// versions of the formulas. Where the spec would crash or write outside a
// Bitmap, the functions clip instead; each header says how.

#include "imaging/adjust.h"
#include "imaging/colours.h"
#include "imaging/levels.h"
#include "imaging/noise.h"
#include "imaging/parallel.h"
#include "imaging/primitives.h"
#include "imaging/redeye.h"
#include "imaging/sharpen.h"
