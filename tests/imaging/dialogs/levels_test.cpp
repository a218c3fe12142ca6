// The levels dialog driven through its events.
#include "fake_host.h"

#include "imaging/formlevels.h"
#include "imaging/levels.h"
#include "imaging/track3.h"
#include "tests/support/test_support.h"

#include <QPushButton>
#include <QRadioButton>

namespace mv::test {
namespace {

using imaging::LevelsParams;
using imaging::TFormLevels;
using imaging::TTrack3;

Bitmap levelled(const Bitmap &working, const Bitmap &committed, const LevelsParams &p, int channel)
{
    Bitmap dst = working;
    imaging::ApplyLevels(dst, committed, p, channel);
    return dst;
}

class LevelsDialog : public ::testing::Test {
protected:
    void SetUp() override { activate(form); }

    Bitmap original = randomBitmap(41, 29, 11);
    FakeHost host{original};
    TFormLevels form{host};
};

TEST_F(LevelsDialog, OpensWithTheLuminanceHistogramOfTheWorkingImage)
{
    EXPECT_EQ(form.windowTitle(), "Levels");
    EXPECT_EQ(form.Button1->text(), "Auto Level");
    EXPECT_TRUE(form.RbL->isChecked());
    EXPECT_EQ(form.channel(), imaging::AllChannels);
    EXPECT_EQ(form.PaintBox1->size(), QSize(256, 137));
    EXPECT_EQ(form.params().inMid, 127);
    EXPECT_EQ(form.params().outWhite, 255);

    imaging::Histogram l{}, r{}, g{}, b{};
    imaging::ComputeHistograms(original, l, r, g, b);
    EXPECT_EQ(form.histL, l);
    EXPECT_EQ(form.histB, b);
    Bitmap picture(256, 137);
    imaging::DrawHistogram(picture, l, imaging::AllChannels);
    EXPECT_EQ(form.histogramPicture, picture);
    EXPECT_EQ(host.repaints, 0);
    EXPECT_EQ(host.working, original);
}

// Each setter call of either slider re-applies the levels from the
// committed image and repaints.
TEST_F(LevelsDialog, SlidersPreviewTheLevels)
{
    form.Track31->setMin(50);
    form.Track31->setMax(200);
    EXPECT_EQ(form.Track31->ave(), 125);
    EXPECT_EQ(host.repaints, 2);
    EXPECT_EQ(host.working, levelled(original, original, {50, 125, 200, 0, 127, 255}, 0));

    form.Track32->setMin(20);
    EXPECT_EQ(host.working, levelled(original, original, {50, 125, 200, 20, 137, 255}, 0));
    EXPECT_EQ(host.committed, original);
    EXPECT_FALSE(host.pending);
}

// Dragging a handle re-applies at every mouse move.
TEST_F(LevelsDialog, DraggingTheWhiteHandleRepaintsAtEveryMove)
{
    TTrack3 *t = form.Track31;
    const QPoint white(t->hitRect(2).center());
    QTest::mousePress(t, Qt::LeftButton, {}, white);
    for (int x : {200, 180, 160})
        QTest::mouseMove(t, QPoint(x, white.y()));
    QTest::mouseRelease(t, Qt::LeftButton, {}, QPoint(160, white.y()));
    EXPECT_EQ(host.repaints, 3);
    EXPECT_EQ(t->max(), 160 * 255 / t->width());
    EXPECT_EQ(host.working, levelled(original, original, form.params(), 0));
    EXPECT_NE(host.working, original);
}

// A channel picked after a luminance preview: only its bytes follow the
// sliders from then on; the picking itself re-applies nothing.
TEST_F(LevelsDialog, ChannelAfterLuminanceRewritesOnlyThatChannel)
{
    form.Track31->setMax(180);
    const Bitmap luminance = host.working;
    const int repaints = host.repaints;

    QTest::mouseClick(form.RbR, Qt::LeftButton);
    EXPECT_EQ(form.channel(), imaging::RedChannel);
    EXPECT_EQ(host.repaints, repaints);
    EXPECT_EQ(host.working, luminance);
    Bitmap picture(256, 137);
    imaging::DrawHistogram(picture, form.histR, imaging::RedChannel);
    EXPECT_EQ(form.histogramPicture, picture);

    form.Track32->setMax(200);
    const Bitmap expected = levelled(luminance, original, form.params(), imaging::RedChannel);
    EXPECT_EQ(host.working, expected);
    for (int y = 0; y < original.height(); ++y)
        for (int x = 0; x < original.width(); ++x) {
            ASSERT_EQ(host.working.pixel(x, y)[0], luminance.pixel(x, y)[0]);
            ASSERT_EQ(host.working.pixel(x, y)[1], luminance.pixel(x, y)[1]);
        }
}

TEST_F(LevelsDialog, ChannelsOfTheRadioButtons)
{
    const std::pair<QRadioButton *, int> cases[] = {{form.RbG, imaging::GreenChannel},
                                                    {form.RbB, imaging::BlueChannel},
                                                    {form.RbL, imaging::AllChannels},
                                                    {form.RbR, imaging::RedChannel}};
    for (auto [rb, channel] : cases) {
        QTest::mouseClick(rb, Qt::LeftButton);
        EXPECT_EQ(form.channel(), channel) << rb->text().toStdString();
    }
}

// Darkest 0.1 % (by red plus twice blue) ends at 12, brightest at 240.
TEST_F(LevelsDialog, AutoLevelSetsTheInputPointsFromThePicture)
{
    Bitmap picture(100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            uint8_t *p = picture.pixel(x, y);
            const int v = y < 1 && x < 11 ? 12 : y == 99 && x >= 89 ? 240 : 100 + (x + y) % 50;
            p[0] = p[1] = p[2] = uint8_t(v);
        }
    FakeHost h(picture);
    TFormLevels f(h);
    activate(f);
    QTest::mouseClick(f.Button1, Qt::LeftButton);
    EXPECT_EQ(f.Track31->min(), 12);
    EXPECT_EQ(f.Track31->max(), 240);
    EXPECT_EQ(f.Track31->ave(), 126);
    EXPECT_EQ(h.repaints, 3); // each setter, then once more
    EXPECT_EQ(h.working, levelled(picture, picture, {12, 126, 240, 0, 127, 255}, 0));
    EXPECT_EQ(h.committed, picture);
}

TEST_F(LevelsDialog, OkLeavesTheCommitToTheViewer)
{
    form.Track31->setMin(30);
    const Bitmap preview = host.working;
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(host.pending);
    EXPECT_EQ(host.committed, original);
    EXPECT_EQ(host.working, preview);
    host.settlePendingCommit();
    EXPECT_EQ(host.committed, preview);
}

TEST_F(LevelsDialog, CancelRestoresTheWorkingImage)
{
    form.Track31->setMin(30);
    const int repaints = host.repaints;
    QTest::mouseClick(form.Button3, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(host.working, original);
    EXPECT_EQ(host.repaints, repaints + 1);
    EXPECT_FALSE(host.pending);
}

// Esc and L close before any control sees them and keep the preview.
TEST_F(LevelsDialog, EscAndLCloseKeepingThePreview)
{
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_L}) {
        FakeHost h(original);
        TFormLevels f(h);
        activate(f);
        f.Track32->setMax(180);
        const Bitmap preview = h.working;
        ASSERT_NE(preview, original);
        focus(f.RbG);
        QTest::keyClick(f.RbG, key);
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(f.result(), QDialog::Rejected);
        EXPECT_EQ(h.working, preview);
        EXPECT_EQ(h.committed, original);
        EXPECT_FALSE(h.pending);
    }
}

TEST_F(LevelsDialog, OtherKeysReachTheControls)
{
    focus(form.RbG);
    QTest::keyClick(form.RbG, Qt::Key_Space);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.channel(), imaging::GreenChannel);
}

} // namespace
} // namespace mv::test
