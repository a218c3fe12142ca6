// The colour variations dialog driven through its events.
#include "fake_host.h"

#include "imaging/colours.h"
#include "imaging/formcolors.h"
#include "imaging/formcommon.h"
#include "tests/support/test_support.h"

#include <QFrame>
#include <QPushButton>
#include <QSlider>

namespace mv::test {
namespace {

using imaging::TFormColors;
using imaging::VariationBox;

Bitmap shifted(Bitmap b, int direction, int s)
{
    imaging::ShiftColour(b, direction, s);
    return b;
}

class ColorsDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A known client size instead of the screen's.
        form.setWindowState(Qt::WindowNoState);
        form.resize(900, 700);
        activate(form);
    }
    // The previews as they should be: the working image reduced to the
    // preview size, shifted by strength s.
    void expectPreviews(const Bitmap &working, int s)
    {
        Bitmap reduced(form.layout().pw, form.layout().ph);
        imaging::StretchNearest(reduced, working);
        EXPECT_EQ(form.currentPreview(), reduced);
        for (int d = 0; d < 6; ++d)
            EXPECT_EQ(form.preview(d), shifted(reduced, d, s)) << "direction " << d;
    }

    Bitmap original = randomBitmap(120, 80, 3);
    FakeHost host{original};
    TFormColors form{host};
};

TEST_F(ColorsDialog, BoxesAroundTheCurrentPicture)
{
    EXPECT_EQ(form.windowTitle(), "Colors correction");
    EXPECT_EQ(form.Edit1->value(), 50);
    EXPECT_EQ(form.TrackBar1->value(), 50);
    EXPECT_EQ(form.Edit1->singleStep(), 2);
    const imaging::VariationLayout expected =
        imaging::LayoutVariations(form.width(), form.height(), 31, 29, 120, 80);
    ASSERT_GT(expected.pw, 0);
    EXPECT_EQ(form.layout().pw, expected.pw);
    const auto geometry = [](const imaging::Box &b) { return QRect(b.x, b.y, b.width, b.height); };
    EXPECT_EQ(form.PbCur->geometry(), geometry(expected.current));
    EXPECT_EQ(form.Shape1->geometry(), geometry(expected.frame));
    VariationBox *boxes[6] = {form.PbR, form.PbY, form.PbG, form.PbC, form.PbB, form.PbM};
    for (int d = 0; d < 6; ++d)
        EXPECT_EQ(boxes[d]->geometry(), geometry(expected.boxes[d])) << d;
    expectPreviews(original, 50);
    EXPECT_EQ(host.repaints, 0); // the dialog covers the viewer
}

// Clicks shift the working image itself, so they add up.
TEST_F(ColorsDialog, ClicksOnVariationsAccumulate)
{
    QTest::mouseClick(form.PbR, Qt::LeftButton);
    QTest::mouseClick(form.PbC, Qt::LeftButton);
    const Bitmap expected = shifted(shifted(original, imaging::MoreRed, 50), imaging::MoreCyan, 50);
    EXPECT_EQ(host.working, expected);
    EXPECT_EQ(host.committed, original);
    expectPreviews(expected, 50);
    QTest::mouseClick(form.PbCur, Qt::LeftButton); // the centre has no click action
    EXPECT_EQ(host.working, expected);
}

TEST_F(ColorsDialog, TrackBarSetsTheStrengthAndRebuildsThePreviews)
{
    focus(form.TrackBar1);
    QTest::keyClick(form.TrackBar1, Qt::Key_Home);
    EXPECT_EQ(form.Edit1->value(), 0);
    expectPreviews(original, 0);
    for (int d = 0; d < 6; ++d)
        EXPECT_EQ(form.preview(d), form.currentPreview());
    QTest::mouseClick(form.PbG, Qt::LeftButton);
    EXPECT_EQ(host.working, original);
}

// Typing moves the track bar but does not rebuild the previews; the next
// click uses the typed strength.
TEST_F(ColorsDialog, SpinEditSetsTheStrengthForTheNextClick)
{
    typeInto(form.Edit1, "20");
    EXPECT_EQ(form.TrackBar1->value(), 20);
    expectPreviews(original, 50);
    QTest::mouseClick(form.PbB, Qt::LeftButton);
    const Bitmap expected = shifted(original, imaging::MoreBlue, 20);
    EXPECT_EQ(host.working, expected);
    expectPreviews(expected, 20);
}

TEST_F(ColorsDialog, ResetRestoresTheOpeningPicture)
{
    QTest::mouseClick(form.PbY, Qt::LeftButton);
    QTest::mouseClick(form.PbM, Qt::LeftButton);
    focus(form.TrackBar1);
    QTest::keyClick(form.TrackBar1, Qt::Key_Left); // 40
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    EXPECT_EQ(host.working, original);
    EXPECT_EQ(host.committed, original);
    expectPreviews(original, 40);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(ColorsDialog, OkCommits)
{
    QTest::mouseClick(form.PbR, Qt::LeftButton);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(host.committed, shifted(original, imaging::MoreRed, 50));
    EXPECT_EQ(host.working, host.committed);
    EXPECT_FALSE(host.pending);
}

TEST_F(ColorsDialog, CancelAndEscRestoreTheWorkingImage)
{
    for (bool esc : {false, true}) {
        FakeHost h(original);
        TFormColors f(h);
        activate(f);
        QTest::mouseClick(f.PbG, Qt::LeftButton);
        ASSERT_NE(h.working, original);
        if (esc)
            QTest::keyClick(&f, Qt::Key_Escape);
        else
            QTest::mouseClick(f.Button3, Qt::LeftButton);
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(f.result(), QDialog::Rejected);
        EXPECT_EQ(h.working, original);
        EXPECT_EQ(h.committed, original);
    }
}

} // namespace
} // namespace mv::test
