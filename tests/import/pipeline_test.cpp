#include "import/exif.h"
#include "import/import_pipeline.h"
#include "import/thumbnail.h"
#include "platform/files.h"
#include "platform/jpeg.h"
#include "platform/pictures.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"

#include <QDir>
#include <QRegularExpression>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <array>
#include <map>
#include <memory>

using namespace mv;

namespace {

struct Row {
    qint64 id = 0, base = 0, album = 0, theme = 0, rank = -1;
    QString date, exif;
    bool video = false, textNull = false;
    QByteArray thumb;
};

std::vector<Row> listRows(db::Connection &c)
{
    db::Query q(&c, db::CursorType::Static);
    q.setSql(QStringLiteral("select * from ListPhoto order by id"));
    q.open();
    std::vector<Row> out;
    for (q.first(); !q.eof(); q.next()) {
        Row r;
        r.id = q.intValue("id");
        r.base = q.intValue("Base");
        r.album = q.intValue("Albums");
        r.theme = q.intValue("Themes");
        r.rank = q.intValue("Rank");
        r.date = q.text("Date");
        r.exif = q.text("Exif");
        r.video = q.boolValue("Video");
        r.textNull = q.isNull("Text");
        r.thumb = q.bytes("SmallPhoto");
        out.push_back(r);
    }
    return out;
}


QSize jpegSize(const QByteArray &bytes) { return jpeg::readSize(bytes); }

// A PhotoBase file outside the register holding the given photos.
void makeSourceBase(const QString &templateFile, const QString &file, const std::vector<std::pair<qint64, QByteArray>> &photos)
{
    QFile::remove(file);
    ASSERT_TRUE(files::copyOver(templateFile, file));
    files::clearReadOnly(file);
    db::Connection c(db::connectionText(file));
    c.open();
    db::Query q(&c, db::CursorType::Dynamic);
    q.setSql(QStringLiteral("select * from Photos where id=0"));
    q.open();
    for (const auto &[id, bytes] : photos) {
        q.append();
        q.setValue("Id", id);
        q.setValue("Photo", bytes);
        q.post();
    }
}

class Import : public ::testing::Test {
protected:
    void SetUp() override
    {
        catalog = std::make_unique<Catalog>(folder.path());
        catalog->openAtStartup();
        ASSERT_TRUE(src.isValid());
    }

    QString base1() const { return folder.file("PhotoBase1.mdb"); }
    QString srcFile(const QString &name) const { return src.path() + QLatin1Char('/') + name; }

    QString jpegFile(const QString &name, int w, int h, unsigned seed)
    {
        const QString path = srcFile(name);
        EXPECT_TRUE(test::writeFile(path, jpeg::encode(test::randomBitmap(w, h, seed), 90)));
        return path;
    }
    QString bytesFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = srcFile(name);
        EXPECT_TRUE(test::writeFile(path, bytes));
        return path;
    }

    ImportCallbacks callbacks()
    {
        ImportCallbacks c;
        c.status = [this](const QString &t) { statuses << t; };
        c.progress = [this](int f, int n, int p, int m) { progress.push_back({f, n, p, m}); };
        c.repaint = [this] { ++repaints; };
        return c;
    }
    ImportEnd run(const QStringList &files, ImportSource source = ImportSource::Files, bool indexOnly = false, int prefetch = 1)
    {
        ImportPipeline p(*catalog, callbacks());
        p.setPrefetch(prefetch);
        return p.run(files, source, indexOnly);
    }

    // Registers a second PhotoBase file and makes it the picked one.
    qint64 addBase(const QString &file, bool readOnly, bool create = true)
    {
        if (create) {
            EXPECT_TRUE(files::copyOver(folder.file("FB.mdd"), file));
            files::clearReadOnly(file);
        }
        catalog->appendBase(file, Catalog::labelFor(file), readOnly);
        return Catalog::currentId(catalog->QVListB);
    }

    test::ScriptedUi ui;
    test::ProgramFolder folder;
    std::unique_ptr<Catalog> catalog;
    QTemporaryDir src;
    QStringList statuses;
    std::vector<std::array<int, 4>> progress;
    int repaints = 0;
};

} // namespace

TEST(ImportTexts, StatusConfirmationAndPhotoNames)
{
    EXPECT_EQ(ImportStatusText(QStringLiteral("/a/b/12345678901.jpg")), "Import ../a/b/12345678901.jpg"); // 20: whole
    EXPECT_EQ(ImportStatusText(QStringLiteral("/home/user/pics/abcdefghij12345.jpg")), "Import ..s/abcdefghij12345.jpg");
    EXPECT_EQ(ImportConfirmationText(ImportSource::Files, 3, QStringLiteral("/p/PhotoBase1.mdb")),
              "Import 3 File (s) in /p/PhotoBase1.mdb ?");
    EXPECT_EQ(ImportConfirmationText(ImportSource::PhotoBase, 2, QStringLiteral("/p/PhotoBase1.mdb")),
              "Import File (s) From /p/PhotoBase1.mdb ?");
    const std::pair<const char *, bool> names[] = {
        {"a.jpg", true}, {"a.JPG", true}, {"a.JpG", true}, {"a.jpeg", false}, {"a.avi", false}, {"jpg", false}, {"a.jpg.avi", false},
    };
    for (const auto &[name, photo] : names)
        EXPECT_EQ(IsPhotoFileName(QString::fromLatin1(name)), photo) << name;
}

TEST_F(Import, FilesGetSequentialIdsTheirOwnBytesAndTheRuleThumbnail)
{
    catalog->ADOConnection1.execute("insert into Albums (Name) values ('Trips')");
    catalog->ADOConnection1.execute("insert into Albums (Name) values ('Family')");
    catalog->ADOConnection1.execute("insert into Themes (Name) values ('Sea')");
    catalog->reopenList(catalog->QVListA);
    catalog->reopenList(catalog->QVListT);
    catalog->QVListA.last();
    const qint64 album = Catalog::currentId(catalog->QVListA);
    const qint64 theme = Catalog::currentId(catalog->QVListT);

    const QString camera = test::corpusDir() + "exifsamples_canon-ixus.jpg";
    const QStringList chosen = {
        jpegFile("land.jpg", 2048, 1536, 1),
        jpegFile("Portrait.JPG", 1536, 2048, 2),
        jpegFile("wide.Jpg", 3000, 2000, 3),
        camera,
    };
    EXPECT_EQ(run(chosen), ImportEnd::Completed);
    EXPECT_TRUE(ui.shown.empty()) << ui.texts().join("\n").toStdString();

    const auto rows = listRows(catalog->ADOConnection1);
    ASSERT_EQ(rows.size(), 4u);
    const auto photos = test::storedPhotos(base1());
    ASSERT_EQ(photos.size(), 4u);
    const QSize sizes[] = {{100, 75}, {75, 100}, {100, 66}};
    for (int i = 0; i < 4; ++i) {
        const Row &r = rows[std::size_t(i)];
        const QByteArray source = test::readFile(chosen[i]);
        EXPECT_EQ(r.id, i + 1);
        ASSERT_TRUE(photos.count(r.id));
        EXPECT_EQ(photos.at(r.id), source) << "stored bytes differ for " << i;
        EXPECT_EQ(r.base, catalog->currentBaseId());
        EXPECT_EQ(r.album, album);
        EXPECT_EQ(r.theme, theme);
        EXPECT_EQ(r.rank, 0);
        EXPECT_FALSE(r.video);
        EXPECT_TRUE(r.textNull);
        if (i < 3) {
            EXPECT_EQ(jpegSize(r.thumb), sizes[i]);
        }
        EXPECT_EQ(r.thumb, MakeThumbnail(jpeg::decode(source)));
        QString date, summary;
        ReadExif(source, date, summary);
        EXPECT_EQ(r.date, date);
        EXPECT_EQ(r.exif, summary);
    }
    EXPECT_EQ(rows[3].date, "2001:06:09 15:17:32");
    EXPECT_EQ(rows[3].exif, "|1/350 sec|F4.0");
    EXPECT_TRUE(rows[0].date.isEmpty());

    QStringList expected;
    for (const QString &f : chosen)
        expected << ImportStatusText(f);
    expected << "Ready";
    EXPECT_EQ(statuses, expected);
    ASSERT_EQ(progress.size(), 4u);
    EXPECT_EQ(progress[0], (std::array<int, 4>{1, 4, 0, 0}));
    EXPECT_EQ(progress[3], (std::array<int, 4>{4, 4, 0, 0}));
    EXPECT_EQ(repaints, 1);

    // A second run counts on from the highest id.
    EXPECT_EQ(run({chosen[0]}), ImportEnd::Completed);
    EXPECT_EQ(listRows(catalog->ADOConnection1).back().id, 5);
    EXPECT_EQ(test::storedPhotos(base1()).rbegin()->first, 5);
}

TEST_F(Import, PreparingOnOtherThreadsWritesWhatTheCallingThreadWrites)
{
    QStringList chosen;
    for (int i = 0; i < 7; ++i)
        chosen << jpegFile(QStringLiteral("p%1.jpg").arg(i), 320 + 16 * i, 240, unsigned(10 + i));
    chosen.insert(3, srcFile("clip.avi"));
    test::writeFile(chosen[3], "RIFF");
    ASSERT_EQ(run(chosen, ImportSource::Files, false, 0), ImportEnd::Completed);
    const auto serial = listRows(catalog->ADOConnection1);
    catalog->ADOConnection1.execute("delete from ListPhoto");
    catalog->ADOConnection2.execute("delete from Photos");
    ASSERT_EQ(run(chosen, ImportSource::Files, false, 3), ImportEnd::Completed);
    const auto parallel = listRows(catalog->ADOConnection1);
    ASSERT_EQ(serial.size(), parallel.size());
    for (std::size_t i = 0; i < serial.size(); ++i) {
        EXPECT_EQ(parallel[i].id, serial[i].id);
        EXPECT_EQ(parallel[i].thumb, serial[i].thumb);
        EXPECT_EQ(parallel[i].video, serial[i].video);
        EXPECT_EQ(parallel[i].exif, serial[i].exif);
    }
    EXPECT_TRUE(parallel[3].video);
}

TEST_F(Import, VideosAreCataloguedByPathWithTheFileTime)
{
    QDir(src.path()).mkpath("holiday clips");
    const QString names[] = {"holiday clips/Sommer Ferien – Météo 1.avi", "видео.AVI", "still.jpeg"};
    QStringList chosen;
    for (const QString &n : names)
        chosen << bytesFile(n, "not really a video");
    ASSERT_EQ(run(chosen), ImportEnd::Completed);
    EXPECT_TRUE(ui.shown.empty());
    const auto rows = listRows(catalog->ADOConnection1);
    ASSERT_EQ(rows.size(), 3u);
    const QByteArray videoThumb = MakeThumbnail(pictures::videoFrame(), QSize(72, 48));
    for (int i = 0; i < 3; ++i) {
        const Row &r = rows[std::size_t(i)];
        EXPECT_EQ(r.id, i + 1);
        EXPECT_TRUE(r.video);
        EXPECT_EQ(r.exif, chosen[i]);
        EXPECT_EQ(r.date, files::modificationTimeText(chosen[i]));
        EXPECT_EQ(jpegSize(r.thumb), QSize(100, 66));
        EXPECT_EQ(r.thumb, videoThumb);
    }
    EXPECT_TRUE(QRegularExpression("^\\d{4}:\\d\\d:\\d\\d \\d\\d:\\d\\d:\\d\\d$").match(rows[0].date).hasMatch()) << rows[0].date.toStdString();
    EXPECT_TRUE(test::storedPhotos(base1()).empty());
}

namespace {

// A JPEG with an APP1 "Exif" segment holding the given TIFF block.
QByteArray withExif(const QByteArray &jpegBytes, const QByteArray &tiff)
{
    QByteArray app1 = QByteArray("Exif\0\0", 6) + tiff;
    const int len = int(app1.size()) + 2;
    QByteArray seg;
    seg.append(char(0xFF)).append(char(0xE1)).append(char((len >> 8) & 0xFF)).append(char(len & 0xFF));
    seg += app1;
    return jpegBytes.left(2) + seg + jpegBytes.mid(2);
}

QByteArray le16(int v) { return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char((v >> 8) & 0xFF)); }
QByteArray le32(quint32 v) { return le16(int(v & 0xFFFF)) + le16(int(v >> 16)); }
QByteArray entry(int tag, int type, quint32 count, quint32 value) { return le16(tag) + le16(type) + le32(count) + le32(value); }

} // namespace

TEST_F(Import, OddButDecodableFilesAreImportedAsTheyAre)
{
    const QByteArray plain = jpeg::encode(test::randomBitmap(640, 480, 7), 90);
    const QByteArray head = QByteArray("II*\0", 4);
    struct Case {
        const char *name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"no exif.jpg", plain},
        {"cut in the scan.jpg", plain.left(plain.size() * 2 / 3)},
        {"ifd beyond end.jpg", withExif(plain, head + le32(0x7FFFFFF0))},
        {"huge entry count.jpg", withExif(plain, head + le32(8) + le16(0xFFFF) + entry(0x0132, 2, 20, 26))},
        {"date beyond block.jpg", withExif(plain, head + le32(8) + le16(1) + entry(0x0132, 2, 0x7FFFFFFF, 0x7FFFFF00) + le32(0))},
        {"exif ifd loops.jpg", withExif(plain, head + le32(8) + le16(1) + entry(0x8769, 4, 1, 8) + le32(8))},
        {"truncated tiff.jpg", withExif(plain, QByteArray("MM\0*", 4))},
        {"empty app1.jpg", withExif(plain, QByteArray())},
    };
    QStringList chosen;
    for (const Case &c : cases)
        chosen << bytesFile(QString::fromUtf8(c.name), c.bytes);
    ASSERT_EQ(run(chosen), ImportEnd::Completed) << ui.texts().join("\n").toStdString();
    EXPECT_TRUE(ui.shown.empty()) << ui.texts().join("\n").toStdString();
    const auto rows = listRows(catalog->ADOConnection1);
    const auto photos = test::storedPhotos(base1());
    ASSERT_EQ(rows.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(photos.at(rows[i].id), cases[i].bytes) << cases[i].name;
        EXPECT_EQ(jpegSize(rows[i].thumb), QSize(100, 75)) << cases[i].name;
    }
    EXPECT_TRUE(rows[0].date.isEmpty());
    EXPECT_TRUE(rows[0].exif.isEmpty());
}

TEST_F(Import, AFileThatCannotBeReadEndsTheImportAfterTheFilesBeforeIt)
{
    const QByteArray plain = jpeg::encode(test::randomBitmap(200, 100, 3), 90);
    struct Case {
        const char *name;
        QByteArray bytes; // empty name part: the file is not written at all
        bool write;
    };
    const Case cases[] = {
        {"zero.jpg", QByteArray(), true},
        {"notes.jpg", QByteArray("Dear diary, today I took no photos.\n"), true},
        {"header only.jpg", plain.left(120), true},
        {"missing.jpg", QByteArray(), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        catalog->ADOConnection1.execute("delete from ListPhoto");
        catalog->ADOConnection2.execute("delete from Photos");
        ui.clear();
        statuses.clear();
        const QString good1 = jpegFile("good1.jpg", 200, 100, 1);
        const QString bad = c.write ? bytesFile(QString::fromLatin1(c.name), c.bytes) : srcFile(QString::fromLatin1(c.name));
        const QString good2 = jpegFile("good2.jpg", 200, 100, 2);
        QString message;
        try {
            run({good1, bad, good2});
        } catch (const std::exception &e) {
            message = QString::fromUtf8(e.what());
        }
        EXPECT_FALSE(message.isEmpty());
        EXPECT_EQ(statuses.last(), ImportStatusText(bad));
        EXPECT_FALSE(statuses.contains("Ready"));
        auto rows = listRows(catalog->ADOConnection1);
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].id, 1);
        EXPECT_EQ(test::storedPhotos(base1()).size(), 1u);
        // Nothing half-made is left in the insertion cursors for the next run.
        EXPECT_EQ(run({good2}), ImportEnd::Completed);
        rows = listRows(catalog->ADOConnection1);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[1].id, 2);
        EXPECT_EQ(test::storedPhotos(base1()).at(2), test::readFile(good2));
    }
}

TEST_F(Import, AFailedImageWriteTakesItsIndexRecordBack)
{
    const QString good = jpegFile("a.jpg", 160, 120, 1);
    const QString next = jpegFile("b.jpg", 160, 120, 2);
    ASSERT_EQ(run({good}), ImportEnd::Completed);
    catalog->ADOConnection2.execute(
        "create trigger full_disc before insert on Photos begin select raise(abort, 'database or disk is full'); end");
    QString message;
    try {
        run({next});
    } catch (const std::exception &e) {
        message = QString::fromUtf8(e.what());
    }
    EXPECT_TRUE(message.contains("disk is full")) << message.toStdString();
    auto rows = listRows(catalog->ADOConnection1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].id, 1);

    // From a PhotoBase source the failing file is skipped, also without a stray entry.
    const QString source = srcFile("source.mdb");
    makeSourceBase(folder.file("FB.mdd"), source, {{4, test::readFile(next)}});
    EXPECT_EQ(run({source}, ImportSource::PhotoBase), ImportEnd::Completed);
    EXPECT_EQ(listRows(catalog->ADOConnection1).size(), 1u);

    catalog->ADOConnection2.execute("drop trigger full_disc");
    EXPECT_EQ(run({next}), ImportEnd::Completed);
    rows = listRows(catalog->ADOConnection1);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].id, 2);
    EXPECT_EQ(test::storedPhotos(base1()).size(), 2u);
}

TEST_F(Import, AnImageLeftUnderTheNewIdIsOverwritten)
{
    catalog->ADOConnection2.execute("insert into Photos (Id, Photo) values (1, x'0102')");
    const QString file = jpegFile("a.jpg", 160, 120, 1);
    ASSERT_EQ(run({file}), ImportEnd::Completed);
    const auto photos = test::storedPhotos(base1());
    ASSERT_EQ(photos.size(), 1u);
    EXPECT_EQ(photos.at(1), test::readFile(file));
    EXPECT_EQ(listRows(catalog->ADOConnection1).size(), 1u);
}

TEST_F(Import, ChosenPhotoBaseFileIsOpenedAndWrittenTo)
{
    const qint64 first = catalog->currentBaseId();
    const QString file2 = folder.file("Second.mdb");
    const qint64 second = addBase(file2, false);
    const QString photo = jpegFile("a.jpg", 160, 120, 1);
    ASSERT_EQ(run({photo}), ImportEnd::Completed);
    EXPECT_EQ(catalog->currentBaseId(), second);
    EXPECT_NE(first, second);
    EXPECT_EQ(listRows(catalog->ADOConnection1).at(0).base, second);
    EXPECT_EQ(test::storedPhotos(file2).size(), 1u);
    EXPECT_TRUE(test::storedPhotos(base1()).empty());
}

TEST_F(Import, ReadOnlyRefusalOnlyForAFileThatIsNotCurrent)
{
    const qint64 first = catalog->currentBaseId();
    const QString photo = jpegFile("a.jpg", 160, 120, 1);
    const qint64 second = addBase(folder.file("Disc.mdb"), true);
    EXPECT_EQ(run({photo}), ImportEnd::ReadOnly);
    EXPECT_EQ(ui.texts(), QStringList{"PhotoBase File is Read Only."});
    EXPECT_EQ(ui.shown[0].icon, ui::Icon::Error);
    EXPECT_EQ(catalog->currentBaseId(), first);
    EXPECT_TRUE(listRows(catalog->ADOConnection1).empty());
    EXPECT_TRUE(test::storedPhotos(folder.file("Disc.mdb")).empty());
    EXPECT_TRUE(statuses.isEmpty());
    (void)second;

    // The current file marked read-only is written to all the same.
    catalog->ADOConnection1.execute(QStringLiteral("update Bases set ReadOnly=1 where Id=%1").arg(first));
    catalog->QVListB.open();
    ASSERT_TRUE(catalog->QVListB.locate("Id", first));
    ui.clear();
    EXPECT_EQ(run({photo}), ImportEnd::Completed);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(test::storedPhotos(base1()).size(), 1u);
}

TEST_F(Import, NoDiscNoImportAndNothingGoesIntoTheOpenFile)
{
    const qint64 first = catalog->currentBaseId();
    const QString missing = folder.file("Removable.mdb");
    addBase(missing, false, false);
    const QString photo = jpegFile("a.jpg", 160, 120, 1);
    ui.answers = {ui::Answer::Cancel};
    EXPECT_EQ(run({photo}), ImportEnd::NotOpened);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_TRUE(ui.shown[0].text.startsWith("Insert Disc Label as "));
    EXPECT_EQ(ui.shown[1].text, "PhotoBase File " + missing + " is not open. Nothing is imported.");
    EXPECT_EQ(catalog->currentBaseId(), first);
    EXPECT_TRUE(listRows(catalog->ADOConnection1).empty());
    EXPECT_TRUE(test::storedPhotos(base1()).empty());
    EXPECT_TRUE(statuses.isEmpty());
}

TEST_F(Import, PhotoBaseSourceCopiesEveryPhotoUnderNewIds)
{
    const QByteArray a = test::readFile(test::corpusDir() + "exifsamples_canon-ixus.jpg");
    const QByteArray b = jpeg::encode(test::randomBitmap(300, 200, 5), 90);
    const QByteArray c = jpeg::encode(test::randomBitmap(120, 240, 6), 90);
    const QString s1 = srcFile("old disc.mdb"), s2 = srcFile("second.mdb"), broken = srcFile("broken.mdb"),
                  damaged = srcFile("damaged.mdb");
    makeSourceBase(folder.file("FB.mdd"), s1, {{5, a}, {9, b}});
    makeSourceBase(folder.file("FB.mdd"), s2, {{2, c}});
    makeSourceBase(folder.file("FB.mdd"), damaged, {{3, b}, {4, "rubbish"}, {6, c}});
    test::writeFile(broken, "this is not a database at all, only some text to fill a page");

    ASSERT_EQ(run({s1, broken, damaged, s2}, ImportSource::PhotoBase), ImportEnd::Completed);
    EXPECT_TRUE(ui.shown.empty()) << ui.texts().join("\n").toStdString();
    const auto rows = listRows(catalog->ADOConnection1);
    const auto photos = test::storedPhotos(base1());
    // old disc: 5, 9; broken: nothing; damaged: 3 then its damaged photo ends it; second: 2.
    const QByteArray expected[] = {a, b, b, c};
    ASSERT_EQ(rows.size(), 4u);
    ASSERT_EQ(photos.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rows[std::size_t(i)].id, i + 1);
        EXPECT_EQ(photos.at(i + 1), expected[i]);
        EXPECT_EQ(rows[std::size_t(i)].thumb, MakeThumbnail(jpeg::decode(expected[i])));
        EXPECT_EQ(rows[std::size_t(i)].base, catalog->currentBaseId());
    }
    EXPECT_EQ(rows[0].date, "2001:06:09 15:17:32");
    EXPECT_EQ(rows[1].date, "");
    EXPECT_EQ(statuses, (QStringList{ImportStatusText(s1), "Import ..5", "Import ..9", ImportStatusText(broken),
                                     ImportStatusText(damaged), "Import ..3", "Import ..4", ImportStatusText(s2), "Import ..2",
                                     "Ready"}));
    EXPECT_EQ(progress[1], (std::array<int, 4>{1, 4, 1, 2}));
    EXPECT_EQ(progress[2], (std::array<int, 4>{1, 4, 2, 2}));
}

TEST_F(Import, IndexOnlyWritesMissingIndexRecordsUnderTheSourceIds)
{
    const QByteArray a = jpeg::encode(test::randomBitmap(300, 200, 5), 90);
    const QByteArray b = jpeg::encode(test::randomBitmap(200, 300, 6), 90);
    const QString source = srcFile("archive.mdb");
    makeSourceBase(folder.file("FB.mdd"), source, {{5, a}, {9, b}});
    catalog->ADOConnection1.execute("insert into ListPhoto (id, Base, Text) values (5, 77, 'kept')");
    ASSERT_EQ(run({source}, ImportSource::PhotoBase, true), ImportEnd::Completed);
    const auto rows = listRows(catalog->ADOConnection1);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].id, 5);
    EXPECT_EQ(rows[0].base, 77);
    EXPECT_EQ(rows[1].id, 9);
    EXPECT_EQ(rows[1].base, catalog->currentBaseId());
    EXPECT_EQ(rows[1].rank, 0);
    EXPECT_FALSE(rows[1].video);
    EXPECT_EQ(jpegSize(rows[1].thumb), QSize(66, 100));
    EXPECT_TRUE(test::storedPhotos(base1()).empty());

    // Re-indexing the target file itself is no cyclic reference.
    catalog->ADOConnection1.execute("delete from ListPhoto");
    catalog->ADOConnection2.execute("insert into Photos (Id, Photo) values (3, x'" + a.toHex() + "')");
    ASSERT_EQ(run({base1()}, ImportSource::PhotoBase, true), ImportEnd::Completed);
    EXPECT_TRUE(ui.shown.empty());
    ASSERT_EQ(listRows(catalog->ADOConnection1).size(), 1u);
    EXPECT_EQ(listRows(catalog->ADOConnection1)[0].id, 3);
    EXPECT_EQ(test::storedPhotos(base1()).size(), 1u);
}

TEST_F(Import, CyclicReferenceStopsAtTheTargetFile)
{
    const QByteArray a = jpeg::encode(test::randomBitmap(300, 200, 5), 90);
    const QString before = srcFile("before.mdb"), after = srcFile("after.mdb");
    makeSourceBase(folder.file("FB.mdd"), before, {{1, a}});
    makeSourceBase(folder.file("FB.mdd"), after, {{2, a}});
    EXPECT_EQ(run({before, base1(), after}, ImportSource::PhotoBase), ImportEnd::Cyclic);
    EXPECT_EQ(ui.texts(), QStringList{"The cyclic reference is not solved."});
    EXPECT_EQ(listRows(catalog->ADOConnection1).size(), 1u);
    EXPECT_EQ(test::storedPhotos(base1()).size(), 1u);
    EXPECT_FALSE(statuses.contains("Ready"));
    EXPECT_FALSE(statuses.contains(ImportStatusText(after)));
}
