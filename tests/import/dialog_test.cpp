#include "import/formimport.h"
#include "platform/files.h"
#include "platform/jpeg.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace mv;

namespace {

int count(db::Connection &c, const char *table)
{
    db::Query q(&c, db::CursorType::Static);
    q.setSql(QStringLiteral("select count(*) from %1").arg(QLatin1String(table)));
    q.open();
    return q.value(0).toInt();
}

class ImportDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog = std::make_unique<Catalog>(folder.path());
        catalog->openAtStartup();
        ImportHooks hooks;
        hooks.status = [this](const QString &t) { statuses << t; };
        hooks.repaintMain = [this] { ++repaints; };
        hooks.selectList = [this] { ++queries; };
        form = std::make_unique<TFormImport>(*catalog, hooks);
    }
    QString photo(const QString &name, unsigned seed)
    {
        const QString path = dir.path() + QLatin1Char('/') + name;
        EXPECT_TRUE(test::writeFile(path, jpeg::encode(test::randomBitmap(120, 90, seed), 90)));
        return path;
    }
    void click(QPushButton *b) { QTest::mouseClick(b, Qt::LeftButton); }

    test::ScriptedUi ui;
    test::ProgramFolder folder;
    QTemporaryDir dir;
    std::unique_ptr<Catalog> catalog;
    std::unique_ptr<TFormImport> form;
    QStringList statuses;
    int repaints = 0, queries = 0;
};

} // namespace

TEST_F(ImportDialog, OpensWithItsCaptionsAndStates)
{
    EXPECT_EQ(form->windowTitle(), "Import File Dialog");
    EXPECT_EQ(form->size(), QSize(558, 239));
    struct Control {
        QWidget *w;
        QString caption;
        bool enabled;
    };
    const Control controls[] = {
        {form->RBFile, "From File", true},       {form->RBMedia, "From PhotoBase", true},
        {form->Button1, "Source File", true},    {form->Button4, "Source PhotoBase ", false},
        {form->CheckBox1, "Add New Index Only", true}, {form->Button2, "Import", false},
        {form->Button3, "Exit", true},
    };
    for (const Control &c : controls) {
        EXPECT_EQ(qobject_cast<QAbstractButton *>(c.w)->text(), c.caption);
        EXPECT_EQ(c.w->isEnabled(), c.enabled) << c.caption.toStdString();
    }
    EXPECT_TRUE(form->RBFile->isChecked());
    EXPECT_FALSE(form->CheckBox1->isChecked());
    EXPECT_FALSE(form->Edit1->isEnabled());
    EXPECT_EQ(form->Label1->text(), "Store As:");
    EXPECT_EQ(form->DBLookupComboBox1->currentText(), "PhotoBase1");
    for (QWidget *p : {static_cast<QWidget *>(form->DBLookupComboBox1), static_cast<QWidget *>(form->DBLookupComboBox2),
                       static_cast<QWidget *>(form->DBLookupComboBox3)})
        EXPECT_TRUE(p->isEnabled());
}

TEST_F(ImportDialog, SourceButtonsCheckBoxAndChosenFiles)
{
    form->show();
    QTest::mouseClick(form->RBMedia, Qt::LeftButton);
    EXPECT_FALSE(form->Button1->isEnabled());
    EXPECT_TRUE(form->Button4->isEnabled());
    QTest::mouseClick(form->RBFile, Qt::LeftButton);
    EXPECT_TRUE(form->Button1->isEnabled());
    EXPECT_FALSE(form->Button4->isEnabled());

    QTest::mouseClick(form->CheckBox1, Qt::LeftButton);
    EXPECT_FALSE(form->DBLookupComboBox1->isEnabled());
    EXPECT_FALSE(form->DBLookupComboBox2->isEnabled());
    EXPECT_FALSE(form->DBLookupComboBox3->isEnabled());
    QTest::mouseClick(form->CheckBox1, Qt::LeftButton);
    EXPECT_TRUE(form->DBLookupComboBox3->isEnabled());

    ui.files = {{"/p/one.jpg"}, {"/p/a.jpg", "/p/b.avi", "/p/c.jpg"}, {}, {"/d/x.mdb"}};
    click(form->Button1);
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].mode, ui::FileRequest::Mode::OpenMany);
    EXPECT_EQ(ui.fileRequests[0].filter, "JPeg File (*.jpg)|*.jpg|Video File (*.avi)|*.avi");
    EXPECT_EQ(form->Edit1->text(), "/p/one.jpg");
    EXPECT_TRUE(form->Button2->isEnabled());
    click(form->Button1);
    EXPECT_EQ(form->Edit1->text(), "Selected 3 files");
    EXPECT_EQ(form->chosenFiles().size(), 3);
    // Cancelled: the list is emptied, the text field and Import stay as they were.
    click(form->Button1);
    EXPECT_TRUE(form->chosenFiles().isEmpty());
    EXPECT_EQ(form->Edit1->text(), "Selected 3 files");
    EXPECT_TRUE(form->Button2->isEnabled());

    QTest::mouseClick(form->RBMedia, Qt::LeftButton);
    click(form->Button4);
    EXPECT_EQ(ui.fileRequests[3].filter, "Access base (*.mdb)|*.mdb");
    EXPECT_EQ(form->Edit1->text(), "/d/x.mdb");
    // Switching the mode leaves the chosen list alone.
    QTest::mouseClick(form->RBFile, Qt::LeftButton);
    EXPECT_EQ(form->chosenFiles(), QStringList{"/d/x.mdb"});
}

TEST_F(ImportDialog, ImportAsksThenImportsAndRunsTheQuery)
{
    const QString a = photo("a.jpg", 1), b = photo("b.jpg", 2);
    ui.files = {{a, b}};
    form->Button1Click();

    // Cancel: nothing written, the query runs, Import comes back.
    ui.answers = {ui::Answer::Cancel};
    click(form->Button2);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Import 2 File (s) in " + folder.file("PhotoBase1.mdb") + " ?");
    EXPECT_EQ(ui.shown[0].buttons, ui::Buttons::OkCancel);
    EXPECT_EQ(count(catalog->ADOConnection1, "ListPhoto"), 0);
    EXPECT_EQ(queries, 1);
    EXPECT_TRUE(form->Button2->isEnabled());

    ui.clear();
    click(form->Button2);
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(count(catalog->ADOConnection1, "ListPhoto"), 2);
    EXPECT_EQ(count(catalog->ADOConnection2, "Photos"), 2);
    EXPECT_EQ(statuses, (QStringList{ImportStatusText(a), ImportStatusText(b), "Ready"}));
    EXPECT_EQ(repaints, 1);
    EXPECT_EQ(queries, 2);
    EXPECT_TRUE(form->Button2->isEnabled());
    EXPECT_EQ(form->ProgressBar1->maximum(), 2);
    EXPECT_EQ(form->ProgressBar1->value(), 2);

    // From PhotoBase the question names the target the other way round.
    QTest::mouseClick(form->RBMedia, Qt::LeftButton);
    ui.clear();
    ui.answers = {ui::Answer::Cancel};
    click(form->Button2);
    EXPECT_EQ(ui.texts(), QStringList{"Import File (s) From " + folder.file("PhotoBase1.mdb") + " ?"});
}

TEST_F(ImportDialog, EmptyChoiceAsksNothingAndRunsTheQuery)
{
    form->Button2->setEnabled(true);
    click(form->Button2);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(queries, 1);
    EXPECT_TRUE(form->Button2->isEnabled());
}

TEST_F(ImportDialog, RefusalsAndFailuresLeaveImportDisabled)
{
    // Read-only target that is not the current file.
    const QString disc = folder.file("Disc.mdb");
    ASSERT_TRUE(files::copyOver(folder.file("FB.mdd"), disc));
    catalog->appendBase(disc, Catalog::labelFor(disc), true);
    ui.files = {{photo("a.jpg", 1)}};
    form->Button1Click();
    click(form->Button2);
    EXPECT_EQ(ui.texts(), (QStringList{"Import 1 File (s) in " + disc + " ?", "PhotoBase File is Read Only."}));
    EXPECT_FALSE(form->Button2->isEnabled());
    EXPECT_EQ(queries, 0);

    // A file that is no JPEG: its decoder's message in the error box.
    catalog->QVListB.first();
    const QString bad = dir.path() + "/text.jpg";
    test::writeFile(bad, "hello");
    ui.files = {{photo("b.jpg", 2), bad}};
    form->Button1Click();
    ui.clear();
    click(form->Button2);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].icon, ui::Icon::Error);
    EXPECT_TRUE(ui.shown[1].text.contains("JPEG", Qt::CaseInsensitive)) << ui.shown[1].text.toStdString();
    EXPECT_FALSE(form->Button2->isEnabled());
    EXPECT_EQ(count(catalog->ADOConnection1, "ListPhoto"), 1);
    EXPECT_EQ(queries, 0);

    // Cyclic reference.
    QTest::mouseClick(form->RBMedia, Qt::LeftButton);
    ui.files = {{folder.file("PhotoBase1.mdb")}};
    form->Button4Click();
    ui.clear();
    click(form->Button2);
    EXPECT_EQ(ui.texts().last(), "The cyclic reference is not solved.");
    EXPECT_FALSE(form->Button2->isEnabled());
}

TEST_F(ImportDialog, ActivationReReadsTheAlbumsKeepingTheChosenOne)
{
    catalog->ADOConnection1.execute("insert into Albums (Name) values ('One')");
    catalog->ADOConnection1.execute("insert into Albums (Name) values ('Two')");
    catalog->reopenList(catalog->QVListA);
    form->DBLookupComboBox2->setCurrentIndex(1);
    emit form->DBLookupComboBox2->activated(1);
    ASSERT_EQ(catalog->QVListA.text("Name"), "Two");
    catalog->ADOConnection1.execute("insert into Albums (Name) values ('Three')");
    EXPECT_EQ(form->DBLookupComboBox2->count(), 2);
    form->FormActivate();
    EXPECT_EQ(form->DBLookupComboBox2->count(), 3);
    EXPECT_EQ(form->DBLookupComboBox2->currentText(), "Two");
    EXPECT_EQ(catalog->QVListA.text("Name"), "Two");
}

TEST_F(ImportDialog, RunsModallyAndExitCloses)
{
    QTimer::singleShot(0, form.get(), [this] {
        EXPECT_TRUE(form->isVisible());
        click(form->Button3);
    });
    EXPECT_EQ(form->exec(), QDialog::Rejected);
}
