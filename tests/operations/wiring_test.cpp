// The photo commands as the main window runs them once wired: the status
// panel, Go! and the marks of the real window.

#include "app/mainform.h"
#include "app/wiring.h"
#include "platform/jpeg.h"
#include "platform/settings.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace mv;

namespace {

struct Wired : ::testing::Test {
    test::ScriptedUi ui;
    test::ProgramFolder folder;
    std::unique_ptr<TmainForm> form;

    void SetUp() override
    {
        settings::writeInt("Show", 60);
        form = std::make_unique<TmainForm>(folder.path());
        wireOperations(*form);
        form->resize(800, 600);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->openCatalogue();
        Catalog &c = form->catalog();
        for (int id = 1; id <= 3; ++id) {
            db::Query q(&c.ADOConnection1, db::CursorType::Dynamic);
            q.setSql("select * from ListPhoto where id=0");
            q.open();
            q.append();
            q.setValue("id", id);
            q.setValue("Base", c.currentBaseId());
            q.setValue("Date", QStringLiteral("2022:01:0%1 00:00:00").arg(id));
            q.setValue("SmallPhoto", jpeg::encode(test::randomBitmap(10, 8, unsigned(id)), 90));
            q.post();
            db::Query p(&c.ADOConnection2, db::CursorType::Dynamic);
            p.setSql("select * from Photos where id=0");
            p.open();
            p.append();
            p.setValue("Id", id);
            p.setValue("Photo", jpeg::encode(test::randomBitmap(20, 12, unsigned(id) + 50), 90));
            p.post();
        }
        form->ActSelectListExecute();
        ASSERT_EQ(c.thumbs().size(), 3u);
    }
    void markPositions(std::initializer_list<int> ks)
    {
        for (int k : ks)
            form->catalog().thumbs()[std::size_t(k)].marked = true;
    }
};

} // namespace

TEST_F(Wired, DeleteFromTheMenuRequeriesTheGridAndSaysReady)
{
    markPositions({0, 2});
    form->AcDelePhoto->trigger();
    EXPECT_EQ(ui.texts(), QStringList{"Delete 2 photo(s)?"});
    EXPECT_EQ(form->panels[0]->text(), "Ready");
    ASSERT_EQ(form->catalog().thumbs().size(), 1u);
    EXPECT_EQ(form->catalog().thumbs()[0].id, 2);
    EXPECT_EQ(form->panels[3]->text(), "1");
}

TEST_F(Wired, ExportKeepsTheStemBetweenRunsAndTheMarks)
{
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    markPositions({1});
    ui.files = {{out.path() + "/trip"}, {}};
    form->ActExportPhoto->trigger();
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{"trip1.jpg"});
    EXPECT_EQ(form->panels[0]->text(), "Ready");
    EXPECT_EQ(form->catalog().markedCount(), 1);
    form->ActExportPhoto->trigger();
    ASSERT_EQ(ui.fileRequests.size(), 2u);
    EXPECT_EQ(ui.fileRequests[1].fileName, out.path() + "/trip");
}

TEST_F(Wired, AnEngineErrorIsShownAndTheWindowGoesOn)
{
    // The photo list refuses the delete: its table is gone.
    form->catalog().ADOConnection1.execute("drop table ListPhoto");
    markPositions({0});
    form->AcDelePhoto->trigger();
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].icon, ui::Icon::Error);
    EXPECT_TRUE(ui.shown[1].text.contains("ListPhoto")) << ui.shown[1].text.toStdString();
    EXPECT_EQ(form->panels[0]->text(), "Delete photo 1");
}
