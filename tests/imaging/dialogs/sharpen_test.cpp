// The sharpen and blur dialog driven through its events.
#include "fake_host.h"

#include "imaging/formsharpen.h"
#include "imaging/sharpen.h"
#include "imaging/track1up.h"
#include "tests/support/test_support.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

namespace mv::test {
namespace {

using imaging::TFormSharpen;

Bitmap filtered(const Bitmap &src, bool sharpen, int force, int threshold, int mask)
{
    Bitmap dst(src.width(), src.height());
    imaging::SharpenBlur(dst, src, sharpen, force, threshold, mask);
    return dst;
}

const QString kWait = QStringLiteral("Sharpen (Blur) picture. Wait please.");

class SharpenDialog : public ::testing::Test {
protected:
    void SetUp() override { activate(form); }

    // Releases the handle of a slider at the drawn tick of value v.
    void release(imaging::TTrack1Up *t, int v)
    {
        const QPoint handle = t->handleRect().center();
        const int x = int(float(v - t->min()) * t->scale()) + t->trackLeft();
        QTest::mousePress(t, Qt::LeftButton, {}, handle);
        QTest::mouseMove(t, QPoint(x, handle.y()));
        QTest::mouseRelease(t, Qt::LeftButton, {}, QPoint(x, handle.y()));
    }

    Bitmap original = randomBitmap(33, 21, 5);
    FakeHost host{original};
    TFormSharpen form{host};
};

TEST_F(SharpenDialog, OpensWithAPreviewAtTheDefaults)
{
    EXPECT_EQ(form.windowTitle(), "Sharpen, Blur");
    EXPECT_TRUE(form.CheckBox1->isChecked());
    EXPECT_EQ(form.CheckBox1->text(), "Sharpen");
    EXPECT_EQ(form.LbMask->text(), "7");
    EXPECT_EQ(form.LbThres->text(), "3");
    EXPECT_EQ(form.LbForce->text(), "2");
    EXPECT_EQ((std::array{form.Track1Up1->min(), form.Track1Up1->max()}), (std::array{1, 8}));
    EXPECT_EQ((std::array{form.Track1Up2->min(), form.Track1Up2->max()}), (std::array{0, 10}));
    EXPECT_EQ((std::array{form.Track1Up3->min(), form.Track1Up3->max()}), (std::array{1, 4}));
    EXPECT_EQ(host.working, filtered(original, true, 2, 3, 7));
    EXPECT_EQ(host.committed, original);
    EXPECT_EQ(host.repaints, 1);
    EXPECT_EQ(host.statusTexts, (QStringList{kWait, "", ""}));
}

TEST_F(SharpenDialog, CheckBoxSwitchesToTheBlur)
{
    QTest::mouseClick(form.CheckBox1, Qt::LeftButton);
    EXPECT_FALSE(form.CheckBox1->isChecked());
    EXPECT_EQ(host.working, filtered(original, false, 2, 3, 7));
    EXPECT_EQ(host.repaints, 2);
    EXPECT_EQ(host.statusTexts.mid(host.statusTexts.size() - 2), (QStringList{kWait, ""}));
}

// Each slider reaches its own parameter, and the label follows.
TEST_F(SharpenDialog, SlidersSetForceThresholdAndMask)
{
    release(form.Track1Up3, 4);
    EXPECT_EQ(form.LbForce->text(), "4");
    EXPECT_EQ(host.working, filtered(original, true, 4, 3, 7));
    release(form.Track1Up2, 9);
    EXPECT_EQ(form.LbThres->text(), "9");
    EXPECT_EQ(host.working, filtered(original, true, 4, 9, 7));
    release(form.Track1Up1, 2);
    EXPECT_EQ(form.LbMask->text(), "2");
    EXPECT_EQ(host.working, filtered(original, true, 4, 9, 2));
    EXPECT_EQ(host.committed, original);
}

TEST_F(SharpenDialog, ResetKeepsTheSettings)
{
    release(form.Track1Up3, 3);
    const int repaints = host.repaints;
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(host.working, original);
    EXPECT_EQ(host.repaints, repaints + 1);
    EXPECT_EQ(form.Track1Up3->ave(), 3);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(SharpenDialog, OkLeavesTheCommitToTheViewer)
{
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(host.pending);
    EXPECT_EQ(host.committed, original);
    EXPECT_EQ(host.working, filtered(original, true, 2, 3, 7));
}

TEST_F(SharpenDialog, CancelAndEscRestoreTheWorkingImage)
{
    for (bool esc : {false, true}) {
        FakeHost h(original);
        TFormSharpen f(h);
        activate(f);
        ASSERT_NE(h.working, original);
        if (esc)
            QTest::keyClick(&f, Qt::Key_Escape);
        else
            QTest::mouseClick(f.Button3, Qt::LeftButton);
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(f.result(), QDialog::Rejected);
        EXPECT_EQ(h.working, original);
        EXPECT_FALSE(h.pending);
    }
}

} // namespace
} // namespace mv::test
