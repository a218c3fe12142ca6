#include "print/formprint.h"

#include "platform/ui.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>
#include <stdexcept>

namespace mv {

namespace {

constexpr int kPreviewHeight = 361;
constexpr int kPreviewMaxWidth = 311;

// The small green arrows of the paging buttons.
QIcon greenArrow(bool left)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0, 96, 0));
    p.setBrush(QColor(0, 160, 0));
    const QPolygon arrow = left ? QPolygon({QPoint(2, 8), QPoint(9, 2), QPoint(9, 5), QPoint(14, 5), QPoint(14, 11),
                                            QPoint(9, 11), QPoint(9, 14)})
                                : QPolygon({QPoint(14, 8), QPoint(7, 2), QPoint(7, 5), QPoint(2, 5), QPoint(2, 11),
                                            QPoint(7, 11), QPoint(7, 14)});
    p.drawPolygon(arrow);
    return QIcon(pixmap);
}

// Whole millimetres, as typed; anything else stops the command with the
// conversion's own message.
int wholeNumber(const QLineEdit *edit)
{
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    if (!ok)
        throw std::runtime_error(QStringLiteral("'%1' is not a valid integer value").arg(edit->text()).toStdString());
    return value;
}

QLabel *label(const QString &text, QWidget *parent, int x, int y)
{
    auto *l = new QLabel(text, parent);
    l->move(x, y);
    return l;
}

} // namespace

void ActPrintExecute(Catalog &catalog, const PrintHooks &hooks, QWidget *parent)
{
    if (catalog.markedCount() == 0) {
        ui::information(QStringLiteral("The photos for a seal are not chosen!"));
        return;
    }
    TFormPrint dialog(catalog, hooks, parent);
    dialog.exec();
}

void SetUpPrinter(QPrinter &printer, print::Paper paper, int outer)
{
    if (paper == print::Paper::A4)
        printer.setPageSize(QPageSize(QPageSize::A4));
    else
        printer.setPageSize(QPageSize(QSizeF(100, 150), QPageSize::Millimeter, QStringLiteral("100 x 150"),
                                      QPageSize::ExactMatch));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(outer, outer, outer, outer), QPageLayout::Millimeter);
}

void PrintPagePicture(QPrinter &printer, const Bitmap &page)
{
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("The printer could not start the print job.");
    const QRect target(0, 0, printer.width() - 1, printer.height() - 1);
    painter.drawImage(target, page.view());
    // Ending the job sends the page.
    if (!painter.end())
        throw std::runtime_error("The printer could not finish the print job.");
}

TFormPrint::TFormPrint(Catalog &catalog, PrintHooks hooks, QWidget *parent)
    : QDialog(parent), catalog_(catalog), hooks_(std::move(hooks)), printer_(QPrinter::HighResolution)
{
    setWindowTitle(QStringLiteral("Print Dialog"));
    setFixedSize(591, 498);

    GroupBox1 = new QGroupBox(QStringLiteral("Paper"), this);
    GroupBox1->setGeometry(8, 8, 124, 76);
    RbA4 = new QRadioButton(QStringLiteral("A4 (210 x 297)"), GroupBox1);
    RbA4->setGeometry(10, 22, 110, 22);
    RbA6 = new QRadioButton(QStringLiteral("100 x 150"), GroupBox1);
    RbA6->setGeometry(10, 46, 110, 22);

    GroupBox2 = new QGroupBox(QStringLiteral("Border"), this);
    GroupBox2->setGeometry(140, 8, 124, 76);
    label(QStringLiteral("Outer"), GroupBox2, 10, 25);
    Edit1 = new QLineEdit(GroupBox2);
    Edit1->setGeometry(56, 21, 36, 22);
    label(QStringLiteral("mm"), GroupBox2, 96, 25);
    label(QStringLiteral("Inner"), GroupBox2, 10, 50);
    Edit2 = new QLineEdit(GroupBox2);
    Edit2->setGeometry(56, 46, 36, 22);
    label(QStringLiteral("mm"), GroupBox2, 96, 50);

    RadioGroup1 = new QGroupBox(QStringLiteral("Convert to 3/2 prop"), this);
    RadioGroup1->setGeometry(8, 92, 124, 76);
    RBShrink = new QRadioButton(QStringLiteral("Shrink to Size"), RadioGroup1);
    RBShrink->setGeometry(10, 22, 110, 22);
    RBExpand = new QRadioButton(QStringLiteral("Expand to Size"), RadioGroup1);
    RBExpand->setGeometry(10, 46, 110, 22);

    GroupBox3 = new QGroupBox(QStringLiteral("Number Photos of Page"), this);
    GroupBox3->setGeometry(140, 92, 124, 100);
    RadioButton1 = new QRadioButton(QStringLiteral("1 "), GroupBox3);
    RadioButton1->setGeometry(10, 22, 100, 22);
    RadioButton2 = new QRadioButton(QStringLiteral("2 "), GroupBox3);
    RadioButton2->setGeometry(10, 46, 100, 22);
    RadioButton3 = new QRadioButton(QStringLiteral("4 "), GroupBox3);
    RadioButton3->setGeometry(10, 70, 100, 22);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Image1 = new QLabel(this);
    Image1->setGeometry(272, 12, kPreviewMaxWidth, kPreviewHeight);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Bevel1->setGeometry(Image1->geometry().adjusted(-1, -1, 1, 1));

    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setIcon(greenArrow(true));
    SpeedButton1->setGeometry(272, 382, 26, 24);
    SpeedButton2 = new QToolButton(this);
    SpeedButton2->setIcon(greenArrow(false));
    SpeedButton2->setGeometry(302, 382, 26, 24);
    Label5 = new QLabel(this);
    Label5->setGeometry(272, 410, 300, 18);
    Label6 = new QLabel(this);
    Label6->setGeometry(272, 430, 300, 18);

    Button4 = new QPushButton(QStringLiteral("Preview"), this);
    Button4->setGeometry(272, 462, 94, 28);
    Button2 = new QPushButton(QStringLiteral("Print"), this);
    Button2->setGeometry(380, 462, 94, 28);
    Button3 = new QPushButton(QStringLiteral("Cancel"), this);
    Button3->setGeometry(488, 462, 94, 28);
    for (QPushButton *b : {Button4, Button2, Button3})
        b->setAutoDefault(false);

    connect(Button4, &QPushButton::clicked, this, ui::guard([this] { Button4Click(); }));
    connect(Button2, &QPushButton::clicked, this, ui::guard([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    connect(SpeedButton1, &QToolButton::clicked, this, ui::guard([this] { SpeedButton1Click(); }));
    connect(SpeedButton2, &QToolButton::clicked, this, ui::guard([this] { SpeedButton2Click(); }));
    for (QRadioButton *b : {RadioButton1, RadioButton2, RadioButton3})
        connect(b, &QRadioButton::clicked, this, ui::guard([this] { RadioButton2Click(); }));
    connect(RbA4, &QRadioButton::clicked, this, ui::guard([this] { RbA4Click(); }));
    connect(RbA6, &QRadioButton::clicked, this, ui::guard([this] { RbA6Click(); }));

    FormCreate();
}

TFormPrint::~TFormPrint() = default;

void TFormPrint::FormCreate()
{
    RbA4->setChecked(true);
    RBShrink->setChecked(true);
    RadioButton1->setChecked(true);
    Edit1->setText(QStringLiteral("5"));
    Edit2->setText(QStringLiteral("5"));
    currentPage_ = 0;
    pageCount_ = 0;
    page_ = Bitmap();
    preview_ = Bitmap(kPreviewMaxWidth, kPreviewHeight);
    preview_.fill(255, 255, 255);
}

void TFormPrint::FormClose()
{
    page_ = Bitmap();
    preview_ = Bitmap();
}

void TFormPrint::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TFormPrint::status(const QString &text)
{
    if (hooks_.status)
        hooks_.status(text);
}

print::PageLayout TFormPrint::layout() const
{
    print::PageLayout l;
    l.paper = RbA4->isChecked() ? print::Paper::A4 : print::Paper::Photo100x150;
    l.outer = wholeNumber(Edit1);
    l.inner = wholeNumber(Edit2);
    l.perPage = RadioButton3->isChecked() ? 4 : RadioButton2->isChecked() ? 2 : 1;
    l.conversion = RBExpand->isChecked() ? print::Conversion::Expand : print::Conversion::Shrink;
    print::CheckLayout(l);
    return l;
}

void TFormPrint::ComposePage(int page)
{
    status(QStringLiteral("Proceccing page ") + QString::number(page + 1) + QStringLiteral(". Please wait..."));
    const print::PageLayout l = layout();
    resolutions_ = print::ComposePage(page_, l, catalog_.thumbs(), page,
                                      [this](qint32 id) { return print::ReadPhoto(catalog_.ADOConnection1, id); });
    status(QStringLiteral("Ready"));
}

void TFormPrint::Button4Click()
{
    const int perPage = RadioButton3->isChecked() ? 4 : RadioButton2->isChecked() ? 2 : 1;
    markedCount_ = catalog_.markedCount();
    pageCount_ = print::PageCount(markedCount_, perPage);
    // The paging buttons keep the page within the pages; a page left over
    // from other settings is brought back to the last one.
    currentPage_ = std::clamp(currentPage_, 0, std::max(0, pageCount_ - 1));
    SpeedButton1->setEnabled(currentPage_ != 0);
    SpeedButton2->setEnabled(currentPage_ < pageCount_ - 1);

    preview_.fill(255, 255, 255);
    showPreview();

    const print::PageLayout l = layout();
    const float ratio = l.paper == print::Paper::A4 ? 0.7070707f : 0.6666667f;
    const int previewWidth = int(float(kPreviewHeight) * ratio);
    Image1->resize(previewWidth, kPreviewHeight);
    Bevel1->setGeometry(Image1->geometry().adjusted(-1, -1, 1, 1));
    previewScale_ = float(print::PaperHeightPixels(l.paper) / kPreviewHeight);

    print::PreparePage(page_, l);
    Label6->clear();
    ComposePage(currentPage_);
    Label5->setText(QStringLiteral("%1 of %2").arg(currentPage_ + 1).arg(pageCount_));

    const double scale = previewScale_;
    const int h = int(double(l.outer) * print::kPixelsPerInch / 25.4 / scale);
    preview_.resize(previewWidth, kPreviewHeight);
    preview_.fill(255, 255, 255);
    const QRect target(h, h, int(page_.width() / scale), int(page_.height() / scale));
    print::StretchFramed(preview_, page_, print::Framing{page_.width(), page_.height(), 0, 0}, target);

    QStringList texts;
    for (int slot = 0; slot < l.perPage; ++slot) {
        const int dpi = resolutions_[std::size_t(slot)];
        texts << (dpi == print::kNoResolution ? QStringLiteral("-") : QString::number(dpi) + QStringLiteral("dpi"));
    }
    Label6->setText(texts.join(QStringLiteral("  ")));
    showPreview();
}

void TFormPrint::showPreview()
{
    Image1->setPixmap(QPixmap::fromImage(preview_.view().copy(0, 0, Image1->width(), Image1->height())));
    Image1->repaint();
}

void TFormPrint::Button2Click()
{
    const print::PageLayout l = layout();
    SetUpPrinter(printer_, l.paper, l.outer);
    // Cancelling prints nothing and says so: the dialog ends as cancelled.
    if (!ui::delegate().choosePrinter(printer_)) {
        reject();
        return;
    }
    repaint();
    markedCount_ = catalog_.markedCount();
    pageCount_ = print::PageCount(markedCount_, l.perPage);
    currentPage_ = 0;
    while (currentPage_ < pageCount_) {
        Button4Click();
        PrintPagePicture(printer_, page_);
        ++currentPage_;
    }
    accept();
}

void TFormPrint::SpeedButton2Click()
{
    ++currentPage_;
    if (currentPage_ < pageCount_)
        Button4Click();
    else
        currentPage_ = std::max(0, pageCount_ - 1);
}

void TFormPrint::SpeedButton1Click()
{
    --currentPage_;
    if (currentPage_ < 0)
        currentPage_ = 0;
    else
        Button4Click();
}

void TFormPrint::RadioButton2Click()
{
    currentPage_ = 0;
    Label5->clear();
}

void TFormPrint::RbA4Click()
{
    for (QRadioButton *b : {RadioButton1, RadioButton2, RadioButton3})
        b->setEnabled(true);
    RadioButton2->setChecked(true);
    RadioButton2Click();
}

void TFormPrint::RbA6Click()
{
    RadioButton1->setEnabled(true);
    RadioButton1->setChecked(true);
    RadioButton2->setEnabled(false);
    RadioButton3->setEnabled(false);
    RadioButton2Click();
}

} // namespace mv
