// The slider controls, driven with QTest mouse events offscreen.
#include "imaging/track1up.h"
#include "imaging/track3.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace mv::test {
namespace {

using mv::imaging::TTrack1Up;
using mv::imaging::TTrack3;

struct Values {
    int min, ave, max;
    friend bool operator==(const Values &, const Values &) = default;
    friend std::ostream &operator<<(std::ostream &o, const Values &v)
    {
        return o << v.min << "/" << v.ave << "/" << v.max;
    }
};
Values values(const TTrack3 &t) { return {t.min(), t.ave(), t.max()}; }

TEST(TTrack3, Defaults)
{
    TTrack3 t;
    EXPECT_EQ(values(t), (Values{0, 127, 255}));
    EXPECT_EQ(t.dragState(), 0);
}

TEST(TTrack3, SettersClampAndRecentre)
{
    TTrack3 t;
    t.setMin(300); // clamped to 255, lowered to Max 255
    EXPECT_EQ(values(t), (Values{255, 255, 255}));
    TTrack3 u;
    u.setMin(10);
    u.setMax(-5); // clamped to 0, raised to Min 10
    EXPECT_EQ(values(u), (Values{10, 10, 10}));
    TTrack3 v;
    v.setMax(200);
    v.setAve(180);
    v.setMin(100);
    EXPECT_EQ(values(v), (Values{100, 150, 200}));
    v.setAve(50);
    EXPECT_EQ(v.ave(), 100);
    v.setAve(250);
    EXPECT_EQ(v.ave(), 200);
    v.setAve(-1000);
    EXPECT_EQ(v.ave(), 100);
}

TEST(TTrack3, EveryCallEmitsAfterTheValuesChanged)
{
    TTrack3 t;
    int calls = 0;
    QObject::connect(&t, &TTrack3::changed, [&](TTrack3 *sender) {
        EXPECT_EQ(sender, &t);
        ++calls;
    });
    t.setAve(127); // no change: still fires
    t.setMin(0);
    t.setMax(255);
    EXPECT_EQ(calls, 3);
}

TEST(TTrack3, FormOrderMinMaxAveKeepsTheStoredAve)
{
    TTrack1Up s;
    s.setMin(1);
    s.setMax(8);
    s.setAve(7);
    EXPECT_EQ(values(s), (Values{1, 7, 8}));
}

TEST(TTrack3, HitRectanglesFollowTheDrawnPositions)
{
    TTrack3 t;
    t.resize(265, 11); // a = 255: x = v + 4
    EXPECT_EQ(t.handleX(0), 4);
    EXPECT_EQ(t.handleX(255), 259);
    EXPECT_EQ(t.hitRect(0), QRect(QPoint(0, 0), QPoint(8, 10)));
    EXPECT_EQ(t.hitRect(1), QRect(QPoint(127, 0), QPoint(135, 10)));
    t.resize(268, 11); // a = 258: 127 * 258 / 255 + 4 = 132
    EXPECT_EQ(t.handleX(127), 132);
}

class Shown : public ::testing::Test {
protected:
    void show(QWidget &w, int width, int height)
    {
        w.resize(width, height);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    }
};

TEST_F(Shown, DragTheMinHandle)
{
    TTrack3 t;
    show(t, 265, 11);
    QSignalSpy spy(&t, &TTrack3::changed);
    QTest::mousePress(&t, Qt::LeftButton, {}, QPoint(4, 5));
    EXPECT_EQ(t.dragState(), 1);
    QTest::mouseMove(&t, QPoint(53, 5)); // 53 * 255 / 265 = 51
    EXPECT_EQ(t.min(), 51);
    EXPECT_EQ(t.ave(), (255 + 51) / 2);
    QTest::mouseMove(&t, QPoint(-30, 5)); // left of the control: negative, clamped to 0
    EXPECT_EQ(t.min(), 0);
    QTest::mouseRelease(&t, Qt::LeftButton, {}, QPoint(-30, 5));
    EXPECT_EQ(t.dragState(), 0);
    EXPECT_EQ(spy.count(), 2);
    QTest::mouseMove(&t, QPoint(100, 5)); // no handle held: nothing
    EXPECT_EQ(spy.count(), 2);
}

TEST_F(Shown, OverlapGrabsMinAndOutsidePressesDoNothing)
{
    TTrack3 t;
    show(t, 265, 11);
    t.setMax(10);
    t.setMin(0); // Ave 5: handles at 4, 9 and 14 overlap
    QTest::mousePress(&t, Qt::LeftButton, {}, QPoint(7, 5));
    EXPECT_EQ(t.dragState(), 1);
    QTest::mouseRelease(&t, Qt::LeftButton, {}, QPoint(7, 5));
    QTest::mousePress(&t, Qt::LeftButton, {}, QPoint(12, 5)); // Ave's rectangle 5..13 comes before Max's
    EXPECT_EQ(t.dragState(), 2);
    QTest::mouseRelease(&t, Qt::LeftButton, {}, QPoint(12, 5));
    QTest::mousePress(&t, Qt::LeftButton, {}, QPoint(200, 5));
    EXPECT_EQ(t.dragState(), 0);
    QTest::mouseRelease(&t, Qt::LeftButton, {}, QPoint(200, 5));
    QTest::mousePress(&t, Qt::RightButton, {}, QPoint(4, 5));
    EXPECT_EQ(t.dragState(), 0);
}

TEST_F(Shown, DragTheMaxHandleBeyondTheRightEdge)
{
    TTrack3 t;
    show(t, 265, 11);
    QTest::mousePress(&t, Qt::LeftButton, {}, QPoint(259, 5));
    EXPECT_EQ(t.dragState(), 3);
    QTest::mouseMove(&t, QPoint(500, 5));
    EXPECT_EQ(t.max(), 255);
    QTest::mouseMove(&t, QPoint(106, 5)); // 106 * 255 / 265 = 102
    EXPECT_EQ(values(t), (Values{0, 51, 102}));
    QTest::mouseRelease(&t, Qt::LeftButton, {}, QPoint(106, 5));
}

TEST_F(Shown, DrawsTheThreeHandles)
{
    TTrack3 t;
    show(t, 265, 11);
    const QImage img = t.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb black = qRgb(0, 0, 0);
    const QRgb bg = t.palette().color(QPalette::Window).rgb();
    // Min (filled) at 4, Ave (outline + line) at 131, Max (outline) at 259.
    EXPECT_EQ(img.pixel(4, 0), black);
    EXPECT_EQ(img.pixel(4, 6), black);      // inside the filled triangle
    EXPECT_EQ(img.pixel(131, 4), black);    // the vertical line
    EXPECT_EQ(img.pixel(259, 0), black);    // apex
    EXPECT_EQ(img.pixel(259, 6), bg);       // inside the outline
    EXPECT_EQ(img.pixel(255, 8), black);    // base corner
    EXPECT_EQ(img.pixel(60, 5), bg);
    EXPECT_EQ(img.pixel(4, 10), bg);        // below the handles
}

TEST(TTrack1Up, TicksScaleAndValues)
{
    TTrack1Up s;
    s.setMin(1);
    s.setMax(8);
    s.setAve(7);
    s.resize(141, 20);
    EXPECT_EQ(s.trackLeft(), 3);
    EXPECT_EQ(s.trackRight(), 135);
    EXPECT_FLOAT_EQ(s.scale(), 132.0f / 7.0f);
    EXPECT_EQ(s.handlePosition(), int(6 * double(132.0f / 7.0f)) + 3);
    EXPECT_EQ(s.valueAt(3), 1);
    EXPECT_EQ(s.valueAt(135), 8);
    EXPECT_EQ(s.valueAt(0), 0); // setAve clamps it to 1
    TTrack1Up flat;
    flat.setMin(5);
    flat.setMax(5);
    flat.resize(100, 20);
    EXPECT_EQ(flat.scale(), 0.0f);
    EXPECT_EQ(flat.valueAt(50), 5);
    EXPECT_EQ(flat.handlePosition(), 3);
}

TEST_F(Shown, TTrack1UpDrawsEightTicks)
{
    TTrack1Up s;
    s.setMin(1);
    s.setMax(8);
    s.setAve(8); // the handle sits on the last tick
    show(s, 141, 20);
    const QImage img = s.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb black = qRgb(0, 0, 0);
    const QRgb bg = s.palette().color(QPalette::Window).rgb();
    for (int i = 0; i < 7; ++i) {
        const int x = int(i * double(s.scale())) + 3;
        for (int y = 13; y <= 16; ++y)
            EXPECT_EQ(img.pixel(x, y), black) << i << " " << y;
        EXPECT_EQ(img.pixel(x + 1, 15), bg) << i;
        EXPECT_EQ(img.pixel(x, 18), bg) << i;
    }
    // Below the track, left of the handle: exactly 7 ticks; the 8th is under
    // the handle's tip.
    int ticks = 0;
    for (int x = 0; x < s.handlePosition() - 3; ++x)
        ticks += img.pixel(x, 15) == black;
    EXPECT_EQ(ticks, 7);
    EXPECT_EQ(img.pixel(s.handlePosition(), 17), black); // the tip
    EXPECT_EQ(img.pixel(70, 5), black);                   // the track's upper edge
}

TEST_F(Shown, TTrack1UpDragAndRelease)
{
    TTrack1Up s;
    s.setMin(1);
    s.setMax(8);
    s.setAve(7);
    show(s, 141, 20);
    QSignalSpy spy(&s, &TTrack3::changed);
    const int p = s.handlePosition();
    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(p + 2, 5));
    EXPECT_TRUE(s.dragging());
    QTest::mouseMove(&s, QPoint(60, 5));
    EXPECT_EQ(s.handlePosition(), 60); // the handle follows
    EXPECT_EQ(s.ave(), 7);             // the value does not change
    QTest::mouseMove(&s, QPoint(400, 5));
    EXPECT_EQ(s.handlePosition(), 135); // clamped to the track
    EXPECT_EQ(spy.count(), 0);
    QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(3, 5));
    EXPECT_FALSE(s.dragging());
    EXPECT_EQ(s.ave(), 1);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(s.handlePosition(), 3); // snaps to the drawn position of the value

    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(3, 5));
    QTest::mouseMove(&s, QPoint(300, 5));
    QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(300, 5)); // right of the last tick
    EXPECT_EQ(s.ave(), 8);
    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(s.handlePosition(), 5));
    QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(-50, 5));
    EXPECT_EQ(s.ave(), 1);
    // A press beside the handle does not start a drag.
    QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(100, 5));
    EXPECT_FALSE(s.dragging());
    QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(100, 5));
    EXPECT_EQ(s.ave(), 1);
    EXPECT_EQ(spy.count(), 3);
}

TEST_F(Shown, TTrack1UpClickOnTheHandleKeepsTheValue)
{
    TTrack1Up s;
    s.setMin(1);
    s.setMax(8);
    s.setAve(7);
    show(s, 141, 20);
    for (int v = 1; v <= 8; ++v) {
        s.setAve(v);
        const int p = s.handlePosition();
        QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(p, 5));
        QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(p, 5));
        EXPECT_EQ(s.ave(), v);
    }
}

TEST_F(Shown, TTrack1UpValueAtEachTick)
{
    TTrack1Up s;
    s.setMin(0);
    s.setMax(10);
    s.setAve(3);
    show(s, 141, 20);
    for (int v = 0; v <= 10; ++v) {
        const int x = int(v * double(s.scale())) + 3;
        QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(s.handlePosition(), 5));
        QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(x, 5));
        EXPECT_EQ(s.ave(), v) << x;
    }
}

} // namespace
} // namespace mv::test
