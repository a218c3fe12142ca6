#pragma once
// Edge-preserving noise reduction (module Mynoise).

#include "imaging/primitives.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace mv::imaging {

// One signed 16-bit edge strength per pixel (0..477).
struct EdgeMap {
    int width = 0, height = 0;
    std::vector<int16_t> values; // row by row
    void resize(int w, int h);   // all values 0
    int16_t at(int x, int y) const { return values[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    int16_t *row(int y) { return values.data() + std::size_t(y) * std::size_t(width); }
    const int16_t *row(int y) const { return values.data() + std::size_t(y) * std::size_t(width); }
};

using EdgeHistogram = std::array<uint32_t, 1024>;
using NoiseThresholds = std::array<int16_t, 11>; // T[0] = 0; T[1..10] computed, 0 where not reached

// Receives progress bar positions 0..100, on the calling thread.
using Progress = std::function<void(int)>;

struct EdgeStats {
    int maxE = 0;
    long long sumE = 0;
};

// Sobel per channel over the 3 x 3 neighbourhood (border pixels repeated),
// gx and gy each divided by 9 (truncating), m = trunc(sqrt(gx^2 + gy^2)),
// E = m(red) + m(green) + m(blue). (x, y) must lie inside the Bitmap.
int EdgeStrength(const Bitmap &bitmap, int x, int y);

// Resizes map to the Bitmap's size and fills it; returns the largest E and the
// sum of all E (0, 0 for an empty Bitmap).
EdgeStats BuildEdgeMap(const Bitmap &bitmap, EdgeMap &map);

// Step 3 of CalculateNoiseParameters: step = total / 10; the thresholds are
// the values i (0..maxE) at which the running sum of i x histogram[i] first
// reaches each next tenth, at most one per i.
NoiseThresholds ComputeNoiseThresholds(const EdgeHistogram &histogram, int maxE, long long total);

// Fills the edge map, the histogram and the thresholds from the committed
// image, reporting 0, 20, 25, 80, 90, 90, 0 as the dialog's progress bar shows.
void CalculateNoiseParameters(const Bitmap &committed, EdgeMap &map, EdgeHistogram &histogram,
                              NoiseThresholds &thresholds, const Progress &progress = {});

// The 5 x 5 weight table of a force 1..5 (clamped), rows top to bottom.
using NoiseWeights = std::array<std::array<int, 5>, 5>;
NoiseWeights NoiseWeightsFor(int force);

// Filters the rectangle x1..x2, y1..y2 (picture pixels, inclusive; clipped to
// the picture, corners swapped when reversed) from src into dst: each pixel
// whose E is below threshold becomes the weighted mean (integer division) of
// the neighbours of its 5 x 5 neighbourhood (indices clamped to the picture)
// whose E is below threshold; other pixels of dst are not written. map must be
// src's edge map (same size), otherwise nothing is done. progress receives
// (y - y1) * 100 / (y2 - y1) for every row in order, then 0.
void ReduceNoise(Bitmap &dst, const Bitmap &src, const EdgeMap &map, int force, int threshold, int x1, int y1,
                 int x2, int y2, const Progress &progress = {});

} // namespace mv::imaging
