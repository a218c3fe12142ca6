#include "platform/database.h"
#include "tests/support/test_support.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace mv;
using db::CursorType;

namespace {

struct Catalogue {
    test::ProgramFolder folder;
    db::Connection list;
    db::Connection base;

    Catalogue()
    {
        QFile::copy(folder.file("FL.mdd"), folder.file("PhotoList.mdb"));
        QFile::copy(folder.file("FB.mdd"), folder.file("PhotoBase1.mdb"));
        list.setConnectionText(db::connectionText(folder.file("PhotoList.mdb")));
        list.open();
        base.setConnectionText(db::connectionText(folder.file("PhotoBase1.mdb")));
        base.open();
        list.execute("insert into Bases (Label, ReadOnly, File) values ('PhotoBase1', 0, 'a.mdb')");
        list.execute("insert into Bases (Label, ReadOnly, File) values ('Disc', 1, 'b.mdb')");
        list.execute("insert into Albums (Name) values ('Travel')");
        list.execute("insert into Themes (Name) values ('Sea')");
        // id, base, date, rank, text
        list.execute("insert into ListPhoto (id, Base, Date, Albums, Themes, Rank, Text, Exif, Video, SmallPhoto) values "
                     "(1, 1, '2004:07:15 10:20:30', 1, 1, 2, 'blue sea', '|F2.8', 0, x'FFD8FF'),"
                     "(2, 2, '2003:01:01 00:00:00', 1, 1, 1, 'Mountain', '', 0, x'00'),"
                     "(3, 9, '2005:05:05 05:05:05', 2, 1, 0, NULL, '/v/a.avi', 1, NULL)");
        base.execute("insert into Photos (Id, Photo) values (1, x'FFD8FFD9'), (2, x'FFD8')");
    }
};

int rows(db::Connection &c, const QString &sql)
{
    db::Query q(&c, CursorType::Static);
    q.setSql(sql);
    q.open();
    return q.recordCount();
}

} // namespace

// Each statement the program issues runs verbatim on files made from the templates.
TEST(Database, EveryStatementOfTheProgramRuns)
{
    Catalogue c;
    struct Case {
        bool onList;
        const char *sql;
        int rows;
    };
    const Case cases[] = {
        {true, "select id, SmallPhoto, Base from ListPhoto\nOrder by date", 3},
        {true, "select id, SmallPhoto, Base from ListPhoto\nWhere Albums =1\nand (Rank=2 OR Rank=1)\nOrder by date", 2},
        {true, "select id, SmallPhoto, Base from ListPhoto\nWhere UCASE(Text) Like '%SEA%'\nOrder by date", 1},
        {true, "select id, SmallPhoto, Base from ListPhoto\nWhere Themes =1\nand Base =2\nand Rank>=2\nOrder by date", 0},
        {true, "select max(id) from ListPhoto", 1},
        {true, "select * from ListPhoto where id=2", 1},
        {true, "select * from ListPhoto where id=0", 0},
        {true, "select * from ListPhoto Where id=0", 0},
        {true, "select b.Label,b.ReadOnly,l.Date,l.Text from ListPhoto l inner join Bases b on l.base = b.id where l.id=1", 1},
        {true, "select b.Id,b.ReadOnly from ListPhoto l inner join Bases b on l.base = b.id where l.id=2", 1},
        {true, "select b.File from ListPhoto l inner join Bases b on l.base = b.id where l.id=3", 0},
        {true, "select l.*, b.File from ListPhoto  l inner join Bases b on l.base = b.id where l.id=1", 1},
        {true, "select Id,Name from Albums order by Id", 1},
        {true, "select Id,Name from Themes order by Id", 1},
        {true, "select Id,Label,ReadOnly,File from Bases order by Id", 2},
        {true, "select Id,File,Label From Bases where ReadOnly=false", 1},
        {true, "select Id,File,Label From Bases ", 2},
        {true, "select * From Albums", 1},
        {true, "select * from Themes", 1},
        {false, "select * from Photos where id=1", 1},
        {false, "select * from Photos where id=0", 0},
        {false, "select id from Photos", 2},
    };
    for (const Case &k : cases)
        EXPECT_EQ(rows(k.onList ? c.list : c.base, QString::fromLatin1(k.sql)), k.rows) << k.sql;

    EXPECT_EQ(c.base.execute("delete from Photos where id =2"), 1);
    EXPECT_EQ(c.list.execute("delete from ListPhoto where id =3"), 1);
    EXPECT_EQ(rows(c.list, "select * from ListPhoto"), 2);
}

TEST(Database, CatalogueQueryOrdersByDateAndDefersThumbnails)
{
    Catalogue c;
    db::Query q(&c.list, CursorType::Static);
    q.setSql("select id, SmallPhoto, Base from ListPhoto\nOrder by date");
    q.open();
    ASSERT_EQ(q.recordCount(), 3);
    std::vector<qint64> ids;
    for (q.first(); !q.eof(); q.next())
        ids.push_back(q.intValue("ID")); // names match without regard to case
    EXPECT_EQ(ids, (std::vector<qint64>{2, 1, 3}));
    ASSERT_TRUE(q.locate("id", 1));
    EXPECT_EQ(q.bytes("smallphoto"), QByteArray("\xFF\xD8\xFF", 3));
    ASSERT_TRUE(q.locate("id", 3));
    EXPECT_TRUE(q.isNull("SmallPhoto"));
    EXPECT_FALSE(q.locate("id", 42));
    EXPECT_EQ(q.intValue("id"), 3) << "a failed locate keeps the position";
}

TEST(Database, StaticCursorIsASnapshot)
{
    Catalogue c;
    db::Query q(&c.list, CursorType::Static);
    q.setSql("select Id,Name from Albums order by Id");
    q.open();
    c.list.execute("insert into Albums (Name) values ('Later')");
    c.list.execute("update Albums set Name='Changed'");
    EXPECT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.text("Name"), "Travel");
    q.open();
    EXPECT_EQ(q.recordCount(), 2);
}

TEST(Database, DynamicCursorAppendsEditsDeletesAndKeepsBlobsUnchanged)
{
    Catalogue c;
    QByteArray blob(300000, '\0');
    for (int i = 0; i < blob.size(); ++i)
        blob[i] = char(i * 7 + (i >> 9));

    db::Query photos(&c.base, CursorType::Dynamic);
    photos.setSql("select * from Photos where id=0");
    photos.open();
    photos.append();
    photos.setValue("Id", 7);
    photos.setValue("Photo", blob);
    photos.post();
    EXPECT_EQ(photos.recordCount(), 1);

    db::Query again(&c.base, CursorType::Dynamic);
    again.setSql("select * from Photos where id=7");
    again.open();
    ASSERT_EQ(again.recordCount(), 1);
    EXPECT_EQ(again.bytes("Photo"), blob);
    again.edit();
    again.setValue("Photo", QByteArray("new"));
    EXPECT_EQ(again.bytes("Photo"), QByteArray("new")) << "the edit buffer is what the fields show";
    again.cancel();
    EXPECT_EQ(again.bytes("Photo"), blob);
    again.edit();
    again.setValue("Photo", QByteArray("new"));
    again.post();
    EXPECT_EQ(rows(c.base, "select * from Photos where id=7"), 1);
    again.remove();
    EXPECT_EQ(again.recordCount(), 0);
    EXPECT_EQ(rows(c.base, "select * from Photos where id=7"), 0);

    // Counters come from the engine and are never reused.
    db::Query albums(&c.list, CursorType::Dynamic);
    albums.setSql("select * From Albums");
    albums.open();
    albums.append();
    albums.setValue("Name", "Family");
    albums.post();
    const qint64 first = albums.intValue("Id");
    EXPECT_GT(first, 1);
    albums.remove();
    albums.append();
    albums.setValue("Name", "Friends");
    albums.post();
    EXPECT_GT(albums.intValue("Id"), first);
}

TEST(Database, EngineErrorsCarryTheEnginesMessageAndLeaveNoTransaction)
{
    Catalogue c;
    try {
        rows(c.list, "select foo from Nowhere");
        FAIL() << "no error";
    } catch (const db::Error &e) {
        EXPECT_NE(e.message().indexOf("no such table"), -1) << e.message().toStdString();
    }
    // Duplicate key: the statement fails by itself, later ones still work.
    EXPECT_THROW(c.list.execute("insert into ListPhoto (id) values (1)"), db::Error);
    EXPECT_NO_THROW(c.list.execute("insert into ListPhoto (id) values (10)"));
    EXPECT_EQ(rows(c.list, "select * from ListPhoto"), 4);

    db::Query q(&c.list, CursorType::Static);
    q.setSql("select * from ListPhoto where id=1");
    q.open();
    EXPECT_THROW(q.text("NoSuchField"), db::Error);
    EXPECT_THROW(q.edit(), db::Error) << "static cursors are read-only";
}

TEST(Database, FilesThatAreNotDatabasesFailAtOpenAndStayUntouched)
{
    test::ProgramFolder folder;
    const QByteArray garbage("this is no database at all, just some text bytes.................");
    const QString path = folder.file("PhotoList.mdb");
    ASSERT_TRUE(test::writeFile(path, garbage));
    db::Connection c(db::connectionText(path));
    try {
        c.open();
        FAIL() << "opened garbage";
    } catch (const db::Error &e) {
        EXPECT_NE(e.message().indexOf("not a database"), -1) << e.message().toStdString();
    }
    EXPECT_FALSE(c.isOpen());
    EXPECT_EQ(test::readFile(path), garbage);

    db::Connection none(db::connectionText(QString()));
    EXPECT_THROW(none.open(), db::Error);
    db::Connection missing(db::connectionText(folder.file("missing.mdb")));
    EXPECT_THROW(missing.open(), db::Error);
    EXPECT_FALSE(QFile::exists(folder.file("missing.mdb"))) << "opening never creates a file";
}

TEST(Database, UcaseAndLikeFollowTheCatalogueRules)
{
    Catalogue c;
    c.list.execute(QString::fromUtf8("update ListPhoto set Text='Ärger am Strand' where id=2"));
    EXPECT_EQ(rows(c.list, QString::fromUtf8("select id from ListPhoto where UCASE(Text) Like '%ÄRGER%'")), 1);
    EXPECT_EQ(rows(c.list, "select id from ListPhoto where UCASE(Text) Like '%S_A%'"), 1) << "_ is a wildcard";
    EXPECT_EQ(rows(c.list, "select id from ListPhoto where Video=false"), 2);
}
