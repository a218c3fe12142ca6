#include "imaging/formnoise.h"

#include "platform/ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace mv::imaging {

namespace {

QSlider *makeSlider(QWidget *parent, int min, int max, int value, const QString &hint)
{
    auto *t = new QSlider(Qt::Horizontal, parent);
    t->setRange(min, max);
    t->setValue(value);
    t->setSingleStep(1);
    t->setPageStep(1);
    t->setTickInterval(1);
    t->setTickPosition(QSlider::TicksBelow);
    t->setToolTip(hint);
    return t;
}

} // namespace

TFormNoise::TFormNoise(ImageHost &host, QWidget *parent) : QDialog(parent), host_(host)
{
    setWindowTitle(QStringLiteral("Reduction of the noise"));
    setSizeGripEnabled(true);
    TrackBar1 = makeSlider(this, 0, 10, 5, QStringLiteral("Number element containing noise"));
    TrackBar2 = makeSlider(this, 1, 5, 3, QStringLiteral("Degree of the reduction of the noise"));
    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Levels"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Less"), this), 0, 1);
    grid->addWidget(TrackBar1, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("More"), this), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Force"), this), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Light"), this), 1, 1);
    grid->addWidget(TrackBar2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Heavy"), this), 1, 3);
    grid->setColumnStretch(2, 1);

    Button1 = new QPushButton(QStringLiteral("Preview"), this);
    Button2 = new QPushButton(QStringLiteral("Reset"), this);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    Button3 = new QPushButton(QStringLiteral("Cancel"), this);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {Button1, Button2, btnOK, Button3}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    connect(Button1, &QPushButton::clicked, this, ui::guard([this] { Button1Click(false); }));
    connect(btnOK, &QPushButton::clicked, this, ui::guard([this] { Button1Click(true); }));
    connect(Button2, &QPushButton::clicked, this, ui::guard([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, ui::guard([this] { Button3Click(); }));

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    auto *top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(buttons);
    top->addStretch(1);
    top->addWidget(ProgressBar1);
    resize(380, 150);
}

void TFormNoise::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TFormNoise::FormActivate()
{
    const Bitmap &committed = host_.committedImage();
    edgeMap_.resize(committed.width(), committed.height());
    histogram_.fill(0);
    computed_ = false;
}

void TFormNoise::progress(int position)
{
    // No paint events are processed while the filter runs: show it at once,
    // but only when the bar would change.
    if (ProgressBar1->value() == position)
        return;
    ProgressBar1->setValue(position);
    if (ProgressBar1->isVisible())
        ProgressBar1->repaint();
}

void TFormNoise::Button1Click(bool ok)
{
    const Progress report = [this](int p) { progress(p); };
    const Bitmap &committed = host_.committedImage();
    if (!computed_) {
        host_.setStatusText(QStringLiteral("Calculate parameter."));
        CalculateNoiseParameters(committed, edgeMap_, histogram_, thresholds_, report);
        TrackBar1->setRange(0, 10);
        TrackBar1->setValue(5);
        computed_ = true;
    }
    host_.setStatusText(QStringLiteral("Advanced algoritm reduction of noise. Wait please."));
    ImageHost::Selection sel = host_.selection();
    if ((sel.x1 == sel.x2 && sel.y1 == sel.y2) || ok) {
        sel = {0, 0, host_.surfaceWidth() - 1, host_.surfaceHeight() - 1};
        host_.setSelection(sel);
    }
    const float s = host_.displayScale();
    const auto pic = [s](int v) { return int(float(v) * s); };
    ReduceNoise(host_.workingImage(), committed, edgeMap_, TrackBar2->value(), thresholds_[TrackBar1->value()],
                pic(sel.x1), pic(sel.y1), pic(sel.x2), pic(sel.y2), report);
    host_.RepaintPicture();
    host_.setStatusText(QString());
    if (ok) {
        // Like the other dialogs, the result reaches the committed image
        // before the viewer's next edit.
        host_.setPendingCommit(true);
        accept();
    }
}

void TFormNoise::Button2Click()
{
    host_.RevertWorking();
    host_.RepaintPicture();
    if (host_.testRectActive())
        host_.DrawTestRect();
}

void TFormNoise::Button3Click()
{
    // Cancel leaves the picture as the dialog found it.
    host_.RevertWorking();
    host_.RepaintPicture();
    QDialog::reject();
}

void TFormNoise::reject() { Button3Click(); }

void TFormNoise::mousePressEvent(QMouseEvent *event)
{
    QDialog::mousePressEvent(event);
    ui::guarded([this] { FormMouseDown(); });
}

void TFormNoise::mouseReleaseEvent(QMouseEvent *event)
{
    QDialog::mouseReleaseEvent(event);
    ui::guarded([this] { FormMouseUp(); });
}

void TFormNoise::FormMouseDown()
{
    host_.setShowWorking(false);
    host_.RepaintPicture();
}

void TFormNoise::FormMouseUp()
{
    host_.setShowWorking(true);
    host_.RepaintPicture();
}

void TFormNoise::FormClose()
{
    // A button released outside the dialog never reached it: do not leave
    // the viewer on the compare view.
    host_.setShowWorking(true);
    host_.RepaintPicture();
    edgeMap_ = EdgeMap();
    histogram_.fill(0);
}

void TFormNoise::done(int result)
{
    QDialog::done(result);
    FormClose();
}

} // namespace mv::imaging
