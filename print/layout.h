#pragma once
// The geometry of a printed page: the page picture at 400 pixels per inch
// (the paper less the outer border on every side), the slots that hold one,
// two or four photos, and how a photo is brought to the 2:3 proportion of a
// standard print. Pure arithmetic; every conversion truncates toward zero.

#include <QRect>
#include <QSize>
#include <stdexcept>

namespace mv::print {

enum class Paper { A4, Photo100x150 };
// How a photo reaches 2:3: white bands (Shrink) or cutting the overhang (Expand).
enum class Conversion { Shrink, Expand };

struct PageLayout {
    Paper paper = Paper::A4;
    int outer = 5; // millimetres
    int inner = 5; // millimetres
    int perPage = 1; // 1, 2 or 4
    Conversion conversion = Conversion::Shrink;
};

// Borders that leave no page or no slot: refused before anything is drawn.
class LayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

constexpr int kPixelsPerInch = 400;

// trunc(mm x 400 / 25.4).
int MillimetresToPixels(int mm);
// The paper in millimetres: 210 x 297 or 100 x 150.
QSize PaperSize(Paper paper);
// The paper's height in page-picture pixels, not truncated.
double PaperHeightPixels(Paper paper);
// Width and height of the page picture: the paper less 2 x outer.
QSize PageSize(Paper paper, int outer);
// Pages for `marked` photos at `perPage` a page (the last one may be part full).
int PageCount(int marked, int perPage);
// Slot 0..3 in page-picture pixels. A slot may reach beyond the page
// picture; drawing cuts off what lies outside.
QRect SlotRect(const PageLayout &layout, int slot);
// Throws LayoutError when a border is negative or the page picture or a slot
// would have no area; every other function assumes a layout that passed.
void CheckLayout(const PageLayout &layout);

// Whether a photo of this size is turned (counter-clockwise) before framing:
// upright slots take upright photos, lying slots lying ones.
bool TurnsForSlot(int width, int height, int perPage);

// The framed picture of a photo (after its turn): its size, and where the
// photo's top-left pixel lies in it (negative where the photo is cut).
struct Framing {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
};
Framing FrameFor(int width, int height, int perPage, Conversion conversion);

// Dots per inch of a framed picture stretched over a slot at 400 pixels per inch.
int SlotResolution(int framedWidth, int slotWidth);

} // namespace mv::print
