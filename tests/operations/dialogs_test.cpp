#include "operations/formmove.h"
#include "operations/formselbase.h"
#include "operations/operation_commands.h"
#include "tests/operations/fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace mv;
using mv::test::entries;

namespace {

using Dialogs = test::Catalogue;

QStringList items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// Picks an item as the keyboard does on the closed drop-down.
void pickByKeys(QComboBox *box, int row)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < row; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    ASSERT_EQ(box->currentIndex(), row);
}

} // namespace

TEST_F(Dialogs, ChooserListsTheWritableFilesAndAnswersWithTheCurrentRow)
{
    addBase("Disc.mdb", true);
    const qint64 b = addBase("B.mdb");
    TFormSelBase d(*catalog);
    d.show();
    EXPECT_EQ(d.windowTitle(), "Select Destination Media File");
    EXPECT_EQ(d.Label1->text(), "Label PhotoBase File (ReadOnly=false)");
    EXPECT_EQ(d.Button1->text(), "OK");
    EXPECT_EQ(d.Button2->text(), "Cancel");
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    EXPECT_EQ(d.QLBaseW.sql(), "select Id,File,Label From Bases where ReadOnly=false");
    EXPECT_EQ(items(d.DBLookupComboBox1), QStringList({"PhotoBase1", "B.mdb"}));
    EXPECT_EQ(d.DBLookupComboBox1->currentIndex(), -1);
    // Untouched: the first row.
    EXPECT_EQ(d.destinationBase(), 1);
    EXPECT_EQ(d.destinationFile(), base1());
    pickByKeys(d.DBLookupComboBox1, 1);
    EXPECT_EQ(d.destinationBase(), b);
    EXPECT_EQ(d.destinationFile(), fileOf(b));
}

TEST_F(Dialogs, ChooserWithoutWritableFilesAnswersNothing)
{
    catalog->ADOConnection1.execute("update Bases set ReadOnly=1");
    TFormSelBase d(*catalog);
    EXPECT_EQ(d.DBLookupComboBox1->count(), 0);
    EXPECT_TRUE(d.destinationFile().isEmpty());
    EXPECT_EQ(d.destinationBase(), 0);
}

TEST_F(Dialogs, MoveDialogEnablesARowByItsTickAndOpensItsListAtTheFirstTick)
{
    const qint64 ro = addBase("Disc.mdb", true);
    TFormMove d(*catalog);
    d.show();
    EXPECT_EQ(d.windowTitle(), "Move (Change Attribute) Photo");
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    EXPECT_EQ(items(d.ComboBoxRank), QStringList({"Normal", "Good  ", "Fine"}));
    EXPECT_EQ(d.ComboBoxRank->currentIndex(), -1);
    EXPECT_FALSE(d.anyTicked());

    struct Row {
        QCheckBox *box;
        const char *caption;
        QWidget *control;
        db::Query *list;
        const char *sql;
        QStringList items;
    };
    const Row rows[] = {
        {d.CheckBase, "PhotoBase File Change ", d.DBLookupBase, &d.QLBaseW, "select Id,File,Label From Bases ", {"PhotoBase1", "Disc.mdb"}},
        {d.CheckAlbum, "Album Change ", d.DBLookupAlbum, &d.QLAlbums, "select * From Albums", {"Trips", "Family"}},
        {d.CheckTheme, "Theme Change ", d.DBLookupTheme, &d.QLThemes, "select * from Themes", {"Sea", "Hills"}},
        {d.CBRank, "Rank Change ", d.ComboBoxRank, nullptr, "", {"Normal", "Good  ", "Fine"}},
    };
    for (const Row &r : rows) {
        EXPECT_EQ(r.box->text(), r.caption);
        EXPECT_FALSE(r.control->isEnabled()) << r.caption;
        if (r.list) {
            EXPECT_FALSE(r.list->isOpen()) << r.caption;
            EXPECT_EQ(r.list->sql(), r.sql);
            EXPECT_EQ(static_cast<QComboBox *>(r.control)->maxVisibleItems(), 21);
        }
        QTest::mouseClick(r.box, Qt::LeftButton);
        EXPECT_TRUE(r.control->isEnabled()) << r.caption;
        EXPECT_EQ(items(static_cast<QComboBox *>(r.control)), r.items) << r.caption;
        EXPECT_EQ(static_cast<QComboBox *>(r.control)->currentIndex(), -1) << r.caption;
        QTest::mouseClick(r.box, Qt::LeftButton);
        EXPECT_FALSE(r.control->isEnabled()) << r.caption;
    }
    // Cleared ticks leave every item as it is.
    const MoveValues none = d.values();
    EXPECT_EQ(none.newBase, -1);
    EXPECT_EQ(none.album, -1);
    EXPECT_EQ(none.theme, -1);
    EXPECT_EQ(none.rank, -1);
    EXPECT_FALSE(d.anyTicked());

    // Ticked but untouched pickers give their first rows; the rank none.
    for (QCheckBox *box : {d.CheckBase, d.CheckAlbum, d.CheckTheme, d.CBRank})
        QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_TRUE(d.anyTicked());
    MoveValues v = d.values();
    EXPECT_EQ(v.newBase, 1);
    EXPECT_EQ(v.destinationFile, base1());
    EXPECT_EQ(v.album, 1);
    EXPECT_EQ(v.theme, 1);
    EXPECT_EQ(v.rank, -1);

    pickByKeys(d.DBLookupBase, 1);
    pickByKeys(d.DBLookupAlbum, 1);
    pickByKeys(d.DBLookupTheme, 1);
    pickByKeys(d.ComboBoxRank, 2);
    v = d.values();
    EXPECT_EQ(v.newBase, ro);
    EXPECT_EQ(v.destinationFile, fileOf(ro));
    EXPECT_EQ(v.album, 2);
    EXPECT_EQ(v.theme, 2);
    EXPECT_EQ(v.rank, 2);
}

TEST_F(Dialogs, CopyCommandCopiesIntoThePickedFileAndRunsGoAlsoAfterCancel)
{
    const qint64 b = addBase("B.mdb");
    const QByteArray bytes = addPhoto(1, 1, 1);
    OperationCommands commands(*catalog, hooks());

    mark({1});
    commands.showModal = [](QDialog &d) {
        auto &chooser = dynamic_cast<TFormSelBase &>(d);
        QTest::mouseClick(chooser.Button2, Qt::LeftButton);
        return d.result();
    };
    commands.AcCopyPhotoExecute();
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(goes, 1);
    EXPECT_EQ(catalog->markedCount(), 0);
    EXPECT_EQ(entries(catalog->ADOConnection1).size(), 1u);

    mark({1});
    commands.showModal = [](QDialog &d) {
        auto &chooser = dynamic_cast<TFormSelBase &>(d);
        pickByKeys(chooser.DBLookupComboBox1, 1);
        QTest::mouseClick(chooser.Button1, Qt::LeftButton);
        return d.result();
    };
    commands.AcCopyPhotoExecute();
    EXPECT_EQ(ui.texts(), QStringList{"Processed 1 photo(s)?"});
    EXPECT_EQ(goes, 2);
    EXPECT_EQ(entries(catalog->ADOConnection1).at(2).base, b);
    EXPECT_EQ(test::storedPhotos(fileOf(b)), (std::map<qint64, QByteArray>{{2, bytes}}));
}

TEST_F(Dialogs, MoveCommandRunsOnlyWhenOkEndsTheDialogWithATick)
{
    addPhoto(1, 1, 1);
    OperationCommands commands(*catalog, hooks());
    struct Case {
        const char *name;
        bool ok;
        bool tickRank;
        int rank; // -1: the Rank row untouched
        qint64 stored;
        QStringList texts;
        int goes;
    };
    const Case cases[] = {
        {"cancelled", false, true, 1, 2, {}, 0},
        {"OK without a tick", true, false, -1, 2, {}, 0},
        {"rank Good", true, true, 1, 1, {"Move (Change) 1 photo(s)?"}, 1},
    };
    for (const Case &c : cases) {
        catalog->ADOConnection1.execute("update ListPhoto set Rank=2");
        ui.clear();
        goes = 0;
        mark({1});
        commands.showModal = [&c](QDialog &d) {
            auto &dialog = dynamic_cast<TFormMove &>(d);
            if (c.tickRank) {
                QTest::mouseClick(dialog.CBRank, Qt::LeftButton);
                pickByKeys(dialog.ComboBoxRank, c.rank);
            }
            QTest::mouseClick(c.ok ? dialog.Button1 : dialog.Button2, Qt::LeftButton);
            return d.result();
        };
        commands.AcMovePhotoExecute();
        EXPECT_EQ(ui.texts(), c.texts) << c.name;
        EXPECT_EQ(goes, c.goes) << c.name;
        EXPECT_EQ(catalog->markedCount(), c.goes ? 0 : 1) << c.name;
        EXPECT_EQ(entries(catalog->ADOConnection1).at(1).rank, c.stored) << c.name;
    }
}

TEST_F(Dialogs, CommandsShowTheirDialogsModally)
{
    addPhoto(1, 1, 1);
    mark({1});
    OperationCommands commands(*catalog, hooks());
    QStringList seen;
    auto closeActive = [&](bool ok) {
        QTimer::singleShot(0, [&seen, ok] {
            QWidget *w = QApplication::activeModalWidget();
            ASSERT_NE(w, nullptr);
            seen << w->windowTitle();
            auto *button = w->findChild<QPushButton *>(ok ? "Button1" : "Button2");
            ASSERT_NE(button, nullptr);
            button->click();
        });
    };
    closeActive(false);
    commands.AcMovePhotoExecute();
    closeActive(true);
    commands.AcCopyPhotoExecute();
    EXPECT_EQ(seen, QStringList({"Move (Change Attribute) Photo", "Select Destination Media File"}));
    // The chooser's untouched first row is PhotoBase1 itself.
    EXPECT_EQ(ui.texts(), QStringList{"Processed 1 photo(s)?"});
    EXPECT_EQ(entries(catalog->ADOConnection1).size(), 2u);
}
