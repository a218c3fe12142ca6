#include "print/formprint.h"

#include "platform/jpeg.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

QT_BEGIN_NAMESPACE
// Readable failure messages.
inline void PrintTo(const QString &s, std::ostream *os) { *os << s.toStdString(); }
QT_END_NAMESPACE

using namespace mv;

namespace {

class PrintDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog = std::make_unique<Catalog>(folder.path());
        catalog->openAtStartup();
        hooks.status = [this](const QString &t) {
            statuses << t;
            if (onStatus)
                onStatus(t);
        };
    }
    void TearDown() override { form.reset(); }

    // A ListPhoto record in the current PhotoBase file and, unless `bytes` is
    // empty, its picture; the entry joins the thumbnail list, marked or not.
    void add(qint32 id, const QByteArray &bytes, bool marked = true)
    {
        catalog->ADOConnection1.execute(QStringLiteral("insert into ListPhoto (id, Base, Date) values (%1, %2, '2020:01:01')")
                                            .arg(id)
                                            .arg(catalog->currentBaseId()));
        if (!bytes.isEmpty()) {
            db::Query p(&catalog->ADOConnection2, db::CursorType::Dynamic);
            p.setSql(sql::kEmptyPhoto);
            p.open();
            p.append();
            p.setValue(QStringLiteral("Id"), id);
            p.setValue(QStringLiteral("Photo"), bytes);
            p.post();
        }
        catalog->thumbs().push_back({id, marked});
    }
    void addPhotos(int n, int w = 60, int h = 40)
    {
        const QByteArray bytes = jpeg::encode(test::randomBitmap(w, h, 1), 90);
        for (int i = 1; i <= n; ++i)
            add(qint32(i), bytes);
    }
    TFormPrint &open()
    {
        form = std::make_unique<TFormPrint>(*catalog, hooks);
        form->show();
        return *form;
    }
    void click(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5)); }

    test::ScriptedUi ui;
    test::ProgramFolder folder;
    std::unique_ptr<Catalog> catalog;
    PrintHooks hooks;
    QStringList statuses;
    std::function<void(const QString &)> onStatus;
    std::unique_ptr<TFormPrint> form;
};

// Pages and their sizes in points, from a PDF file's page objects.
struct PdfPages {
    int count = 0;
    QSizeF size;
};
PdfPages readPdf(const QString &path)
{
    const QByteArray pdf = test::readFile(path);
    PdfPages out;
    const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    out.count = int(QString::fromLatin1(pdf).count(page));
    const QRegularExpression box(QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)"));
    const auto m = box.match(QString::fromLatin1(pdf));
    if (m.hasMatch())
        out.size = QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    return out;
}

} // namespace

TEST_F(PrintDialog, OpensWithItsControlsAndDefaults)
{
    addPhotos(1);
    TFormPrint &f = open();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Print Dialog"));
    EXPECT_EQ(f.size(), QSize(591, 498));
    EXPECT_EQ(f.GroupBox1->title(), QStringLiteral("Paper"));
    EXPECT_EQ(f.GroupBox2->title(), QStringLiteral("Border"));
    EXPECT_EQ(f.RadioGroup1->title(), QStringLiteral("Convert to 3/2 prop"));
    EXPECT_EQ(f.GroupBox3->title(), QStringLiteral("Number Photos of Page"));
    EXPECT_EQ(f.RbA4->text(), QStringLiteral("A4 (210 x 297)"));
    EXPECT_EQ(f.RbA6->text(), QStringLiteral("100 x 150"));
    EXPECT_EQ(f.RBShrink->text(), QStringLiteral("Shrink to Size"));
    EXPECT_EQ(f.RBExpand->text(), QStringLiteral("Expand to Size"));
    EXPECT_EQ(f.RadioButton1->text(), QStringLiteral("1 "));
    EXPECT_EQ(f.RadioButton2->text(), QStringLiteral("2 "));
    EXPECT_EQ(f.RadioButton3->text(), QStringLiteral("4 "));
    EXPECT_EQ(f.Button4->text(), QStringLiteral("Preview"));
    EXPECT_EQ(f.Button2->text(), QStringLiteral("Print"));
    EXPECT_EQ(f.Button3->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(f.RbA4->isChecked());
    EXPECT_TRUE(f.RBShrink->isChecked());
    EXPECT_TRUE(f.RadioButton1->isChecked());
    for (QRadioButton *b : {f.RadioButton1, f.RadioButton2, f.RadioButton3})
        EXPECT_TRUE(b->isEnabled());
    EXPECT_EQ(f.Edit1->text(), QStringLiteral("5"));
    EXPECT_EQ(f.Edit2->text(), QStringLiteral("5"));
    EXPECT_EQ(f.Image1->size(), QSize(311, 361));
    EXPECT_TRUE(f.Label5->text().isEmpty());
    EXPECT_TRUE(f.Label6->text().isEmpty());
    EXPECT_EQ(f.currentPage(), 0);
    EXPECT_EQ(f.pageCount(), 0);
}

TEST_F(PrintDialog, PaperChoiceRulesThePhotosPerPage)
{
    addPhotos(1);
    TFormPrint &f = open();
    click(f.RadioButton3);
    click(f.RbA6);
    EXPECT_TRUE(f.RadioButton1->isChecked());
    EXPECT_TRUE(f.RadioButton1->isEnabled());
    EXPECT_FALSE(f.RadioButton2->isEnabled());
    EXPECT_FALSE(f.RadioButton3->isEnabled());
    click(f.RbA4);
    EXPECT_TRUE(f.RadioButton2->isChecked());
    for (QRadioButton *b : {f.RadioButton1, f.RadioButton2, f.RadioButton3})
        EXPECT_TRUE(b->isEnabled());
}

TEST_F(PrintDialog, PagingThroughSevenPhotos)
{
    addPhotos(7);
    add(8, QByteArray(), false); // unmarked: not counted
    TFormPrint &f = open();
    struct Case {
        QRadioButton *layout;
        int pages;
    };
    for (const Case &c : {Case{f.RadioButton1, 7}, Case{f.RadioButton2, 4}, Case{f.RadioButton3, 2}}) {
        click(c.layout);
        EXPECT_TRUE(f.Label5->text().isEmpty()); // a layout change starts over at the first page
        click(f.Button4);
        EXPECT_EQ(f.markedCount(), 7);
        EXPECT_EQ(f.pageCount(), c.pages);
        EXPECT_EQ(f.Label5->text(), QStringLiteral("1 of %1").arg(c.pages));
        EXPECT_FALSE(f.SpeedButton1->isEnabled());
        EXPECT_TRUE(f.SpeedButton2->isEnabled());
        for (int p = 2; p <= c.pages; ++p) {
            click(f.SpeedButton2);
            EXPECT_EQ(f.Label5->text(), QStringLiteral("%1 of %2").arg(p).arg(c.pages));
        }
        EXPECT_FALSE(f.SpeedButton2->isEnabled());
        EXPECT_TRUE(f.SpeedButton1->isEnabled());
        // Next on the last page stays there without redrawing.
        statuses.clear();
        f.SpeedButton2Click();
        EXPECT_EQ(f.currentPage(), c.pages - 1);
        EXPECT_TRUE(statuses.isEmpty());
        click(f.SpeedButton1);
        EXPECT_EQ(f.Label5->text(), QStringLiteral("%1 of %2").arg(c.pages - 1).arg(c.pages));
    }
    // The last page of four holds three photos; the fourth slot is empty.
    f.SpeedButton2Click();
    EXPECT_EQ(f.currentPage(), 1);
    EXPECT_EQ(f.Label6->text(), QStringLiteral("10dpi  10dpi  10dpi  -"));
    // Previous on the first page stays there.
    f.SpeedButton1Click();
    f.SpeedButton1Click();
    f.SpeedButton1Click();
    EXPECT_EQ(f.currentPage(), 0);
}

TEST_F(PrintDialog, NextBeforeAnyPreviewKeepsTheFirstPage)
{
    addPhotos(3);
    TFormPrint &f = open();
    f.SpeedButton2Click();
    EXPECT_EQ(f.currentPage(), 0);
    click(f.Button4);
    EXPECT_EQ(f.Label5->text(), QStringLiteral("1 of 3"));
}

TEST_F(PrintDialog, PreviewShowsTheWholePaperWithThePageInsideItsBorder)
{
    // A dark 2:3 photo expanded to fill its slot covers the whole page picture.
    add(1, jpeg::encode([] {
            Bitmap b(40, 60);
            b.fill(0, 0, 0);
            return b;
        }(), 90));
    TFormPrint &f = open();
    click(f.RBExpand);
    statuses.clear();
    click(f.Button4);
    EXPECT_EQ(statuses, (QStringList{QStringLiteral("Proceccing page 1. Please wait..."), QStringLiteral("Ready")}));
    EXPECT_EQ(f.Image1->size(), QSize(255, 361));
    EXPECT_EQ(f.Bevel1->geometry(), f.Image1->geometry().adjusted(-1, -1, 1, 1));
    EXPECT_NEAR(f.previewScale(), 12.956, 0.001);
    const Bitmap &preview = f.previewPicture();
    ASSERT_EQ(preview.width(), 255);
    ASSERT_EQ(preview.height(), 361);
    auto dark = [&](int x, int y) { return preview.pixel(x, y)[0] < 60; };
    // The page lies from (6, 6) to (249, 354), right and bottom edges exclusive.
    for (int y = 0; y < 361; ++y)
        for (int x = 0; x < 255; ++x)
            ASSERT_EQ(dark(x, y), x >= 6 && x < 249 && y >= 6 && y < 354) << x << "," << y;
    EXPECT_EQ(f.Label6->text(), QStringLiteral("5dpi"));

    // On 100 x 150 the preview is 240 wide.
    click(f.RbA6);
    click(f.Button4);
    EXPECT_EQ(f.Image1->size(), QSize(240, 361));
    EXPECT_EQ(f.pagePicture().width(), 1417);
    EXPECT_EQ(f.pagePicture().height(), 2204);
}

TEST_F(PrintDialog, ResolutionsOfCameraPhotos)
{
    const QByteArray camera = jpeg::encode(test::randomBitmap(2048, 1536, 2), 90);
    add(1, camera);
    add(2, camera);
    TFormPrint &f = open();
    click(f.Button4);
    EXPECT_EQ(f.Label6->text(), QStringLiteral("195dpi"));
    click(f.RBExpand);
    click(f.Button4);
    EXPECT_EQ(f.Label6->text(), QStringLiteral("173dpi"));
    click(f.RBShrink);
    click(f.RadioButton2);
    click(f.Button4);
    EXPECT_EQ(f.Label6->text(), QStringLiteral("281dpi  281dpi"));
}

TEST_F(PrintDialog, MissingPictureLeavesItsSlotEmpty)
{
    addPhotos(1);
    add(2, QByteArray()); // a record without its picture
    TFormPrint &f = open();
    click(f.RadioButton2);
    click(f.Button4);
    EXPECT_EQ(f.Label6->text(), QStringLiteral("7dpi  -"));
    // Its half of the page stays white.
    const Bitmap &page = f.pagePicture();
    const uint8_t *p = page.pixel(1500, 3400);
    EXPECT_EQ(p[0] + p[1] + p[2], 3 * 255);
}

TEST_F(PrintDialog, BadBordersStopThePreviewWithAMessage)
{
    addPhotos(1);
    TFormPrint &f = open();
    struct Case {
        QLineEdit *edit;
        QString text;
        QString message;
    };
    const Case cases[] = {
        {f.Edit1, QStringLiteral("abc"), QStringLiteral("'abc' is not a valid integer value")},
        {f.Edit2, QStringLiteral("2.5"), QStringLiteral("'2.5' is not a valid integer value")},
        {f.Edit1, QStringLiteral("105"), QStringLiteral("The borders leave no room for the photos.")},
        {f.Edit2, QStringLiteral("-3"), QStringLiteral("A border cannot be negative.")},
    };
    for (const Case &c : cases) {
        f.Edit1->setText(QStringLiteral("5"));
        f.Edit2->setText(QStringLiteral("5"));
        c.edit->setText(c.text);
        ui.clear();
        statuses.clear();
        click(f.Button4);
        ASSERT_EQ(ui.shown.size(), 1u) << c.text.toStdString();
        EXPECT_EQ(ui.shown[0].icon, ui::Icon::Error);
        EXPECT_EQ(ui.shown[0].text, c.message);
        EXPECT_TRUE(statuses.isEmpty()); // nothing was composed
        EXPECT_TRUE(f.Label5->text().isEmpty());
    }
}

TEST_F(PrintDialog, CommandRefusesWithoutMarkedPhotos)
{
    add(1, QByteArray(), false);
    ActPrintExecute(*catalog, hooks);
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("The photos for a seal are not chosen!")});
    EXPECT_EQ(ui.shown[0].icon, ui::Icon::Information);

    // With a mark the dialog opens modally, fresh.
    catalog->thumbs()[0].marked = true;
    ui.clear();
    QString title;
    QTimer::singleShot(0, [&] {
        if (auto *d = qobject_cast<TFormPrint *>(QApplication::activeModalWidget())) {
            title = d->windowTitle();
            d->Button3->click();
        }
    });
    ActPrintExecute(*catalog, hooks);
    EXPECT_EQ(title, QStringLiteral("Print Dialog"));
    EXPECT_TRUE(ui.shown.empty());
}

class PrintOutput : public PrintDialog {
protected:
    void usePdf(TFormPrint &f)
    {
        f.printer().setOutputFormat(QPrinter::PdfFormat);
        // Each page is a job of its own: every job gets its own file,
        // switched when the page's composition begins.
        onStatus = [this, &f](const QString &t) {
            if (t.startsWith(QStringLiteral("Proceccing page ")))
                f.printer().setOutputFileName(dir.filePath(QStringLiteral("page%1.pdf").arg(++jobs)));
        };
    }
    QTemporaryDir dir;
    int jobs = 0;
};

TEST_F(PrintOutput, EveryPageIsAJobOfItsOwnOnTheChosenPaper)
{
    addPhotos(3);
    TFormPrint &f = open();
    click(f.RbA6);
    usePdf(f);
    ui.printerAnswer = true;
    click(f.Button2); // without a preview first
    EXPECT_EQ(ui.printerRequests, 1);
    EXPECT_EQ(jobs, 3);
    for (int page = 1; page <= 3; ++page) {
        const PdfPages pdf = readPdf(dir.filePath(QStringLiteral("page%1.pdf").arg(page)));
        EXPECT_EQ(pdf.count, 1) << page;
        EXPECT_NEAR(pdf.size.width(), 100 / 25.4 * 72, 0.5) << page;
        EXPECT_NEAR(pdf.size.height(), 150 / 25.4 * 72, 0.5) << page;
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("page4.pdf"))));
    EXPECT_EQ(f.result(), QDialog::Accepted);
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(PrintOutput, FourPerPageOnA4)
{
    addPhotos(5);
    TFormPrint &f = open();
    click(f.RadioButton3);
    usePdf(f);
    ui.printerAnswer = true;
    click(f.Button2);
    EXPECT_EQ(jobs, 2);
    const PdfPages pdf = readPdf(dir.filePath(QStringLiteral("page2.pdf")));
    EXPECT_EQ(pdf.count, 1);
    EXPECT_NEAR(pdf.size.width(), 595.3, 0.5);
    EXPECT_NEAR(pdf.size.height(), 841.9, 0.5);
    // The printable area is the page picture's: the paper less the outer border.
    const QRectF area = f.printer().pageLayout().paintRect(QPageLayout::Millimeter);
    EXPECT_NEAR(area.width(), 200, 0.1);
    EXPECT_NEAR(area.height(), 287, 0.1);
}

TEST_F(PrintOutput, CancelledPrinterChoicePrintsNothing)
{
    addPhotos(2);
    TFormPrint &f = open();
    usePdf(f);
    ui.printerAnswer = false;
    click(f.Button2);
    EXPECT_EQ(ui.printerRequests, 1);
    EXPECT_EQ(jobs, 0);
    EXPECT_EQ(f.result(), QDialog::Rejected);
    EXPECT_FALSE(f.isVisible());
}

TEST(PrintPagePicture, StretchesThePageOverThePrintableArea)
{
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("one.pdf")));
    SetUpPrinter(printer, print::Paper::Photo100x150, 5);
    Bitmap page(30, 40);
    page.fill(0, 0, 255);
    PrintPagePicture(printer, page);
    const PdfPages pdf = readPdf(dir.filePath(QStringLiteral("one.pdf")));
    EXPECT_EQ(pdf.count, 1);
    EXPECT_NEAR(pdf.size.width(), 283.5, 0.5);

    // A job that cannot start is reported, not taken for printed.
    printer.setOutputFileName(dir.filePath(QStringLiteral("missing/folder/two.pdf")));
    EXPECT_THROW(PrintPagePicture(printer, page), std::runtime_error);
}
