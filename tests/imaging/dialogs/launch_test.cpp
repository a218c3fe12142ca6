// The dialogs as the viewer runs them: made by their factories, styled while
// the viewer is borderless, shown modally and closed by a scripted user.
#include "fake_host.h"

#include "imaging/adjust.h"
#include "imaging/dialog_style.h"
#include "imaging/formbrightness.h"
#include "imaging/forms.h"
#include "tests/support/test_support.h"

#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <memory>

namespace mv::test {
namespace {

using Factory = QDialog *(*)(ImageHost &, QWidget *);

struct Launch {
    const char *name;
    Factory make;
    const char *caption;
    const char *cancel; // the Cancel button's object, found by its text
};
const Launch kLaunches[] = {
    {"brightness", imaging::CreateBrightnessDialog, "Brightness, Contrast, Saturation", "Cancel"},
    {"levels", imaging::CreateLevelsDialog, "Levels", "Cancel"},
    {"colors", imaging::CreateColorsDialog, "Colors correction", "Cancel"},
    {"sharpen", imaging::CreateSharpenDialog, "Sharpen, Blur", "Cancel"},
    {"noise", imaging::CreateNoiseDialog, "Reduction of the noise", "Cancel"},
};

QPushButton *button(QDialog &d, const QString &text)
{
    for (QPushButton *b : d.findChildren<QPushButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}

// Every dialog runs modally and its Cancel ends the run with the picture
// as it was.
TEST(DialogLaunch, EachFactoryRunsModallyAndCancels)
{
    const Bitmap original = randomBitmap(40, 30, 9);
    for (const Launch &l : kLaunches) {
        SCOPED_TRACE(l.name);
        FakeHost host(original);
        std::unique_ptr<QDialog> d(l.make(host, nullptr));
        ASSERT_TRUE(d);
        EXPECT_EQ(d->windowTitle(), l.caption);
        QPushButton *cancel = button(*d, l.cancel);
        ASSERT_TRUE(cancel);
        QTimer::singleShot(0, d.get(), [&] { QTest::mouseClick(cancel, Qt::LeftButton); });
        EXPECT_EQ(d->exec(), QDialog::Rejected);
        EXPECT_EQ(host.working, original);
        EXPECT_EQ(host.committed, original);
        EXPECT_FALSE(host.pending);
    }
}

TEST(DialogLaunch, BrightnessRunModallyCommitsOnOk)
{
    const Bitmap original = randomBitmap(40, 30, 9);
    FakeHost host(original);
    std::unique_ptr<QDialog> d(imaging::CreateBrightnessDialog(host, nullptr));
    auto *form = static_cast<imaging::TFormBrightness *>(d.get());
    QTimer::singleShot(0, form, [&] {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
        focus(form->TrackBar1);
        QTest::keyClick(form->TrackBar1, Qt::Key_PageUp);
        QTest::mouseClick(form->Button2, Qt::LeftButton);
    });
    EXPECT_EQ(d->exec(), QDialog::Accepted);
    Bitmap expected(40, 30);
    imaging::AdjustBrightness(expected, original, form->TrackBar1->value());
    EXPECT_NE(form->TrackBar1->value(), 0);
    EXPECT_EQ(host.committed, expected);
}

// Borderless viewer: no frame, 170/255 opaque, white, 10 pixels less high.
// Framed viewer: the dialog is left as designed.
TEST(DialogStyle, BorderlessAndFramed)
{
    const Bitmap original = randomBitmap(40, 30, 9);
    FakeHost host(original);
    for (Factory make : {imaging::CreateBrightnessDialog, imaging::CreateLevelsDialog,
                         imaging::CreateSharpenDialog}) {
        for (bool borderless : {true, false}) {
            std::unique_ptr<QDialog> d(make(host, nullptr));
            SCOPED_TRACE(d->windowTitle().toStdString() + (borderless ? " borderless" : " framed"));
            const QSize designed = d->size();
            imaging::StyleCorrectionDialog(d.get(), borderless);
            d->show();
            QApplication::processEvents();
            EXPECT_EQ(bool(d->windowFlags() & Qt::FramelessWindowHint), borderless);
            EXPECT_EQ(d->size(), borderless ? designed - QSize(0, 10) : designed);
            EXPECT_DOUBLE_EQ(d->windowOpacity(), borderless ? imaging::kStyledOpacity : 1.0);
            if (borderless) {
                EXPECT_EQ(d->palette().color(QPalette::Window), QColor(Qt::white));
                EXPECT_TRUE(d->autoFillBackground());
            }
            d->hide();
        }
    }
}

} // namespace
} // namespace mv::test
