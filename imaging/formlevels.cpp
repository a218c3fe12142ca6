#include "imaging/formlevels.h"

#include "imaging/track3.h"
#include "platform/ui.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mv::imaging {

namespace {

constexpr int kBoxWidth = 256, kBoxHeight = 137;

// Forwards its paint to the dialog, which owns the picture.
class HistogramBox : public QWidget {
public:
    HistogramBox(TFormLevels &form, QWidget *parent) : QWidget(parent), form_(form)
    {
        setFixedSize(kBoxWidth, kBoxHeight);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        form_.PaintBox1Paint(painter);
    }

private:
    TFormLevels &form_;
};

// The strip under the input slider: a 100-step grey ramp, stretched.
class GreyRamp : public QWidget {
public:
    explicit GreyRamp(QWidget *parent) : QWidget(parent), ramp_(100, 1, QImage::Format_RGB32)
    {
        setFixedSize(261, 16);
        for (int x = 0; x < 100; ++x) {
            const int v = x * 255 / 99;
            ramp_.setPixel(x, 0, qRgb(v, v, v));
        }
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(rect(), ramp_);
    }

private:
    QImage ramp_;
};

} // namespace

TFormLevels::TFormLevels(ImageHost &host, QWidget *parent) : QDialog(parent), host_(host)
{
    setWindowTitle(QStringLiteral("Levels"));
    Panel1 = new QFrame(this);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto *panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    PaintBox1 = new HistogramBox(*this, Panel1);
    panelLayout->addWidget(PaintBox1);

    Track31 = new TTrack3(this);
    Track31->setFixedSize(268, 11);
    Image1 = new GreyRamp(this);
    Track32 = new TTrack3(this);
    Track32->setFixedSize(268, 16);
    connect(Track31, &TTrack3::changed, this, ui::guard([this] { Track31Cnange(); }));
    connect(Track32, &TTrack3::changed, this, ui::guard([this] { Track32Cnange(); }));

    RbL = new QRadioButton(QStringLiteral("L"), this);
    RbR = new QRadioButton(QStringLiteral("R"), this);
    RbG = new QRadioButton(QStringLiteral("G"), this);
    RbB = new QRadioButton(QStringLiteral("B"), this);
    RbL->setChecked(true);
    auto *radios = new QHBoxLayout;
    for (QRadioButton *rb : {RbL, RbR, RbG, RbB}) {
        radios->addWidget(rb);
        connect(rb, &QRadioButton::clicked, this, ui::guard([this, rb] { RbClick(rb); }));
    }
    radios->addStretch(1);

    Button1 = new QPushButton(QStringLiteral("Auto Level"), this);
    Button2 = new QPushButton(QStringLiteral("OK"), this);
    Button3 = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton *b : {Button1, Button2, Button3})
        b->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, ui::guard([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, ui::guard([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, ui::guard([this] { Button3Click(); }));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);

    auto *top = new QVBoxLayout(this);
    top->setSpacing(2);
    top->addWidget(Panel1, 0, Qt::AlignHCenter);
    top->addWidget(Track31, 0, Qt::AlignHCenter);
    top->addWidget(Image1, 0, Qt::AlignHCenter);
    top->addWidget(Track32, 0, Qt::AlignHCenter);
    top->addLayout(radios);
    top->addStretch(1);
    top->addLayout(buttons);
    resize(kDesignedWidth, kDesignedHeight);

    // The dialog sees every key before its controls.
    installEventFilter(this);
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
}

LevelsParams TFormLevels::params() const
{
    return {Track31->min(), Track31->ave(), Track31->max(), Track32->min(), Track32->ave(), Track32->max()};
}

void TFormLevels::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

bool TFormLevels::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        // A held L that opened the dialog must not close it again at once.
        if (!key->isAutoRepeat()) {
            bool taken = false;
            ui::guarded([&] { taken = FormKeyDown(key->key()); });
            if (taken)
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormLevels::FormActivate()
{
    histogramPicture.resize(PaintBox1->width(), PaintBox1->height());
    channel_ = AllChannels;
    histL.fill(0);
    histR.fill(0);
    histG.fill(0);
    histB.fill(0);
    ComputeHistograms(host_.workingImage(), histL, histR, histG, histB);
    drawHistogram();
}

void TFormLevels::drawHistogram()
{
    const Histogram *counts[4] = {&histL, &histR, &histG, &histB};
    DrawHistogram(histogramPicture, *counts[channel_], channel_);
    PaintBox1->update();
}

void TFormLevels::PaintBox1Paint(QPainter &painter)
{
    if (histogramPicture.isEmpty())
        painter.fillRect(PaintBox1->rect(), Qt::white);
    else
        painter.drawImage(0, 0, histogramPicture.view());
}

void TFormLevels::preview()
{
    ApplyLevels(host_.workingImage(), host_.committedImage(), params(), channel_);
    host_.RepaintPicture();
}

void TFormLevels::Track31Cnange() { preview(); }
void TFormLevels::Track32Cnange() { preview(); }

void TFormLevels::RbClick(QRadioButton *sender)
{
    if (sender == RbR)
        channel_ = RedChannel;
    else if (sender == RbG)
        channel_ = GreenChannel;
    else if (sender == RbB)
        channel_ = BlueChannel;
    else
        channel_ = AllChannels;
    drawHistogram();
}

void TFormLevels::Button1Click()
{
    const AutoLevels a = FindAutoLevels(host_.committedImage(), 0.1f);
    Track31->setMin(a.low);
    Track31->setMax(a.high);
    preview();
}

void TFormLevels::Button2Click()
{
    // The viewer copies the result into the committed image before its next edit.
    host_.setPendingCommit(true);
    accept();
}

void TFormLevels::Button3Click()
{
    host_.RevertWorking();
    host_.RepaintPicture();
    reject();
}

bool TFormLevels::FormKeyDown(int key)
{
    if (key != Qt::Key_Escape && key != Qt::Key_L)
        return false;
    reject();
    return true;
}

void TFormLevels::FormClose() { histogramPicture = Bitmap(); }

void TFormLevels::done(int result)
{
    QDialog::done(result);
    FormClose();
}

} // namespace mv::imaging
