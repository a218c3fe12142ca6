#pragma once
// A stand-in for the viewer: the two images, the flags, the selection and the
// display surface, with a count of repaints and a record of status texts.

#include "imaging/image_host.h"
#include "imaging/primitives.h"

#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

namespace mv::test {

class FakeHost : public ImageHost {
public:
    Bitmap working, committed;
    bool pending = false, modified = false, showWorkingFlag = true, testRect = false, borderless = true;
    int repaints = 0, testRectDrawings = 0;
    // What the working image held at each repaint, when asked to keep it.
    bool keepRepaints = false;
    std::vector<Bitmap> painted;
    std::vector<bool> paintedWorking; // the show-working flag at each repaint
    QStringList statusTexts;
    Selection sel;
    int surfaceW = 0, surfaceH = 0;

    // Both images hold the picture, as after a settled load.
    explicit FakeHost(const Bitmap &picture) : working(picture), committed(picture)
    {
        surfaceW = picture.width();
        surfaceH = picture.height();
    }

    Bitmap &workingImage() override { return working; }
    Bitmap &committedImage() override { return committed; }
    int pictureWidth() const override { return working.width(); }
    int pictureHeight() const override { return working.height(); }
    bool pendingCommit() const override { return pending; }
    void setPendingCommit(bool on) override { pending = on; }
    void settlePendingCommit() override
    {
        if (!pending)
            return;
        imaging::CopyPixels(committed, working);
        pending = false;
    }
    bool imageModified() const override { return modified; }
    void setImageModified(bool on) override { modified = on; }
    bool showWorking() const override { return showWorkingFlag; }
    void setShowWorking(bool on) override { showWorkingFlag = on; }
    void RepaintPicture() override
    {
        ++repaints;
        paintedWorking.push_back(showWorkingFlag);
        if (keepRepaints)
            painted.push_back(showWorkingFlag ? working : committed);
    }
    void RevertWorking() override { imaging::CopyPixels(working, committed); }
    Selection selection() const override { return sel; }
    void setSelection(const Selection &s) override { sel = s; }
    QRect selectionInPicture() const override
    {
        const float s = displayScale();
        const int x1 = int(float(std::min(sel.x1, sel.x2)) * s), x2 = int(float(std::max(sel.x1, sel.x2)) * s);
        const int y1 = int(float(std::min(sel.y1, sel.y2)) * s), y2 = int(float(std::max(sel.y1, sel.y2)) * s);
        return QRect(QPoint(x1, y1), QPoint(x2, y2)).intersected(QRect(0, 0, working.width(), working.height()));
    }
    int surfaceWidth() const override { return surfaceW; }
    int surfaceHeight() const override { return surfaceH; }
    float displayScale() const override
    {
        if (working.height() > working.width())
            return float(working.height()) / float(surfaceH);
        return float(working.width()) / float(surfaceW);
    }
    bool testRectActive() const override { return testRect; }
    void DrawTestRect() override { ++testRectDrawings; }
    void setStatusText(const QString &text) override { statusTexts << text; }
    bool isBorderless() const override { return borderless; }
    QWidget *hostWidget() override { return nullptr; }
};

// Shows the dialog as the active window, so focus changes reach it as they
// would on screen.
inline void activate(QDialog &dialog)
{
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

// Gives w the keyboard focus the way a click or Tab would (the focus-in
// handlers run).
inline void focus(QWidget *w)
{
    w->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(w->hasFocus() || w->isAncestorOf(QApplication::focusWidget()));
}

// Replaces a spin edit's text by typing, as the user would.
inline void typeInto(QWidget *spin, const QString &text)
{
    focus(spin);
    QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(spin, Qt::Key_Delete);
    QTest::keyClicks(spin, text);
}

} // namespace mv::test
