#pragma once
// What the correction dialogs need of the window that shows the picture (the
// viewer): its two images and their flags, the tool selection, repainting and
// the status text. The dialogs live here in imaging/, the viewer implements
// this interface, so neither folder has to include the other's windows.
//
// The two images follow one protocol: a preview computes the working image
// from the committed image and repaints; a commit copies working into
// committed; a revert copies committed into working. A dialog that accepts
// its result without copying sets the pending-commit flag, and the viewer
// makes the copy before the next edit (settlePendingCommit).

#include "platform/bitmap.h"

#include <QRect>
#include <QString>

class QWidget;

namespace mv {

class ImageHost {
public:
    virtual ~ImageHost() = default;

    // The picture as shown and edited, and the picture as of the last commit.
    virtual Bitmap &workingImage() = 0;
    virtual Bitmap &committedImage() = 0;
    // Size of the working image (refreshed after loads and size changes).
    virtual int pictureWidth() const = 0;
    virtual int pictureHeight() const = 0;

    virtual bool pendingCommit() const = 0;
    virtual void setPendingCommit(bool on) = 0;
    // If the pending-commit flag is set: committed := working, flag cleared.
    virtual void settlePendingCommit() = 0;

    virtual bool imageModified() const = 0;
    virtual void setImageModified(bool on) = 0;

    // True: the working image (and the overlay) is painted; false: the
    // committed image (the compare view).
    virtual bool showWorking() const = 0;
    virtual void setShowWorking(bool on) = 0;

    // Paints the working or the committed image onto the display surface.
    virtual void RepaintPicture() = 0;
    // working := committed (reset and cancel of the dialogs).
    virtual void RevertWorking() = 0;

    // The tool selection x1, y1, x2, y2 in display-surface pixels, as the
    // pointer left it (not ordered, possibly partly outside the surface).
    struct Selection {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    };
    virtual Selection selection() const = 0;
    virtual void setSelection(const Selection &s) = 0;
    // The selection in picture pixels through the display scale, ordered and
    // clipped to the picture (inclusive corners), ready for the pixel code.
    virtual QRect selectionInPicture() const = 0;
    // The display surface's size (the displayed size of the picture).
    virtual int surfaceWidth() const = 0;
    virtual int surfaceHeight() const = 0;
    // Surface-to-picture factor: picture height / surface height for a
    // picture higher than wide, picture width / surface width otherwise.
    virtual float displayScale() const = 0;

    // The test-rectangle tool (limits the noise preview) and its drawing.
    virtual bool testRectActive() const = 0;
    virtual void DrawTestRect() = 0;

    // First panel of the viewer's status bar, repainted at once because long
    // work that follows processes no paint events.
    virtual void setStatusText(const QString &text) = 0;

    // The viewer is in its borderless full-screen mode (dialogs are styled).
    virtual bool isBorderless() const = 0;
    // Parent for the dialogs.
    virtual QWidget *hostWidget() = 0;
};

} // namespace mv
