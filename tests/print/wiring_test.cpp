// The Print command as the main window runs it once wired: the refusal, the
// dialog on the window's own catalogue and the progress in the status panel.

#include "app/mainform.h"
#include "app/wiring.h"
#include "platform/jpeg.h"
#include "platform/settings.h"
#include "print/formprint.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace mv;

TEST(PrintWiring, PrintCommandRefusesOrOpensTheDialog)
{
    test::ScriptedUi ui;
    test::ProgramFolder folder;
    settings::writeInt("Show", 60);
    TmainForm form(folder.path());
    wirePrint(form);
    form.resize(800, 600);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.openCatalogue();
    Catalog &c = form.catalog();
    for (int id = 1; id <= 2; ++id) {
        c.ADOConnection1.execute(
            QStringLiteral("insert into ListPhoto (id, Base, Date, SmallPhoto) values (%1, %2, '2022:01:0%1 00:00:00', x'00')")
                .arg(id)
                .arg(c.currentBaseId()));
        db::Query p(&c.ADOConnection2, db::CursorType::Dynamic);
        p.setSql(sql::kEmptyPhoto);
        p.open();
        p.append();
        p.setValue("Id", id);
        p.setValue("Photo", jpeg::encode(test::randomBitmap(30, 20, unsigned(id)), 90));
        p.post();
    }
    form.ActSelectListExecute();
    ASSERT_EQ(c.thumbs().size(), 2u);

    form.ActPrint->trigger();
    EXPECT_EQ(ui.texts(), QStringList{QStringLiteral("The photos for a seal are not chosen!")});

    ui.clear();
    c.thumbs()[1].marked = true;
    form.setStatusText(0, QString());
    QString pageLabel;
    QTimer::singleShot(0, [&] {
        if (auto *d = qobject_cast<TFormPrint *>(QApplication::activeModalWidget())) {
            d->Button4->click();
            pageLabel = d->Label5->text();
            d->Button3->click();
        }
    });
    form.ActPrint->trigger();
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(pageLabel, QStringLiteral("1 of 1"));
    EXPECT_EQ(form.panels[0]->text(), QStringLiteral("Ready"));
}
