// The brightness, contrast and saturation dialog driven through its events.
#include "fake_host.h"

#include "imaging/adjust.h"
#include "imaging/formbrightness.h"
#include "imaging/formcommon.h"
#include "tests/support/test_support.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace mv::test {
namespace {

using imaging::TFormBrightness;

Bitmap adjusted(int n, const Bitmap &src, int value)
{
    Bitmap dst(src.width(), src.height());
    if (n == 0)
        imaging::AdjustBrightness(dst, src, value);
    else if (n == 1)
        imaging::AdjustContrast(dst, src, value);
    else
        imaging::AdjustSaturation(dst, src, value);
    return dst;
}

class BrightnessDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        activate(form);
        ASSERT_EQ(host.working, original);
    }
    QSlider *track(int n) { return n == 0 ? form.TrackBar1 : n == 1 ? form.TrackBar2 : form.TrackBar3; }
    imaging::TSpinEdit *edit(int n) { return n == 0 ? form.Edit1 : n == 1 ? form.Edit2 : form.Edit3; }

    Bitmap original = randomBitmap(37, 23, 7);
    FakeHost host{original};
    TFormBrightness form{host};
};

TEST_F(BrightnessDialog, CaptionsAndControls)
{
    EXPECT_EQ(form.windowTitle(), "Brightness, Contrast, Saturation");
    EXPECT_EQ(form.Button1->text(), "Reset");
    EXPECT_EQ(form.Button2->text(), "OK");
    EXPECT_EQ(form.Button3->text(), "Cancel");
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(track(n)->minimum(), -100);
        EXPECT_EQ(track(n)->maximum(), 100);
        EXPECT_EQ(track(n)->value(), 0);
        EXPECT_EQ(track(n)->singleStep(), 2);
        EXPECT_EQ(track(n)->tickInterval(), 10);
        EXPECT_EQ(edit(n)->minimum(), -100);
        EXPECT_EQ(edit(n)->maximum(), 100);
    }
}

// Each slider previews its own adjustment of the committed image, with the
// arrow keys moving by two.
TEST_F(BrightnessDialog, FocusedSliderPreviewsFromTheCommittedImage)
{
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        form.Button1Click(); // start each row from the opening picture
        focus(track(n));
        const int repaints = host.repaints;
        QTest::keyClick(track(n), Qt::Key_Right);
        QTest::keyClick(track(n), Qt::Key_Right);
        EXPECT_EQ(track(n)->value(), 4);
        EXPECT_EQ(host.working, adjusted(n, original, 4));
        EXPECT_EQ(host.committed, original);
        EXPECT_EQ(edit(n)->value(), 4);
        EXPECT_EQ(host.repaints, repaints + 2);
        EXPECT_TRUE(form.changed[n]);

        track(n)->setValue(-60); // a drag
        EXPECT_EQ(host.working, adjusted(n, original, -60));
        EXPECT_EQ(edit(n)->value(), -60);
    }
}

// Setting a control that lacks the focus (as the partner handlers do) is not
// a user's change: no preview, no flag.
TEST_F(BrightnessDialog, ChangesOfUnfocusedControlsAreIgnored)
{
    focus(form.Button1);
    form.TrackBar1->setValue(50);
    form.Edit2->setValue(30);
    EXPECT_EQ(host.working, original);
    EXPECT_EQ(host.repaints, 0);
    EXPECT_FALSE(form.changed[0] || form.changed[1]);
}

TEST_F(BrightnessDialog, SpinEditTextDrivesTheSlider)
{
    struct Case {
        const char *typed;
        QString shown; // what the edit holds after typing
        int used;      // the strength previewed, and the slider
    } cases[] = {
        {"-40", "-40", -40},
        {"25", "25", 25},
        {"abc", "abc", 0},   // not a number reads 0
        {"150", "15", 15},   // the third digit would leave -100..100
        {"-", "-", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        typeInto(form.Edit2, QString::fromLatin1(c.typed));
        EXPECT_EQ(form.Edit2->text(), c.shown);
        EXPECT_EQ(form.TrackBar2->value(), c.used);
        EXPECT_EQ(host.working, adjusted(1, original, c.used));
        EXPECT_EQ(host.committed, original);
        EXPECT_TRUE(form.changed[1]);
    }
}

TEST_F(BrightnessDialog, TextThatIsNoNumberShowsZeroWhenTheEditIsLeft)
{
    typeInto(form.Edit3, "x");
    focus(form.Button1);
    EXPECT_EQ(form.Edit3->text(), "0");
    EXPECT_EQ(form.Edit3->readValue(), 0);
    EXPECT_EQ(host.working, original);
}

// Moving to another slider commits the previous one's preview; the new
// slider starts at 0 from there, and Cancel keeps what was committed.
TEST_F(BrightnessDialog, SwitchingSlidersCommitsAndCancelKeepsIt)
{
    focus(form.TrackBar1);
    form.TrackBar1->setValue(30);
    const Bitmap brightened = adjusted(0, original, 30);
    ASSERT_EQ(host.working, brightened);

    QTest::mouseClick(form.TrackBar2, Qt::LeftButton, {}, form.TrackBar2->rect().center());
    EXPECT_TRUE(form.TrackBar2->hasFocus());
    EXPECT_EQ(host.committed, brightened);
    EXPECT_FALSE(form.changed[0]);
    EXPECT_EQ(form.TrackBar1->value(), 30); // the other row keeps showing its value

    form.TrackBar2->setValue(20);
    EXPECT_EQ(host.working, adjusted(1, brightened, 20));

    QTest::mouseClick(form.Button3, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(host.working, brightened);
    EXPECT_EQ(host.committed, brightened);
    EXPECT_FALSE(host.pending);
}

TEST_F(BrightnessDialog, EnteringASliderWithNothingElseChangedCommitsNothing)
{
    focus(form.TrackBar1);
    form.TrackBar1->setValue(30);
    focus(form.Button1);
    focus(form.TrackBar1); // back to the same slider: its value stays
    EXPECT_EQ(host.committed, original);
    EXPECT_EQ(form.TrackBar1->value(), 30);
    EXPECT_TRUE(form.changed[0]);
}

// A spin edit has no commit on entry: typing there replaces the other
// slider's preview instead of building on it.
TEST_F(BrightnessDialog, TypingAfterAnotherSliderReplacesItsPreview)
{
    focus(form.TrackBar1);
    form.TrackBar1->setValue(30);
    typeInto(form.Edit3, "50");
    EXPECT_EQ(host.committed, original);
    EXPECT_EQ(host.working, adjusted(2, original, 50));
}

TEST_F(BrightnessDialog, ResetRestoresTheCommittedImageAndZeroesTheControls)
{
    focus(form.TrackBar3);
    form.TrackBar3->setValue(-80);
    const int repaints = host.repaints;
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_EQ(host.working, original);
    EXPECT_EQ(host.repaints, repaints + 1);
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(track(n)->value(), 0);
        EXPECT_EQ(edit(n)->value(), 0);
        EXPECT_FALSE(form.changed[n]);
    }
    EXPECT_TRUE(form.isVisible());
}

TEST_F(BrightnessDialog, OkCommitsAtOnce)
{
    focus(form.TrackBar1);
    form.TrackBar1->setValue(-20);
    QTest::mouseClick(form.Button2, Qt::LeftButton);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(host.committed, adjusted(0, original, -20));
    EXPECT_EQ(host.working, host.committed);
    EXPECT_FALSE(host.pending);
}

TEST_F(BrightnessDialog, EscIsCancel)
{
    focus(form.TrackBar1);
    form.TrackBar1->setValue(40);
    QTest::keyClick(form.TrackBar1, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_EQ(host.working, original);
}

// Activation resets the controls but leaves the picture as it is.
TEST_F(BrightnessDialog, ActivationLeavesTheWorkingImageAlone)
{
    focus(form.TrackBar2);
    form.TrackBar2->setValue(40);
    const Bitmap preview = host.working;
    form.FormActivate();
    EXPECT_EQ(host.working, preview);
    EXPECT_EQ(form.TrackBar2->value(), 0);
    EXPECT_FALSE(form.changed[1]);
}

} // namespace
} // namespace mv::test
