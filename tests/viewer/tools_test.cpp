// The pointer tools, driven by mouse events on the display surface: crop,
// quarter turns, rotation on two points, red eye, test rectangle, panning and
// the compare view.

#include "imaging/primitives.h"
#include "imaging/redeye.h"
#include "tests/viewer/viewer_support.h"
#include "viewer/geometry.h"

#include <QAction>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <cmath>

using namespace mv;
using namespace mv::test;
using viewer::Rect4;

namespace {

using Tools = ViewerTest;

Bitmap region(const Bitmap &b, int x, int y, int w, int h)
{
    Bitmap out(w, h);
    imaging::CopyRegion(b, out, x, y, w, h);
    return out;
}

} // namespace

TEST(CropFrame, FittingOrdersSnapsAndForcesTheShape)
{
    struct Case {
        Rect4 in, out;
    };
    const int W = 922, H = 692;
    const Case cases[] = {
        {{100, 100, 400, 150}, {100, 100, 400, 299}}, // 300 * 0.6666 = 199.98
        {{100, 100, 150, 400}, {100, 100, 299, 400}},
        {{400, 150, 100, 100}, {100, 100, 400, 299}}, // dragged up and left
        {{100, 400, 400, 150}, {100, 150, 400, 349}}, // dragged up
        {{9, 50, 200, 60}, {0, 50, 200, 183}},        // x1 = 9 snaps, 10 stays
        {{10, 50, 200, 60}, {10, 50, 200, 176}},
        {{300, 20, W - 10, 60}, {300, 20, W - 1, 433}}, // x2 = W - 10 snaps, W - 11 stays
        {{300, 20, W - 11, 60}, {300, 20, W - 11, 427}},
    };
    for (const Case &c : cases) {
        Rect4 r = c.in;
        viewer::FitCropFrame(r, W, H);
        EXPECT_EQ(r, c.out) << c.in.x1 << "," << c.in.y1 << "-" << c.in.x2 << "," << c.in.y2;
    }
}

TEST(Selection, MovingKeepsTheSizeAndResizingWorksAboutTheCentre)
{
    Rect4 r{100, 100, 200, 150};
    viewer::MoveSelection(r, -150, 30, 922, 692);
    EXPECT_EQ(r, (Rect4{0, 130, 100, 180})) << "stops at the left edge";
    viewer::MoveSelection(r, 5000, 5000, 922, 692);
    EXPECT_EQ(r, (Rect4{821, 641, 921, 691})) << "stops at the right and bottom edges";
    r = {100, 100, 200, 150};
    viewer::ResizeSelection(r, 21, 10, 922, 692);
    EXPECT_EQ(r, (Rect4{90, 95, 210, 155}));
    viewer::ResizeSelection(r, -21, -10, 922, 692);
    EXPECT_EQ(r, (Rect4{100, 100, 200, 150}));
}

TEST_F(Tools, CropCutsTheFramedPartOfBothImages)
{
    addPhoto(1, 1600, 1200);
    open(1);
    const Bitmap before = v->working;
    v->ActKadr->trigger();
    EXPECT_EQ(v->mouseState, 1);
    EXPECT_EQ(v->panels[3]->text(), "Click to Select first angle picture");
    drag({5, 5}, {461, 300});
    EXPECT_EQ(v->mouseState, 3);
    EXPECT_EQ(v->sel, (Rect4{0, 0, 461, 307}));
    EXPECT_EQ(v->panels[3]->text(), "Ctrl-Click To Change Size, Shift-Click To Change Position");
    // The frame is drawn over the picture: its border is black.
    EXPECT_EQ(v->Image1->grab().toImage().pixel(230, 307), qRgb(0, 0, 0));

    v->ActKadr->trigger();
    EXPECT_EQ(v->mouseState, 0);
    EXPECT_EQ(v->pictureW, 802); // 462 * 1600/922 rounds up
    EXPECT_EQ(v->pictureH, 534);
    EXPECT_EQ(v->working, region(before, 0, 0, 802, 534));
    EXPECT_EQ(v->committed, v->working);
    EXPECT_TRUE(v->imageModifiedFlag);
    EXPECT_EQ(v->panels[1]->text(), "802x534 126%");

    // Shift-drag moves the placed frame, Ctrl-drag resizes it.
    v->ActKadr->trigger();
    drag({100, 100}, {400, 150});
    EXPECT_EQ(v->sel, (Rect4{100, 100, 400, 299}));
    drag({200, 200}, {230, 210}, Qt::ShiftModifier);
    EXPECT_EQ(v->sel, (Rect4{130, 110, 430, 309}));
    drag({200, 200}, {220, 200}, Qt::ControlModifier);
    EXPECT_EQ(v->sel.x2 - v->sel.x1, 320);
}

TEST_F(Tools, QuarterTurnsBothWaysRestoreThePicture)
{
    addPhoto(1, 200, 120);
    open(1);
    const Bitmap before = v->working;
    v->ToolButton2->click();
    Bitmap expected = before;
    imaging::RotateQuarter(expected, true);
    EXPECT_EQ(v->working, expected);
    EXPECT_EQ(v->committed, expected);
    EXPECT_EQ(v->pictureW, 120);
    EXPECT_EQ(v->pictureH, 200);
    EXPECT_TRUE(v->imageModifiedFlag);
    v->imageModifiedFlag = false;
    v->ToolButton4->click();
    EXPECT_EQ(v->working, before);
    EXPECT_EQ(v->pictureW, 200);
    EXPECT_TRUE(v->imageModifiedFlag);
}

TEST_F(Tools, RotationOnTwoPointsLevelsTheLine)
{
    struct Case {
        QPoint a, b;
        float angle;
    };
    const Case cases[] = {
        {{100, 100}, {200, 110}, float(std::atan2(10.0, 100.0))},
        {{200, 110}, {100, 100}, float(std::atan2(10.0, 100.0))}, // clicked right to left
        {{300, 100}, {310, 300}, float(std::atan2(-10.0, 200.0))}, // nearly vertical: made vertical
    };
    addPhoto(1, 640, 480);
    for (const Case &c : cases) {
        open(1);
        const Bitmap before = v->working;
        v->ActRotAngle->trigger();
        EXPECT_EQ(v->panels[3]->text(), "Click to Select first point");
        drag(c.a, c.b);
        v->ActRotAngle->trigger();
        EXPECT_NEAR(viewer::twoPointAngle(v->sel), c.angle, 1e-6);
        Bitmap expected(640, 480);
        imaging::RotateByAngle(expected, before, c.angle);
        EXPECT_EQ(v->working, expected);
        EXPECT_EQ(v->committed, expected);
        EXPECT_EQ(v->panels[0]->text(), "Ready");
        EXPECT_TRUE(v->imageModifiedFlag);
        EXPECT_EQ(v->mouseState, 0);
        v->imageModifiedFlag = false;
    }
}

TEST_F(Tools, RedEyeProcessesOnDeleteRevertsOnEscAndCommitsOnRelease)
{
    Bitmap red(400, 300);
    red.fill(40, 40, 220); // B, G, R
    const QByteArray bytes = jpeg::encode(red, 90);
    Record r;
    r.id = 1;
    add(r, &bytes);
    open(1);
    const Bitmap loaded = v->working;
    v->ActNoRedEyes->trigger();
    EXPECT_EQ(v->panels[3]->text(), "Select Red Eyes. <Del>-process <Esc>-cancel");
    // A drag that leaves the surface is kept inside the picture.
    drag({100, 100}, {2000, 2000});
    const QRect pic = v->selectionInPicture();
    EXPECT_EQ(pic.right(), 399);
    EXPECT_EQ(pic.bottom(), 299);

    key(Qt::Key_Delete);
    Bitmap expected = loaded;
    imaging::ReduceRedEye(expected, loaded, pic.left(), pic.top(), pic.right(), pic.bottom());
    EXPECT_EQ(v->working, expected);
    EXPECT_NE(v->working, loaded);
    EXPECT_EQ(v->committed, loaded);
    EXPECT_FALSE(v->imageModifiedFlag) << "only the release marks the picture";

    key(Qt::Key_Escape);
    EXPECT_TRUE(v->isVisible()) << "Esc in the red-eye tool does not close";
    EXPECT_EQ(v->working, loaded);

    key(Qt::Key_Delete);
    v->ActNoRedEyes->trigger();
    EXPECT_EQ(v->committed, expected);
    EXPECT_EQ(v->working, expected);
    EXPECT_TRUE(v->imageModifiedFlag);
    EXPECT_EQ(v->mouseState, 0);
}

TEST_F(Tools, TestRectangleKeepsItsCornersAndLastToolDrawsOnTop)
{
    addPhoto(1, 1600, 1200);
    open(1);
    v->ActRect->trigger();
    v->ActNoRedEyes->trigger();
    drag({100, 100}, {300, 200});
    // The test rectangle is drawn last: its black border, not the red ellipse.
    const QImage shown = v->Image1->grab().toImage();
    EXPECT_EQ(shown.pixel(200, 100), qRgb(0, 0, 0));
    v->ActNoRedEyes->trigger();
    v->ActRect->trigger();
    EXPECT_EQ(v->sel, (Rect4{100, 100, 300, 200}));
    EXPECT_EQ(v->mouseState, 0);
    EXPECT_NE(v->Image1->grab().toImage().pixel(200, 100), qRgb(0, 0, 0));
}

TEST_F(Tools, PanningIsClickMoveClickAndRightButtonCompares)
{
    addPhoto(1, 1600, 1200);
    open(1);
    key(Qt::Key_Return); // 100 %
    QScrollBar *h = v->ScrollBox1->horizontalScrollBar();
    QScrollBar *vb = v->ScrollBox1->verticalScrollBar();
    h->setValue(100);
    vb->setValue(100);
    press({300, 300});
    release({300, 300});
    EXPECT_EQ(v->mouseState, 101);
    EXPECT_TRUE(v->panning());
    move({340, 320});
    EXPECT_EQ(h->value(), 140);
    EXPECT_EQ(vb->value(), 120);
    press({350, 330});
    release({350, 330});
    EXPECT_EQ(v->mouseState, 0);
    EXPECT_FALSE(v->panning());
    EXPECT_EQ(h->value(), 150);

    // Compare view: the committed picture while the right button is held.
    key(Qt::Key_Return);
    v->settlePendingCommit();
    v->working.fill(0, 0, 255); // a preview the way a dialog leaves it
    const QPoint at(400, 300);
    const uint8_t *c = v->committed.pixel(400 * 1600 / 922, 300 * 1200 / 692);
    press(at, Qt::RightButton);
    EXPECT_FALSE(v->showWorkingFlag);
    EXPECT_EQ(v->Image1->grab().toImage().pixel(at), qRgb(c[2], c[1], c[0]));
    release(at, Qt::RightButton);
    EXPECT_TRUE(v->showWorkingFlag);
    EXPECT_EQ(v->Image1->grab().toImage().pixel(at), qRgb(255, 0, 0));

    // Not while a tool selection is placed.
    v->ActRect->trigger();
    drag({10, 10}, {100, 100});
    ASSERT_EQ(v->mouseState, 3);
    press(at, Qt::RightButton);
    EXPECT_TRUE(v->showWorkingFlag);
    release(at, Qt::RightButton);
}
