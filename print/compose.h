#pragma once
// Composing a page picture: each marked photo of a page is turned to fit its
// slot, framed to 2:3 and stretched into the slot by picking pixels. No
// widgets: the dialog previews and prints what this draws, and a batch tool
// can write the same pages.

#include "catalog/catalog.h"
#include "platform/bitmap.h"
#include "print/layout.h"

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace mv::print {

// No photo in the slot (empty on the last page, or its picture is missing).
constexpr int kNoResolution = -1;
using SlotResolutions = std::array<int, 4>;

// The page picture for a layout, white.
void PreparePage(Bitmap &page, const PageLayout &layout);

// Draws `photo` placed in a framed picture of f's size into `target` of `dst`
// by picking pixels: target pixel (x, y) shows framed pixel
// ((x - left) * f.width / target width, likewise for y). Framed pixels
// outside the photo and target pixels outside dst are left as they are.
void StretchFramed(Bitmap &dst, const Bitmap &photo, const Framing &f, const QRect &target);

// Turns, frames and stretches one photo into its slot of the page picture;
// returns the slot's resolution in dots per inch. The photo is taken by
// value because it is turned in place.
int DrawSlot(Bitmap &page, Bitmap photo, const PageLayout &layout, int slot);

// The ids of the marked entries that fill page `page` (at most perPage).
std::vector<qint32> PagePhotos(const std::vector<ThumbEntry> &thumbs, int page, int perPage);

// Reads the full picture of a photo; nullopt leaves its slot white.
using PhotoReader = std::function<std::optional<Bitmap>(qint32 id)>;

// Draws the photos of one page into the prepared page picture, one photo
// decoded at a time. Slots without a photo report kNoResolution.
SlotResolutions ComposePage(Bitmap &page, const PageLayout &layout, const std::vector<ThumbEntry> &thumbs, int pageNo,
                            const PhotoReader &read);

// The picture of a photo from the PhotoBase file that the photo list names
// for it, on connections of its own (no disc prompt; the current PhotoBase
// file is left alone). nullopt when the photo has no Bases row or no Photos
// row; engine and decoder errors are thrown.
std::optional<Bitmap> ReadPhoto(db::Connection &photoList, qint32 id);

} // namespace mv::print
