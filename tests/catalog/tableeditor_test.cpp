#include "catalog/picker.h"
#include "catalog/tableeditor.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"

#include <QAction>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace mv;

namespace {

QStringList items(const QComboBox &box)
{
    QStringList out;
    for (int i = 0; i < box.count(); ++i)
        out << box.itemText(i);
    return out;
}

QStringList column(db::Connection &c, const QString &sql)
{
    db::Query q(&c, db::CursorType::Static);
    q.setSql(sql);
    q.open();
    QStringList out;
    for (q.first(); !q.eof(); q.next())
        out << q.value(0).toString();
    return out;
}

class TableEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog = std::make_unique<Catalog>(folder.path());
        catalog->openAtStartup();
        for (const char *name : {"Trips", "Family", "Work"})
            catalog->ADOConnection1.execute(QStringLiteral("insert into Albums (Name) values ('%1')").arg(QLatin1String(name)));
        catalog->reopenList(catalog->QVListA);
        picker = std::make_unique<CursorPicker>(*catalog, catalog->QVListA, "Name");
        picker->showCurrentRow();
    }
    std::unique_ptr<TFormBase> open(db::Query &list, const QString &caption)
    {
        auto f = std::make_unique<TFormBase>(*catalog, list);
        f->setWindowTitle(caption);
        f->FormActivate();
        return f;
    }
    QStringList albums() { return column(catalog->ADOConnection1, "select Name from Albums order by Id"); }

    test::ScriptedUi ui;
    test::ProgramFolder folder;
    std::unique_ptr<Catalog> catalog;
    std::unique_ptr<CursorPicker> picker;
};

} // namespace

TEST_F(TableEditor, GridShowsTheListAndTheNavigatorMovesItsCurrentRow)
{
    auto form = open(catalog->QVListA, "Albums");
    EXPECT_EQ(form->windowTitle(), "Albums");
    EXPECT_EQ(form->size(), QSize(465, 466));
    QAbstractItemModel *m = form->DBGrid1->model();
    ASSERT_EQ(m->rowCount(), 3);
    ASSERT_EQ(m->columnCount(), 2);
    EXPECT_EQ(m->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Id");
    EXPECT_EQ(m->data(m->index(1, 1), Qt::DisplayRole).toString(), "Family");
    EXPECT_FALSE(m->flags(m->index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(m->flags(m->index(0, 1)) & Qt::ItemIsEditable);

    EXPECT_FALSE(form->NavFirst->isEnabled());
    EXPECT_FALSE(form->NavPost->isEnabled());
    form->NavLast->trigger();
    EXPECT_EQ(catalog->QVListA.text("Name"), "Work");
    EXPECT_EQ(picker->currentText(), "Work");
    EXPECT_FALSE(form->NavNext->isEnabled());
    form->NavPrior->trigger();
    EXPECT_EQ(catalog->QVListA.text("Name"), "Family");
    EXPECT_EQ(form->DBGrid1->currentIndex().row(), 1);
    form->NavFirst->trigger();
    EXPECT_EQ(catalog->QVListA.text("Name"), "Trips");
    form->NavNext->trigger();
    EXPECT_EQ(picker->currentText(), "Family");
    // Clicking a row in the grid makes it current too.
    form->DBGrid1->setCurrentIndex(m->index(2, 1));
    EXPECT_EQ(catalog->QVListA.text("Name"), "Work");
}

TEST_F(TableEditor, EditsReachTheTableAndEveryPickerAtOnce)
{
    auto form = open(catalog->QVListA, "Albums");
    QAbstractItemModel *m = form->DBGrid1->model();
    form->NavNext->trigger();
    ASSERT_TRUE(m->setData(m->index(1, 1), "Family 2024", Qt::EditRole));
    EXPECT_EQ(form->state(), TFormBase::State::Edit);
    EXPECT_TRUE(form->NavPost->isEnabled());
    EXPECT_EQ(albums()[1], "Family"); // not yet posted
    form->NavPost->trigger();
    EXPECT_EQ(albums(), (QStringList{"Trips", "Family 2024", "Work"}));
    EXPECT_EQ(items(*picker), (QStringList{"Trips", "Family 2024", "Work"}));
    EXPECT_EQ(picker->currentText(), "Family 2024");

    // Cancel throws the change away.
    form->NavEdit->trigger();
    form->setField("Name", "Nope");
    EXPECT_EQ(m->data(m->index(1, 1), Qt::DisplayRole).toString(), "Nope");
    form->NavCancel->trigger();
    EXPECT_EQ(m->data(m->index(1, 1), Qt::DisplayRole).toString(), "Family 2024");
    EXPECT_EQ(albums()[1], "Family 2024");

    // Leaving an edited row posts it; names are cut at 50 characters.
    form->setField("Name", QString(60, QLatin1Char('x')));
    form->DBGrid1->setCurrentIndex(m->index(0, 1));
    EXPECT_EQ(form->state(), TFormBase::State::Browse);
    EXPECT_EQ(albums()[1], QString(50, QLatin1Char('x')));
    EXPECT_EQ(catalog->QVListA.text("Name"), "Trips");
}

TEST_F(TableEditor, InsertGetsTheEngineIdAndDeleteAsksFirst)
{
    catalog->ADOConnection1.execute("insert into ListPhoto (id, Albums, Base) values (1, 2, 1)");
    auto form = open(catalog->QVListA, "Albums");
    QAbstractItemModel *m = form->DBGrid1->model();
    form->NavInsert->trigger();
    EXPECT_EQ(m->rowCount(), 4);
    EXPECT_EQ(form->currentRow(), 3);
    form->setField("Name", "Garden");
    form->NavPost->trigger();
    EXPECT_EQ(albums(), (QStringList{"Trips", "Family", "Work", "Garden"}));
    EXPECT_EQ(catalog->QVListA.text("Name"), "Garden");
    EXPECT_EQ(catalog->QVListA.intValue("Id"), 4);
    EXPECT_EQ(picker->currentText(), "Garden");
    EXPECT_EQ(m->rowCount(), 4);

    form->NavPrior->trigger();
    form->NavPrior->trigger();
    ASSERT_EQ(catalog->QVListA.text("Name"), "Family");
    ui.answers = {ui::Answer::Cancel};
    form->NavDelete->trigger();
    EXPECT_EQ(ui.texts(), QStringList{"Delete record?"});
    EXPECT_EQ(ui.shown[0].buttons, ui::Buttons::OkCancel);
    EXPECT_EQ(albums().size(), 4);
    form->NavDelete->trigger();
    EXPECT_EQ(albums(), (QStringList{"Trips", "Work", "Garden"}));
    EXPECT_EQ(items(*picker), (QStringList{"Trips", "Work", "Garden"}));
    EXPECT_EQ(catalog->QVListA.text("Name"), "Work");
    // The photo that was in the album stays.
    EXPECT_EQ(column(catalog->ADOConnection1, "select Albums from ListPhoto"), QStringList{"2"});
}

TEST_F(TableEditor, RegisterEditorWritesFlagsLabelsAndPaths)
{
    CursorPicker bases(*catalog, catalog->QVListB, "Label");
    auto form = open(catalog->QVListB, "Photo Files");
    QAbstractItemModel *m = form->DBGrid1->model();
    ASSERT_EQ(m->columnCount(), 4);
    EXPECT_TRUE(m->flags(m->index(0, 2)) & Qt::ItemIsUserCheckable);
    EXPECT_EQ(m->data(m->index(0, 2), Qt::CheckStateRole).toInt(), Qt::Unchecked);
    ASSERT_TRUE(m->setData(m->index(0, 2), Qt::Checked, Qt::CheckStateRole));
    form->NavPost->trigger();
    EXPECT_TRUE(catalog->QVListB.boolValue("ReadOnly"));
    EXPECT_EQ(column(catalog->ADOConnection1, "select ReadOnly from Bases"), QStringList{"1"});

    form->NavInsert->trigger();
    form->setField("Label", "Holiday disc number seven of twelve");
    form->setField("File", "/media/cdrom/Holiday.mdb");
    form->setField("ReadOnly", true);
    form->NavPost->trigger();
    EXPECT_EQ(column(catalog->ADOConnection1, "select Label from Bases order by Id").last(), "Holiday disc number seven");
    EXPECT_EQ(column(catalog->ADOConnection1, "select File from Bases order by Id").last(), "/media/cdrom/Holiday.mdb");
    EXPECT_EQ(bases.count(), 2);
    EXPECT_EQ(bases.currentText(), "Holiday disc number seven");
}

TEST_F(TableEditor, RefreshShowsRowsWrittenElsewhereAndRunsModally)
{
    auto form = open(catalog->QVListA, "Albums");
    catalog->ADOConnection1.execute("insert into Albums (Name) values ('Late')");
    EXPECT_EQ(form->DBGrid1->model()->rowCount(), 3);
    form->NavRefresh->trigger();
    EXPECT_EQ(form->DBGrid1->model()->rowCount(), 4);
    EXPECT_EQ(items(*picker).last(), "Late");

    QTimer::singleShot(0, form.get(), [&] {
        EXPECT_TRUE(form->isVisible());
        form->reject();
    });
    form->exec();
}
