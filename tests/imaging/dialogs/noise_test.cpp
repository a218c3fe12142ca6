// The noise reduction dialog driven through its events.
#include "fake_host.h"

#include "imaging/formnoise.h"
#include "imaging/noise.h"

#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

namespace mv::test {
namespace {

using imaging::TFormNoise;

// A grey ramp with a little noise and a sharp vertical edge in the middle.
Bitmap noisyPicture(int w, int h)
{
    Bitmap b(w, h);
    unsigned seed = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = int((seed >> 16) % 9) - 4;
            const int base = (x < w / 2 ? 60 : 190) + y;
            uint8_t *p = b.pixel(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = uint8_t(std::clamp(base + noise * (c + 1), 0, 255));
        }
    return b;
}

struct Reference {
    imaging::EdgeMap map;
    imaging::EdgeHistogram histogram{};
    imaging::NoiseThresholds thresholds{};
    explicit Reference(const Bitmap &committed)
    {
        imaging::CalculateNoiseParameters(committed, map, histogram, thresholds);
    }
    Bitmap reduce(Bitmap working, const Bitmap &committed, int force, int level, QRect r) const
    {
        imaging::ReduceNoise(working, committed, map, force, thresholds[level], r.left(), r.top(), r.right(),
                             r.bottom());
        return working;
    }
};

class NoiseDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.surfaceW = 30; // the picture is shown at half size
        host.surfaceH = 20;
        activate(form);
    }

    Bitmap original = noisyPicture(60, 40);
    FakeHost host{original};
    TFormNoise form{host};
    Reference ref{original};
};

TEST_F(NoiseDialog, Controls)
{
    EXPECT_EQ(form.windowTitle(), "Reduction of the noise");
    EXPECT_EQ((std::array{form.TrackBar1->minimum(), form.TrackBar1->maximum(), form.TrackBar1->value()}),
              (std::array{0, 10, 5}));
    EXPECT_EQ((std::array{form.TrackBar2->minimum(), form.TrackBar2->maximum(), form.TrackBar2->value()}),
              (std::array{1, 5, 3}));
    EXPECT_EQ(form.TrackBar1->toolTip(), "Number element containing noise");
    EXPECT_EQ(form.TrackBar2->toolTip(), "Degree of the reduction of the noise");
    EXPECT_FALSE(form.parametersComputed());
}

// The first preview computes the parameters (and puts the level back to 5);
// an empty selection previews the whole picture and becomes the surface.
TEST_F(NoiseDialog, FirstPreviewComputesAndFiltersTheWholePicture)
{
    form.TrackBar1->setValue(8);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_TRUE(form.parametersComputed());
    EXPECT_EQ(form.thresholds(), ref.thresholds);
    EXPECT_EQ(form.TrackBar1->value(), 5);
    EXPECT_EQ(host.statusTexts,
              (QStringList{"Calculate parameter.", "Advanced algoritm reduction of noise. Wait please.", ""}));
    EXPECT_EQ(host.sel.x1, 0);
    EXPECT_EQ(host.sel.y1, 0);
    EXPECT_EQ(host.sel.x2, 29);
    EXPECT_EQ(host.sel.y2, 19);
    // Surface pixel 29 is picture pixel 58: the last column and row stay.
    const Bitmap expected = ref.reduce(original, original, 3, 5, QRect(QPoint(0, 0), QPoint(58, 38)));
    EXPECT_EQ(host.working, expected);
    EXPECT_NE(host.working, original);
    EXPECT_EQ(host.committed, original);
    EXPECT_EQ(host.repaints, 1);
    EXPECT_EQ(form.ProgressBar1->value(), 0);
    EXPECT_TRUE(form.isVisible());
}

// Later previews reuse the parameters, filter only the test rectangle and
// build on what the working image holds.
TEST_F(NoiseDialog, LaterPreviewsFilterTheSelectionOverThePreviousPreview)
{
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    const Bitmap first = host.working;
    host.statusTexts.clear();
    host.sel = {12, 15, 4, 3}; // as dragged, right to left and bottom to top
    form.TrackBar1->setValue(9);
    form.TrackBar2->setValue(5);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(host.statusTexts, (QStringList{"Advanced algoritm reduction of noise. Wait please.", ""}));
    EXPECT_EQ(host.working, ref.reduce(first, original, 5, 9, QRect(QPoint(8, 6), QPoint(24, 30))));
    EXPECT_EQ(host.sel.x1, 12); // a selection is kept
}

TEST_F(NoiseDialog, LevelZeroChangesNothing)
{
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    form.Button2Click();
    form.TrackBar1->setValue(0);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(host.working, original);
}

TEST_F(NoiseDialog, OkFiltersTheWholePictureAndLeavesTheCommitToTheViewer)
{
    host.sel = {2, 2, 5, 5};
    QTest::mouseClick(form.btnOK, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(host.sel.x2, 29);
    EXPECT_EQ(host.working, ref.reduce(original, original, 3, 5, QRect(QPoint(0, 0), QPoint(58, 38))));
    EXPECT_EQ(host.committed, original);
    EXPECT_TRUE(host.pending);
}

TEST_F(NoiseDialog, ResetRedrawsTheTestRectangleOnlyWhenItsToolIsOn)
{
    for (bool tool : {false, true}) {
        host.testRect = tool;
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        const int drawings = host.testRectDrawings, repaints = host.repaints;
        QTest::mouseClick(form.Button2, Qt::LeftButton);
        EXPECT_EQ(host.working, original);
        EXPECT_EQ(host.repaints, repaints + 1);
        EXPECT_EQ(host.testRectDrawings, drawings + (tool ? 1 : 0));
    }
}

TEST_F(NoiseDialog, CancelRestoresTheWorkingImage)
{
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    QTest::mouseClick(form.Button3, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(host.working, original);
    EXPECT_FALSE(host.pending);
    EXPECT_TRUE(host.showWorkingFlag);
}

// Holding a button on the dialog shows the unfiltered picture.
TEST_F(NoiseDialog, MouseOnTheDialogShowsTheCompareView)
{
    host.keepRepaints = true;
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    const QPoint empty(form.width() - 3, 3);
    ASSERT_EQ(form.childAt(empty), nullptr);
    QTest::mousePress(&form, Qt::LeftButton, {}, empty);
    EXPECT_FALSE(host.showWorkingFlag);
    EXPECT_EQ(host.painted.back(), original);
    QTest::mouseRelease(&form, Qt::LeftButton, {}, empty);
    EXPECT_TRUE(host.showWorkingFlag);
    EXPECT_EQ(host.painted.back(), host.working);
    EXPECT_NE(host.working, original);
}

} // namespace
} // namespace mv::test
