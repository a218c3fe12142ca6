#include "catalog/catalog.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace mv;

namespace {

QString lines(const sql::CatalogueFilter &f) { return sql::catalogueQuery(f).join(QLatin1Char('\n')); }

// While alive, file permissions apply even when the tests run as root.
struct AsUnprivileged {
    bool dropped = false;
    AsUnprivileged()
    {
        if (geteuid() == 0)
            dropped = setegid(65534) == 0 && seteuid(65534) == 0;
    }
    ~AsUnprivileged()
    {
        if (dropped && (seteuid(0) != 0 || setegid(0) != 0))
            std::abort();
    }
};

void addPhoto(Catalog &c, qint64 id, qint64 base = 1)
{
    c.ADOConnection1.execute(QStringLiteral("insert into ListPhoto (id, Base, Date, Rank, Video) values (%1, %2, '2001:01:01 00:00:%3', 0, 0)")
                                 .arg(id)
                                 .arg(base)
                                 .arg(id % 60, 2, 10, QLatin1Char('0')));
}

} // namespace

TEST(CatalogueQuery, LinesFollowTheTickedFilters)
{
    struct Case {
        sql::CatalogueFilter filter;
        const char *expected;
    };
    const Case cases[] = {
        {{}, "select id, SmallPhoto, Base from ListPhoto\nOrder by date"},
        {{.album = 3, .rankItem = 1},
         "select id, SmallPhoto, Base from ListPhoto\nWhere Albums =3\nand (Rank=2 OR Rank=1)\nOrder by date"},
        {{.text = QStringLiteral("  sea ")},
         "select id, SmallPhoto, Base from ListPhoto\nWhere UCASE(Text) Like '%SEA%'\nOrder by date"},
        {{.theme = 2, .base = 5, .rankItem = 0, .text = QStringLiteral("\t\n")},
         "select id, SmallPhoto, Base from ListPhoto\nWhere Themes =2\nand Base =5\nand Rank>=2\nOrder by date"},
        {{.rankItem = 3, .text = QStringLiteral("it's")},
         "select id, SmallPhoto, Base from ListPhoto\nWhere (Rank=0)\nand UCASE(Text) Like '%IT''S%'\nOrder by date"},
        {{.text = QStringLiteral("")}, "select id, SmallPhoto, Base from ListPhoto\nOrder by date"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(lines(c.filter).toStdString(), c.expected);
}

TEST(Catalog, FirstStartCreatesTheCatalogueFromReadOnlyTemplates)
{
    test::ScriptedUi ui;
    test::ProgramFolder folder;
    for (const char *t : {"FL.mdd", "FB.mdd"})
        QFile::setPermissions(folder.file(t), QFile::ReadOwner | QFile::ReadGroup);
    Catalog c(folder.path());
    c.openAtStartup();
    EXPECT_TRUE(QFile::exists(folder.file("PhotoList.mdb")));
    EXPECT_TRUE(QFile::exists(folder.file("PhotoBase1.mdb")));
    EXPECT_TRUE(QFile::permissions(folder.file("PhotoList.mdb")) & QFile::WriteOwner);
    EXPECT_TRUE(QFile::permissions(folder.file("PhotoBase1.mdb")) & QFile::WriteOwner);
    ASSERT_EQ(c.QVListB.recordCount(), 1);
    EXPECT_EQ(c.QVListB.text("Label"), "PhotoBase1");
    EXPECT_FALSE(c.QVListB.boolValue("ReadOnly"));
    EXPECT_EQ(c.QVListB.text("File"), folder.file("PhotoBase1.mdb"));
    EXPECT_EQ(c.currentBaseId(), c.QVListB.intValue("Id"));
    EXPECT_TRUE(c.ADOConnection2.isOpen());
    EXPECT_EQ(c.NextPhotoId(), 1);
    EXPECT_TRUE(ui.shown.empty());
}

TEST(Catalog, LaterStartsCreateNothingAndOpenTheLowestRegisteredFileIfPresent)
{
    test::ScriptedUi ui;
    test::ProgramFolder folder;
    {
        Catalog first(folder.path());
        first.openAtStartup();
        first.ADOConnection1.execute("update Bases set File='/nowhere/PhotoBase1.mdb'");
        first.ADOConnection1.execute("insert into Bases (Label, ReadOnly, File) values ('Second', 0, '" + folder.file("PhotoBase1.mdb") + "')");
    }
    Catalog c(folder.path());
    c.openAtStartup();
    EXPECT_EQ(c.QVListB.recordCount(), 2);
    EXPECT_EQ(c.currentBaseId(), 0) << "the lowest-id file is missing: no question, no connection";
    EXPECT_FALSE(c.ADOConnection2.isOpen());
    EXPECT_TRUE(ui.shown.empty());
}

TEST(Catalog, AnExistingPhotoBase1IsRegisteredNotOverwritten)
{
    test::ScriptedUi ui;
    test::ProgramFolder folder;
    QFile::copy(folder.file("FB.mdd"), folder.file("PhotoBase1.mdb"));
    {
        db::Connection b(db::connectionText(folder.file("PhotoBase1.mdb")));
        b.open();
        b.execute("insert into Photos (Id, Photo) values (5, x'FFD8FFD9')");
    }
    const QByteArray before = test::readFile(folder.file("PhotoBase1.mdb"));
    Catalog c(folder.path());
    c.openAtStartup();
    EXPECT_EQ(test::readFile(folder.file("PhotoBase1.mdb")), before);
    EXPECT_EQ(c.QVListB.recordCount(), 1);
    db::Query q(&c.ADOConnection2);
    q.setSql("select id from Photos");
    q.open();
    EXPECT_EQ(q.recordCount(), 1);
}

TEST(Catalog, StartUpFailuresCarryAMessageAndTouchNothing)
{
    test::ScriptedUi ui;
    {
        test::ProgramFolder folder;
        QFile::remove(folder.file("FL.mdd"));
        Catalog c(folder.path());
        try {
            c.openAtStartup();
            FAIL() << "opened without a template";
        } catch (const db::Error &e) {
            EXPECT_NE(e.message().indexOf("unable to open database file"), -1) << e.message().toStdString();
        }
        EXPECT_FALSE(QFile::exists(folder.file("PhotoList.mdb")));
    }
    {
        test::ProgramFolder folder;
        const QByteArray garbage(4096, '\x5a');
        test::writeFile(folder.file("PhotoList.mdb"), garbage);
        Catalog c(folder.path());
        try {
            c.openAtStartup();
            FAIL() << "opened garbage";
        } catch (const db::Error &e) {
            EXPECT_NE(e.message().indexOf("not a database"), -1) << e.message().toStdString();
        }
        EXPECT_EQ(test::readFile(folder.file("PhotoList.mdb")), garbage);
        EXPECT_FALSE(QFile::exists(folder.file("PhotoBase1.mdb")));
    }
    {
        test::ProgramFolder folder;
        const QString dir = folder.path();
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        for (const char *t : {"FL.mdd", "FB.mdd"})
            QFile::setPermissions(folder.file(t), QFile::ReadOwner | QFile::ReadOther);
        Catalog c(dir);
        QString message;
        {
            AsUnprivileged guard;
            try {
                c.openAtStartup();
            } catch (const db::Error &e) {
                message = e.message();
            }
        }
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_NE(message.indexOf(dir), -1) << "the message names the folder: " << message.toStdString();
    }
}

TEST(Catalog, NextPhotoIdIsTheHighestPlusOne)
{
    test::ScriptedUi ui;
    test::ProgramFolder folder;
    Catalog c(folder.path());
    c.openAtStartup();
    EXPECT_EQ(c.NextPhotoId(), 1);
    addPhoto(c, 1);
    addPhoto(c, 7);
    EXPECT_EQ(c.NextPhotoId(), 8);
    c.ADOConnection1.execute(sql::deleteRecord(7));
    EXPECT_EQ(c.NextPhotoId(), 2) << "deleting the highest id frees it again";
}

TEST(Catalog, OpenPhotoBaseAsksForTheDiscUntilFoundOrCancelled)
{
    test::ScriptedUi ui;
    test::ProgramFolder folder;
    Catalog c(folder.path());
    c.openAtStartup();
    const qint64 first = c.currentBaseId();
    const QString disc = folder.file("disc/Travel.mdb");
    c.appendBase(disc, QStringLiteral("Travel"), false);
    const qint64 travel = Catalog::currentId(c.QVListB);

    c.OpenPhotoBase(999);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Error. Id media = 999 not exists.");
    EXPECT_EQ(ui.shown[0].icon, ui::Icon::Information);
    EXPECT_EQ(c.currentBaseId(), first);

    ui.clear();
    ui.answers = {ui::Answer::Ok, ui::Answer::Cancel};
    c.OpenPhotoBase(travel);
    ASSERT_EQ(ui.shown.size(), 2u) << "OK looks again, Cancel gives up";
    EXPECT_EQ(ui.shown[0].text, "Insert Disc Label as Travel  (File " + disc + ")");
    EXPECT_EQ(ui.shown[0].buttons, ui::Buttons::OkCancel);
    EXPECT_EQ(c.currentBaseId(), first);
    EXPECT_TRUE(c.ADOConnection2.isOpen());
    EXPECT_EQ(c.ADOConnection2.path(), folder.file("PhotoBase1.mdb"));

    // The disc arrives while the prompt is up.
    ui.clear();
    ui.answers = {ui::Answer::Ok};
    ui.onMessage = [&](const auto &) {
        QDir().mkpath(folder.file("disc"));
        QFile::copy(folder.file("FB.mdd"), disc);
    };
    c.OpenPhotoBase(travel);
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(c.currentBaseId(), travel);
    EXPECT_EQ(c.ADOConnection2.path(), disc);
}

TEST(Catalog, NewPhotoBaseFilesGetTheLabelRule)
{
    EXPECT_EQ(Catalog::labelFor(QStringLiteral("D:\\Photo\\Travel.mdb")), "hoto\\Travel.mdb");
    EXPECT_EQ(Catalog::labelFor(QStringLiteral("/a/Travel.mdb")), "/a/Travel.mdb");

    test::ScriptedUi ui;
    test::ProgramFolder folder;
    Catalog c(folder.path());
    c.openAtStartup();
    const qint64 current = c.currentBaseId();
    const QString file = folder.file("Travel.mdb");
    ASSERT_TRUE(c.createPhotoBaseFile(file));
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(c.QVListB.recordCount(), 2);
    EXPECT_EQ(c.QVListB.text("File"), file) << "the new row is the current one";
    EXPECT_EQ(c.QVListB.text("Label"), file.right(15));
    EXPECT_FALSE(c.QVListB.boolValue("ReadOnly"));
    EXPECT_EQ(c.currentBaseId(), current) << "the new file is not opened";

    QFile::remove(folder.file("FB.mdd"));
    EXPECT_FALSE(c.createPhotoBaseFile(folder.file("Other.mdb")));
    EXPECT_EQ(c.QVListB.recordCount(), 2);
}

TEST(Catalog, SearchTextNeverBreaksTheStatement)
{
    test::ScriptedUi ui;
    test::ProgramFolder folder;
    Catalog c(folder.path());
    c.openAtStartup();
    addPhoto(c, 1);
    c.ADOConnection1.execute("update ListPhoto set Text='it''s 100% fun_day' where id=1");
    struct Case {
        QString text;
        int rows;
    };
    const Case cases[] = {
        {QStringLiteral("it's"), 1},
        {QStringLiteral("'"), 1},
        {QStringLiteral("''); drop table ListPhoto; --"), 0},
        {QStringLiteral("100%"), 1},
        {QStringLiteral("fun_day"), 1},
        {QStringLiteral("f_n"), 1},
        {QStringLiteral("\x01\x02it\x1f\x7f"), 0},
        {QString(QChar(0)) + QStringLiteral("fun"), 1},
        {QString(1000, QLatin1Char('x')), 0},
        {QString(1000, QLatin1Char('\'')), 0},
    };
    for (const Case &k : cases) {
        sql::CatalogueFilter f;
        f.text = k.text;
        ASSERT_NO_THROW(c.runCatalogueQuery(f)) << k.text.toStdString();
        EXPECT_EQ(c.thumbs().size(), std::size_t(k.rows)) << k.text.toStdString();
    }
    EXPECT_EQ(c.NextPhotoId(), 2) << "the table is still there";
}

TEST(Catalog, QueryFailureLeavesTheQueryClosedAndTheListEmpty)
{
    test::ScriptedUi ui;
    test::ProgramFolder folder;
    Catalog c(folder.path());
    c.openAtStartup();
    addPhoto(c, 1);
    c.runCatalogueQuery({});
    ASSERT_EQ(c.thumbs().size(), 1u);
    c.ADOConnection1.execute("drop table ListPhoto");
    EXPECT_THROW(c.runCatalogueQuery({}), db::Error);
    EXPECT_FALSE(c.QVListF.isOpen());
    EXPECT_TRUE(c.thumbs().empty());
}
