#pragma once
// Colour variations (module Mygraph): the in-place colour shift
// and the layout arithmetic of the variations dialog.

#include "imaging/primitives.h"

namespace mv::imaging {

enum ColourDirection : int { MoreRed = 0, MoreYellow, MoreGreen, MoreCyan, MoreBlue, MoreMagenta };

// In place, per pixel, h = s / 2, each result clamped to 0..255:
//   red (R+s, G-h, B-h)  yellow (R+h, G+h, B-h)  green (R-h, G+s, B-h)
//   cyan (R-s, G+h, B+h) blue (R-h, G-h, B+s)    magenta (R+h, G-s, B+h)
// An unknown direction changes nothing.
void ShiftColour(Bitmap &bitmap, int direction, int s);

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const Box &, const Box &) = default;
};

struct VariationLayout {
    int pw = 0, ph = 0; // preview size, the same for all seven boxes
    Box current, frame; // the frame is 2 pixels wide around the current picture
    Box boxes[6];       // indexed by ColourDirection
};

// Steps 1-3 of the variations dialog's layout from the dialog's client size, the top and
// bottom panel heights and the picture's size. Integer arithmetic truncating
// toward zero. A picture or client area too small gives pw = ph = 0 (the plain
// formula would divide by zero for an empty picture).
VariationLayout LayoutVariations(int clientWidth, int clientHeight, int topHeight, int bottomHeight,
                                 int pictureWidth, int pictureHeight);

// Nearest-pixel scaling of src into the whole of dst (for the previews):
// dst(x, y) = src(x * sw / dw, y * sh / dh).
void StretchNearest(Bitmap &dst, const Bitmap &src);

} // namespace mv::imaging
