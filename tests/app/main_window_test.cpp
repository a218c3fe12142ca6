#include "app/aboutbox.h"
#include "app/mainform.h"
#include "app/thumbgrid.h"
#include "platform/jpeg.h"
#include "platform/settings.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

using namespace mv;

namespace {

QByteArray thumbnailOf(int w, int h, uint8_t shade)
{
    Bitmap b(w, h);
    b.fill(shade, shade, shade);
    return jpeg::encode(b, 90);
}

struct MainWindow : ::testing::Test {
    test::ScriptedUi ui;
    test::ProgramFolder folder;
    std::unique_ptr<TmainForm> form;
    std::vector<std::tuple<int, qint64, bool>> opened;
    QStringList played;

    void SetUp() override
    {
        settings::writeInt("Show", 60);
        start();
    }
    void start()
    {
        form = std::make_unique<TmainForm>(folder.path());
        form->showPhoto = [this](int k, qint64 id, bool slide) { opened.emplace_back(k, id, slide); };
        form->playVideo = [this](const QString &p) { played << p; };
        form->resize(1009, 620);
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->openCatalogue();
    }
    Catalog &cat() { return form->catalog(); }
    void addPhoto(qint64 id, const QString &date, qint64 album = 1, int rank = 0, const QString &text = {},
                  bool video = false, const QString &exif = {})
    {
        db::Query q(&cat().ADOConnection1, db::CursorType::Dynamic);
        q.setSql("select * from ListPhoto where id=0");
        q.open();
        q.append();
        q.setValue("id", id);
        q.setValue("Base", cat().currentBaseId());
        q.setValue("Date", date);
        q.setValue("Albums", album);
        q.setValue("Themes", 1);
        q.setValue("Rank", rank);
        q.setValue("Text", text);
        q.setValue("Video", video);
        q.setValue("Exif", exif);
        q.setValue("SmallPhoto", thumbnailOf(100, 75, uint8_t(id * 20)));
        q.post();
    }
    void go() { form->ActSelectListExecute(); }
    QPoint cellCentre(int k)
    {
        const int cols = form->DrawGrid1->columnCount();
        return form->DrawGrid1->cellRect(k % cols, k / cols).center();
    }
    void click(int k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QTest::mouseClick(form->DrawGrid1->viewport(), Qt::LeftButton, m, cellCentre(k));
    }
    std::vector<bool> marks()
    {
        std::vector<bool> m;
        for (const auto &t : cat().thumbs())
            m.push_back(t.marked);
        return m;
    }
};

} // namespace

TEST_F(MainWindow, CommandsHaveTheirCaptionsKeysAndStartStates)
{
    struct Case {
        QAction *action;
        const char *menu;
        const char *caption;
        QKeySequence key;
        bool enabled;
    };
    const Case cases[] = {
        {form->AccEditPhoto, "Edit", "Edit", Qt::Key_F4, false},
        {form->ActImportPhoto, "Import Photo to Base", "Import Foto to Base", {}, true},
        {form->AcDelePhoto, "Delete", "Delete Foto", Qt::Key_F8, false},
        {form->AcCopyPhoto, "Copy", "Copy Foto", Qt::Key_F5, false},
        {form->AcMovePhoto, "Move ", "Move Foto ", Qt::Key_F6, false},
        {form->ActExportPhoto, "Export Photo to File", "Export Foto to File", {}, false},
        {form->ActPrint, "Print", "Print", {}, false},
        {form->ActSlideShow, "Slide Show", "Slide Show", Qt::Key_F9, false},
        {form->ActSelectList, "Go!", "Go!", Qt::Key_F12, true},
        {form->ActAlbum, "Albums", "Albums", {}, true},
        {form->ActThemes, "Themes", "Themes", {}, true},
        {form->ActBase, "PhotoBase Files", "Media Files", {}, true},
        {form->AcCreMedia, "New PhotoBase File", "New Media File", {}, true},
        {form->ActExit, "Exit", "Exit", QKeySequence(Qt::CTRL | Qt::Key_Q), true},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.action->text(), c.menu) << c.caption;
        EXPECT_EQ(c.action->toolTip(), c.caption);
        EXPECT_EQ(c.action->shortcut(), c.key) << c.caption;
        EXPECT_EQ(c.action->isEnabled(), c.enabled) << c.caption;
    }
    QStringList menus;
    for (QAction *a : form->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, QStringList({"Operation", "Photo", "Table", "Service", "About"}));
    EXPECT_FALSE(form->DrawGrid1->isEnabled());
    EXPECT_TRUE(form->N16->isChecked());
    const int widths[6] = {180, 120, 40, 40, 110, 200};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(form->panels[i]->width(), widths[i]);
    for (QWidget *w : std::initializer_list<QWidget *>{form->DBLookupAlbum, form->DBLookupTheme, form->DBLookupBase,
                                                       form->ComboBoxRank, form->Edit1})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    form->CBAlbum->click();
    EXPECT_TRUE(form->DBLookupAlbum->isEnabled());
}

TEST_F(MainWindow, GoBuildsTheListEnablesCommandsAndCounts)
{
    cat().ADOConnection1.execute("insert into Albums (Name) values ('A'), ('B')");
    cat().reopenList(cat().QVListA);
    addPhoto(1, "2004:01:01 00:00:00", 1, 2, "blue sea");
    addPhoto(2, "2003:01:01 00:00:00", 2, 1, "mountain");
    addPhoto(3, "2005:01:01 00:00:00", 2, 0, "sea again");
    go();
    EXPECT_TRUE(form->DrawGrid1->isEnabled());
    EXPECT_EQ(form->panels[3]->text(), "3");
    ASSERT_EQ(cat().thumbs().size(), 3u);
    EXPECT_EQ(cat().thumbs()[0].id, 2) << "ordered by date";
    EXPECT_TRUE(form->AccEditPhoto->isEnabled());
    EXPECT_TRUE(form->ActPrint->isEnabled());

    // Album B picked, rank "Fine and Good".
    form->CBAlbum->click();
    form->DBLookupAlbum->setCurrentIndex(1);
    emit form->DBLookupAlbum->activated(1);
    form->CBRank->click();
    form->ComboBoxRank->setCurrentIndex(1);
    go();
    ASSERT_EQ(cat().thumbs().size(), 1u);
    EXPECT_EQ(cat().thumbs()[0].id, 2);

    // Nothing found: one empty row, commands off.
    form->CBText->click();
    form->Edit1->setText("zebra");
    go();
    EXPECT_EQ(form->panels[3]->text(), "0");
    EXPECT_EQ(form->DrawGrid1->rowCount(), 1);
    EXPECT_FALSE(form->AccEditPhoto->isEnabled());
    EXPECT_FALSE(form->ActExportPhoto->isEnabled());

    // A ticked Theme filter over an empty theme list adds no condition.
    form->CBAlbum->click();
    form->CBRank->click();
    form->CBText->click();
    form->CBTheme->click();
    go();
    EXPECT_EQ(cat().thumbs().size(), 3u);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(MainWindow, PictureSizeIsStoredOnCloseAndReadAtStart)
{
    form->N17->trigger();
    EXPECT_EQ(form->DrawGrid1->cellSize(), 100);
    form->close();
    EXPECT_EQ(settings::readInt("Show").value_or(0), 100);
    form.reset();
    start();
    EXPECT_TRUE(form->N17->isChecked());
    EXPECT_EQ(form->DrawGrid1->cellSize(), 100);

    settings::writeInt("Show", 55);
    form.reset();
    start();
    EXPECT_TRUE(form->N16->isChecked()) << "other values are ignored";
    EXPECT_EQ(form->DrawGrid1->cellSize(), 60);
}

TEST_F(MainWindow, ColumnsFollowTheCellSizeAndTheGridEndsWithAnOpenRow)
{
    for (int i = 1; i <= 10; ++i)
        addPhoto(i, QString("2004:01:%1 00:00:00").arg(i, 2, 10, QChar('0')));
    form->DrawGrid1->resize(310, 400);
    go();
    const int width = form->DrawGrid1->viewport()->width();
    EXPECT_EQ(form->DrawGrid1->columnCount(), width / 62);
    EXPECT_EQ(form->DrawGrid1->rowCount(), 10 / form->DrawGrid1->columnCount() + 1);
    form->N15->trigger();
    EXPECT_EQ(form->DrawGrid1->columnCount(), std::max(1, width / 42));
}

TEST(ThumbGridDrawing, CellGeometryFramesAndShadows)
{
    test::ScriptedUi ui;
    test::ProgramFolder folder;
    TmainForm form(folder.path());
    form.openCatalogue();
    Catalog &cat = form.catalog();
    struct Case {
        int size, w, h;
        int dw, dh, dx, dy;
    };
    const Case cases[] = {
        {60, 100, 75, 54, 40, 3, 10},
        {40, 75, 100, 25, 34, 7, 3},
        {100, 100, 100, 94, 94, 3, 3},
    };
    int id = 0;
    for (const Case &c : cases) {
        ++id;
        Bitmap b(c.w, c.h);
        b.fill(0, 0, 200); // red picture
        cat.ADOConnection1.execute(QString("delete from ListPhoto"));
        db::Query q(&cat.ADOConnection1, db::CursorType::Dynamic);
        q.setSql("select * from ListPhoto where id=0");
        q.open();
        q.append();
        q.setValue("id", id);
        q.setValue("Date", "x");
        q.setValue("SmallPhoto", jpeg::encode(b, 90));
        q.post();
        form.setPictureSize(c.size);
        form.ActSelectListExecute();
        form.DrawGrid1->selectPosition(1); // not the drawn cell

        QImage img(c.size + 10, c.size + 10, QImage::Format_RGB32);
        img.fill(Qt::black);
        {
            QPainter p(&img);
            form.DrawGrid1->DrawGrid1DrawCell(p, 0, 0, QRect(0, 0, c.size, c.size));
        }
        const int L = c.dx, T = c.dy;
        auto at = [&](int x, int y) { return img.pixel(x, y) & 0xFFFFFF; };
        const QRgb red = qRgb(200, 0, 0) & 0xFFFFFF;
        auto near = [](QRgb a, QRgb b) { return std::abs(qRed(a) - qRed(b)) < 12 && qGreen(a) < 12 && qBlue(a) < 12; };
        EXPECT_TRUE(near(at(L, T), red)) << c.size;
        EXPECT_TRUE(near(at(L + c.dw - 1, T + c.dh - 1), red)) << c.size;
        EXPECT_EQ(at(L - 1, T - 1), 0xFFFFFFu) << "frame ring, size " << c.size;
        EXPECT_EQ(at(L + c.dw, T + c.dh), 0xFFFFFFu) << c.size;
        EXPECT_EQ(at(L + c.dw, T), 0xFFFFFFu) << c.size;
        EXPECT_EQ(at(L + 1, T + c.dh + 1), qRgb(34, 34, 34) & 0xFFFFFF) << "inner shadow";
        EXPECT_EQ(at(L + c.dw + 1, T + 2), qRgb(34, 34, 34) & 0xFFFFFF);
        EXPECT_EQ(at(L + c.dw + 1, T + 1), 0u) << "the inner line stops before T + 1";
        EXPECT_EQ(at(L + 2, T + c.dh + 2), qRgb(51, 51, 51) & 0xFFFFFF) << "outer shadow";
        EXPECT_EQ(at(L + c.dw + 2, T + 3), qRgb(51, 51, 51) & 0xFFFFFF);
        EXPECT_EQ(at(L + c.dw + 2, T + c.dh + 3), 0u);
        EXPECT_EQ(at(L + 1, T + c.dh + 2), 0u) << "the outer line starts at L + 2";
    }
}

TEST_F(MainWindow, MarkingWithCtrlShiftAltAndCtrlA)
{
    for (int i = 1; i <= 12; ++i)
        addPhoto(i, QString("2004:01:%1 00:00:00").arg(i, 2, 10, QChar('0')));
    go();
    using M = std::vector<bool>;
    auto only = [](std::initializer_list<int> on) {
        M m(12, false);
        for (int i : on)
            m[std::size_t(i)] = true;
        return m;
    };
    click(5, Qt::ControlModifier);
    EXPECT_EQ(marks(), only({5}));
    click(5, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(marks(), only({})) << "Ctrl wins over Shift";
    click(10, Qt::ControlModifier);
    click(11, Qt::ControlModifier);
    click(3, Qt::ShiftModifier);
    EXPECT_EQ(marks(), only({3, 4, 5, 6, 7, 8, 9, 10})) << "from the lowest mark, others cleared";
    click(2, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(marks(), only({}));
    click(4, Qt::ShiftModifier);
    EXPECT_EQ(marks(), only({4})) << "nothing marked: only the clicked photo";
    click(6);
    click(7, Qt::AltModifier);
    EXPECT_EQ(marks(), only({4})) << "plain and Alt clicks only select";
    EXPECT_EQ(form->DrawGrid1->selectedPosition(), 7);
    click(1, Qt::ControlModifier);
    QTest::keyClick(form->DrawGrid1, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(marks(), only({0, 2, 3, 5, 6, 7, 8, 9, 10, 11}));
    // A click past the last photo does nothing.
    const M before = marks();
    click(13, Qt::ControlModifier);
    EXPECT_EQ(marks(), before);
}

TEST_F(MainWindow, SelectingACellFillsTheStatusBar)
{
    addPhoto(1, "2004:07:15 10:20:30", 1, 0, "blue sea");
    addPhoto(2, "2005:01:01 00:00:00", 1, 0, "orphan");
    cat().ADOConnection1.execute("update ListPhoto set Base=77 where id=2");
    cat().ADOConnection1.execute("update Bases set ReadOnly=1");
    go();
    click(0);
    EXPECT_EQ(form->panels[1]->text(), "PhotoBase1");
    EXPECT_EQ(form->panels[2]->text(), "Read");
    EXPECT_EQ(form->panels[4]->text(), "2004:07:15 10:20:30");
    EXPECT_EQ(form->panels[5]->text(), "blue sea");
    click(1);
    for (int i : {1, 2, 4, 5})
        EXPECT_EQ(form->panels[i]->text(), "") << "no Bases row: all four panels empty";
    click(0);
    click(5); // an empty cell leaves the panels as they are
    EXPECT_EQ(form->panels[5]->text(), "blue sea");
}

TEST_F(MainWindow, EditOpensTheViewerOrThePlayer)
{
    const QString video = folder.file("clip one é.avi");
    test::writeFile(video, "RIFF");
    addPhoto(1, "2004:01:01 00:00:00");
    addPhoto(2, "2004:01:02 00:00:00", 1, 0, {}, true, video);
    addPhoto(3, "2004:01:03 00:00:00", 1, 0, {}, true, folder.file("gone.avi"));
    go();
    click(0);
    QTest::keyClick(form->DrawGrid1, Qt::Key_F4);
    QTest::keyClick(form->DrawGrid1, Qt::Key_F9);
    QTest::mouseDClick(form->DrawGrid1->viewport(), Qt::LeftButton, {}, cellCentre(0));
    form->CBText->click();
    form->Edit1->setFocus();
    QTest::keyClick(form->Edit1, Qt::Key_Return);
    ASSERT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened[0], std::make_tuple(0, qint64(1), false));
    EXPECT_EQ(opened[1], std::make_tuple(0, qint64(1), true)) << "F9 starts the slide show";
    EXPECT_EQ(opened[3], std::make_tuple(0, qint64(1), false)) << "Enter in the search box opens the photo";
    EXPECT_EQ(cat().thumbs().size(), 3u) << "and does not run the query";

    click(1);
    form->AccEditPhotoExecute();
    EXPECT_EQ(played, QStringList{video});
    click(2);
    form->AccEditPhotoExecute();
    EXPECT_EQ(ui.texts(), QStringList{"File " + folder.file("gone.avi") + " not found."});
    click(7);
    form->AccEditPhotoExecute();
    EXPECT_EQ(opened.size(), 4u) << "an empty cell opens nothing";
}

TEST_F(MainWindow, NewPhotoBaseFileAppendsTheSuffixAndNeverReplacesSilently)
{
    const QString dir = folder.path();
    ui.files = {{dir + "Travel"}};
    form->AcCreMedia->trigger();
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].title, "Enter Name PhotoBase File");
    EXPECT_EQ(ui.fileRequests[0].filter, "Access files (*.mdb)|*.mdb");
    EXPECT_TRUE(QFile::exists(dir + "Travel.mdb"));
    EXPECT_EQ(cat().QVListB.text("Label"), (dir + "Travel.mdb").right(15));

    ui.files = {{dir + "Travel.mdb"}};
    form->AcCreMedia->trigger();
    EXPECT_TRUE(QFile::exists(dir + "Travel.mdb.mdb"));

    // The suffix names an existing file: asked first, Cancel keeps it.
    test::writeFile(dir + "Keep.mdb", "precious");
    ui.files = {{dir + "Keep"}};
    ui.answers = {ui::Answer::Cancel};
    form->AcCreMedia->trigger();
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(test::readFile(dir + "Keep.mdb"), "precious");
    const int rows = cat().QVListB.recordCount();
    ui.files = {{}};
    form->AcCreMedia->trigger();
    EXPECT_EQ(cat().QVListB.recordCount(), rows) << "a cancelled dialog does nothing";
}

TEST(AboutBox, PictureWhenPresentOtherwiseThreeLabels)
{
    test::ProgramFolder folder;
    {
        TAboutBox box(folder.path());
        EXPECT_FALSE(box.showsPicture());
        EXPECT_EQ(box.size(), QSize(639, 468));
        auto *name = box.findChild<QLabel *>("ProductName");
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), "Marvisto");
        EXPECT_EQ(name->pos(), QPoint(200, 10));
        EXPECT_EQ(name->font().pixelSize(), 48);
        EXPECT_EQ(box.findChild<QLabel *>("Comments")->text(), "The program for a storage and processing of digital photo.");
        EXPECT_EQ(box.findChild<QLabel *>("Version")->text(), "1.3");
        EXPECT_EQ(box.findChild<QLabel *>("Version")->pos(), QPoint(10, 445));
    }
    Bitmap b(20, 10);
    b.fill(10, 20, 30);
    test::writeFile(folder.file("About.jpg"), jpeg::encode(b));
    TAboutBox box(folder.path());
    EXPECT_TRUE(box.showsPicture());
    EXPECT_EQ(box.findChild<QLabel *>("ProductName"), nullptr);
    auto *pic = box.findChild<QLabel *>("Image1");
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->pixmap().size(), QSize(20, 10));
    box.show();
    QTest::keyClick(&box, Qt::Key_X);
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST(MainWindowStart, ACatalogueThatIsNotADatabaseShowsTheEnginesMessageAndTheProgramStaysUp)
{
    test::ScriptedUi ui;
    test::ProgramFolder folder;
    const QByteArray garbage(3000, 'g');
    test::writeFile(folder.file("PhotoList.mdb"), garbage);
    TmainForm form(folder.path());
    form.show();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &activate);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].icon, ui::Icon::Error);
    EXPECT_TRUE(ui.shown[0].text.contains("file is not a database")) << ui.shown[0].text.toStdString();
    EXPECT_EQ(test::readFile(folder.file("PhotoList.mdb")), garbage);
    // Still waiting for the user: Go! reports again instead of crashing.
    form.ActSelectList->trigger();
    EXPECT_EQ(ui.shown.size(), 2u);
    EXPECT_FALSE(form.AccEditPhoto->isEnabled());
    QApplication::sendEvent(&form, &activate);
    EXPECT_EQ(ui.shown.size(), 2u) << "the catalogue is opened once, at the first activation";
}
