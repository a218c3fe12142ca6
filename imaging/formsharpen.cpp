#include "imaging/formsharpen.h"

#include "imaging/formcommon.h"

#include "imaging/sharpen.h"
#include "imaging/track1up.h"
#include "platform/ui.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mv::imaging {

namespace {

TTrack1Up *makeSlider(QWidget *parent, int min, int max, int value)
{
    auto *t = new TTrack1Up(parent);
    t->setFixedSize(141, 20);
    // This order ends with the stored value: the first two re-centre it.
    t->setMin(min);
    t->setMax(max);
    t->setAve(value);
    return t;
}

} // namespace

TFormSharpen::TFormSharpen(ImageHost &host, QWidget *parent) : QDialog(parent), host_(host)
{
    setWindowTitle(QStringLiteral("Sharpen, Blur"));
    CheckBox1 = new QCheckBox(QStringLiteral("Sharpen"), this);
    CheckBox1->setChecked(true);
    Track1Up1 = makeSlider(this, 1, 8, 7);
    Track1Up2 = makeSlider(this, 0, 10, 3);
    Track1Up3 = makeSlider(this, 1, 4, 2);
    LbMask = new QLabel(this);
    LbThres = new QLabel(this);
    LbForce = new QLabel(this);

    auto *grid = new QGridLayout;
    grid->addWidget(CheckBox1, 0, 0, 3, 1, Qt::AlignVCenter);
    const QString captions[3] = {QStringLiteral("Mask"), QStringLiteral("Threshold"), QStringLiteral("Force")};
    TTrack1Up *sliders[3] = {Track1Up1, Track1Up2, Track1Up3};
    QLabel *values[3] = {LbMask, LbThres, LbForce};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(captions[i], this), i, 1);
        grid->addWidget(sliders[i], i, 2);
        grid->addWidget(values[i], i, 3);
        values[i]->setMinimumWidth(20);
        connect(sliders[i], &TTrack3::changed, this, ui::guard([this] { Track1Up1Cnange(); }));
    }
    connect(CheckBox1, &QCheckBox::clicked, this, ui::guard([this] { Track1Up1Cnange(); }));

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

void TFormSharpen::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ui::guarded([this] {
        FormShow();
        FormActivate();
    });
}

void TFormSharpen::showValues()
{
    LbMask->setText(QString::number(Track1Up1->ave()));
    LbThres->setText(QString::number(Track1Up2->ave()));
    LbForce->setText(QString::number(Track1Up3->ave()));
}

void TFormSharpen::FormActivate() { showValues(); }

void TFormSharpen::FormShow()
{
    // The dialog opens with a preview at the current settings.
    Track1Up1Cnange();
    host_.setStatusText(QString());
}

void TFormSharpen::Track1Up1Cnange()
{
    showValues();
    host_.setStatusText(QStringLiteral("Sharpen (Blur) picture. Wait please."));
    SharpenBlur(host_.workingImage(), host_.committedImage(), CheckBox1->isChecked(), Track1Up3->ave(),
                Track1Up2->ave(), Track1Up1->ave());
    host_.RepaintPicture();
    host_.setStatusText(QString());
}

void TFormSharpen::Button1Click()
{
    host_.RevertWorking();
    host_.RepaintPicture();
}

void TFormSharpen::Button2Click()
{
    host_.setPendingCommit(true);
    accept();
}

void TFormSharpen::Button3Click()
{
    Button1Click();
    QDialog::reject();
}

void TFormSharpen::reject() { Button3Click(); }

} // namespace mv::imaging
