#include "imaging/formbrightness.h"

#include "imaging/adjust.h"
#include "imaging/formcommon.h"
#include "platform/ui.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace mv::imaging {

namespace {

QSlider *makeTrack(QWidget *parent)
{
    auto *t = new QSlider(Qt::Horizontal, parent);
    t->setRange(-100, 100);
    t->setValue(0);
    t->setSingleStep(2);
    t->setPageStep(10);
    t->setTickInterval(10);
    t->setTickPosition(QSlider::TicksBelow);
    t->setFocusPolicy(Qt::StrongFocus);
    return t;
}

} // namespace

TFormBrightness::TFormBrightness(ImageHost &host, QWidget *parent) : QDialog(parent), host_(host)
{
    setWindowTitle(QStringLiteral("Brightness, Contrast, Saturation"));
    auto *grid = new QGridLayout;
    const QString captions[3] = {QStringLiteral("Brightness"), QStringLiteral("Contrast"),
                                 QStringLiteral("Saturation")};
    for (int n = 0; n < 3; ++n) {
        tracks_[n] = makeTrack(this);
        // The spin edits could take any integer; beyond +-100 the contrast
        // table degenerates into a step or an inversion, so they stop there.
        edits_[n] = new TSpinEdit(-100, 100, 0, this);
        grid->addWidget(new QLabel(captions[n], this), n, 0);
        grid->addWidget(tracks_[n], n, 1);
        grid->addWidget(edits_[n], n, 2);
        tracks_[n]->installEventFilter(this);
        connect(tracks_[n], &QSlider::valueChanged, this, ui::guard([this, n] { trackChange(n); }));
        connect(edits_[n], &TSpinEdit::textChanged, this, ui::guard([this, n] { editChange(n); }));
    }
    grid->setColumnStretch(1, 1);
    TrackBar1 = tracks_[0];
    TrackBar2 = tracks_[1];
    TrackBar3 = tracks_[2];
    Edit1 = edits_[0];
    Edit2 = edits_[1];
    Edit3 = edits_[2];

    const ButtonRow row = MakeOkCancelResetRow(
        this, [this] { Button2Click(); }, [this] { Button3Click(); }, [this] { Button1Click(); });
    Button2 = row.ok;
    Button3 = row.cancel;
    Button1 = row.reset;
    auto *buttons = row.layout;

    auto *top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addStretch(1);
    top->addLayout(buttons);
    resize(kDesignedWidth, kDesignedHeight);
}

void TFormBrightness::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

bool TFormBrightness::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        for (int n = 0; n < 3; ++n)
            if (watched == tracks_[n])
                ui::guarded([&] { enter(n); });
    }
    return QDialog::eventFilter(watched, event);
}

void TFormBrightness::FormActivate()
{
    for (int n = 0; n < 3; ++n) {
        changed[n] = false;
        // Activation leaves the working image alone, whichever control
        // happens to hold the focus.
        const QSignalBlocker bt(tracks_[n]);
        const QSignalBlocker be(edits_[n]);
        tracks_[n]->setValue(0);
        edits_[n]->setValue(0);
    }
}

void TFormBrightness::apply(int n, int value)
{
    Bitmap &dst = host_.workingImage();
    const Bitmap &src = host_.committedImage();
    switch (n) {
    case 0:
        AdjustBrightness(dst, src, value);
        break;
    case 1:
        AdjustContrast(dst, src, value);
        break;
    default:
        AdjustSaturation(dst, src, value);
        break;
    }
    host_.RepaintPicture();
}

void TFormBrightness::trackChange(int n)
{
    if (!holdsFocus(tracks_[n]))
        return;
    const int value = tracks_[n]->value();
    apply(n, value);
    edits_[n]->setValue(value);
    changed[n] = true;
}

void TFormBrightness::editChange(int n)
{
    if (!holdsFocus(edits_[n]))
        return;
    const int value = edits_[n]->readValue();
    apply(n, value);
    tracks_[n]->setValue(value); // the slider holds at most +-100
    changed[n] = true;
}

void TFormBrightness::enter(int n)
{
    const int a = (n + 1) % 3, b = (n + 2) % 3;
    if (!changed[a] && !changed[b])
        return;
    // The other slider's preview becomes the base this one works on.
    CopyPixels(host_.committedImage(), host_.workingImage());
    {
        const QSignalBlocker bt(tracks_[n]);
        const QSignalBlocker be(edits_[n]);
        tracks_[n]->setValue(0);
        edits_[n]->setValue(0);
    }
    changed[a] = changed[b] = false;
}

void TFormBrightness::Button1Click()
{
    host_.RevertWorking();
    FormActivate();
    host_.RepaintPicture();
}

void TFormBrightness::Button2Click()
{
    CopyPixels(host_.committedImage(), host_.workingImage());
    accept();
}

void TFormBrightness::Button3Click()
{
    Button1Click();
    QDialog::reject();
}

void TFormBrightness::reject() { Button3Click(); }

} // namespace mv::imaging
