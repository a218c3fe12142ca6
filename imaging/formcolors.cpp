#include "imaging/formcolors.h"

#include "imaging/formcommon.h"
#include "platform/ui.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>

namespace mv::imaging {

VariationBox::VariationBox(const Bitmap &picture, QWidget *parent) : QWidget(parent), picture_(picture)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VariationBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (picture_.isEmpty())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawImage(0, 0, picture_.view());
}

void VariationBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

TFormColors::TFormColors(ImageHost &host, QWidget *parent) : QDialog(parent), host_(host)
{
    setWindowTitle(QStringLiteral("Colors correction"));
    setSizeGripEnabled(true);

    PanelTop = new QWidget(this);
    TrackBar1 = new QSlider(Qt::Horizontal, PanelTop);
    TrackBar1->setRange(0, 100);
    TrackBar1->setValue(50);
    TrackBar1->setSingleStep(10);
    TrackBar1->setPageStep(10);
    TrackBar1->setTickInterval(10);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setFocusPolicy(Qt::StrongFocus);
    TrackBar1->setFixedWidth(200);
    Edit1 = new TSpinEdit(0, 100, 50, PanelTop);
    Edit1->setSingleStep(2);
    Label1 = new QLabel(QStringLiteral("Click on best picture for modification"), PanelTop);
    auto *top = new QHBoxLayout(PanelTop);
    top->setContentsMargins(4, 2, 4, 2);
    top->addWidget(TrackBar1);
    top->addWidget(Edit1);
    top->addWidget(Label1);
    top->addStretch(1);
    connect(TrackBar1, &QSlider::valueChanged, this, ui::guard([this] { TrackBar1Change(); }));
    connect(Edit1, &TSpinEdit::textChanged, this, ui::guard([this] { Edit1Change(); }));

    Shape1 = new QFrame(this);
    Shape1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Shape1->setLineWidth(2);
    PbCur = new VariationBox(current_, this);
    PbR = new VariationBox(previews_[MoreRed], this);
    PbY = new VariationBox(previews_[MoreYellow], this);
    PbG = new VariationBox(previews_[MoreGreen], this);
    PbC = new VariationBox(previews_[MoreCyan], this);
    PbB = new VariationBox(previews_[MoreBlue], this);
    PbM = new VariationBox(previews_[MoreMagenta], this);
    VariationBox *boxes[6] = {PbR, PbY, PbG, PbC, PbB, PbM};
    for (int d = 0; d < 6; ++d) {
        boxes_[d] = boxes[d];
        connect(boxes[d], &VariationBox::clicked, this, ui::guard([this, d] { PbClick(d); }));
    }

    PanelBottom = new QWidget(this);
    Button1 = new QPushButton(QStringLiteral("OK"), PanelBottom);
    Button2 = new QPushButton(QStringLiteral("Reset"), PanelBottom);
    Button3 = new QPushButton(QStringLiteral("Cancel"), PanelBottom);
    auto *bottom = new QHBoxLayout(PanelBottom);
    bottom->setContentsMargins(4, 1, 4, 1);
    bottom->addStretch(1);
    for (QPushButton *b : {Button1, Button2, Button3}) {
        b->setAutoDefault(false);
        bottom->addWidget(b);
    }
    connect(Button1, &QPushButton::clicked, this, ui::guard([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, ui::guard([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, ui::guard([this] { Button3Click(); }));

    resize(800, 600);
    setWindowState(Qt::WindowMaximized);
}

void TFormColors::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ui::guarded([this] { FormActivate(); });
}

void TFormColors::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    // The boxes follow the window's size, like the layout at activation.
    if (isVisible())
        ui::guarded([this] { FormActivate(); });
}

void TFormColors::arrange()
{
    const int cw = width(), ch = height();
    PanelTop->setGeometry(0, 0, cw, kTopHeight);
    PanelBottom->setGeometry(0, ch - kBottomHeight, cw, kBottomHeight);
    layout_ = LayoutVariations(cw, ch, kTopHeight, kBottomHeight, host_.pictureWidth(), host_.pictureHeight());
    const auto place = [](QWidget *w, const Box &b) { w->setGeometry(b.x, b.y, b.width, b.height); };
    place(PbCur, layout_.current);
    place(Shape1, layout_.frame);
    for (int d = 0; d < 6; ++d) {
        place(boxes_[d], layout_.boxes[d]);
        previews_[d].resize(layout_.pw, layout_.ph);
    }
    current_.resize(layout_.pw, layout_.ph);
}

void TFormColors::FormActivate()
{
    arrange();
    RefreshVariations();
}

void TFormColors::RefreshVariations()
{
    if (layout_.pw <= 0 || layout_.ph <= 0)
        return;
    StretchNearest(previews_[MoreRed], host_.workingImage());
    for (int d = 1; d < 6; ++d)
        previews_[d] = previews_[MoreRed];
    // The current box shows the same reduced copy the variations start from.
    current_ = previews_[MoreRed];
    PbCur->repaint();
    const int s = Edit1->readValue();
    for (int d = 0; d < 6; ++d) {
        ShiftColour(previews_[d], d, s);
        boxes_[d]->repaint();
    }
}

void TFormColors::PbClick(int direction)
{
    ShiftColour(host_.workingImage(), direction, Edit1->readValue());
    RefreshVariations();
}

void TFormColors::TrackBar1Change()
{
    if (!holdsFocus(TrackBar1))
        return;
    Edit1->setValue(TrackBar1->value());
    RefreshVariations();
}

void TFormColors::Edit1Change()
{
    if (!holdsFocus(Edit1))
        return;
    TrackBar1->setValue(Edit1->readValue());
}

void TFormColors::Button1Click()
{
    CopyPixels(host_.committedImage(), host_.workingImage());
    accept();
}

void TFormColors::Button2Click()
{
    CopyPixels(host_.workingImage(), host_.committedImage());
    FormActivate();
}

void TFormColors::Button3Click()
{
    CopyPixels(host_.workingImage(), host_.committedImage());
    QDialog::reject();
}

void TFormColors::reject() { Button3Click(); }

} // namespace mv::imaging
