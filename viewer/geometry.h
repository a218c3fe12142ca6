#pragma once
// The viewer's arithmetic, free of widgets: where the picture goes in the
// viewport at each zoom level, the tool selection's fitting, moving and
// resizing, the crop rectangle and the two-point rotation angle. Integer
// divisions and float-to-int conversions truncate toward zero; the factors
// said to be single precision are floats.

#include <QRect>
#include <QSize>
#include <QString>

namespace mv::viewer {

// Zoom level 0..3: fit, 100 %, 300 %, 500 %.
int zoomFactor(int level);

struct Arrangement {
    int width = 1, height = 1;   // displayed (surface) size
    int left = 0, top = 0;       // surface position at fit level (centred)
    int scrollX = 0, scrollY = 0; // scroll positions before the viewport clamps them (zoom levels)
    QString status;              // status panel 1
};

// W x H picture, VW x VH viewport outer size, anchor (x1, y1) in picture pixels.
// Sizes that would come out below one pixel are kept at one, so nothing
// later divides by zero.
Arrangement arrange(int level, int W, int H, int VW, int VH, int anchorX, int anchorY);

// Surface-to-picture factor (single precision).
float displayScale(int W, int H, int surfaceW, int surfaceH);

struct Rect4 {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    friend bool operator==(const Rect4 &, const Rect4 &) = default;
};

// Orders the corners, snaps them to edges closer than 10 pixels and forces
// the 3:2 (or 2:3) shape with the factor 0.6666.
void FitCropFrame(Rect4 &r, int surfaceW, int surfaceH);
// Keeps the size, stops at the surface edges.
void MoveSelection(Rect4 &r, int dx, int dy, int surfaceW, int surfaceH);
// About the centre by half the displacement on each side.
void ResizeSelection(Rect4 &r, int dx, int dy, int surfaceW, int surfaceH);

// The picture rectangle a crop frame (in surface pixels) cuts from a W x H
// picture: widths rounded half up and clipped to the picture, at least one
// pixel each way.
QRect cropRectangle(const Rect4 &frame, float scale, int W, int H);

// The angle (radians, single precision) that levels the line through the two
// points, or makes it vertical when it is closer to vertical.
float twoPointAngle(Rect4 points);

// The selection in picture pixels (trunc(v * scale)), ordered and clipped to
// the picture; inclusive corners.
QRect pictureSelection(const Rect4 &r, float scale, int W, int H);

} // namespace mv::viewer
