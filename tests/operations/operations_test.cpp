#include "tests/operations/fixture.h"

#include <QDir>
#include <QTemporaryDir>

using namespace mv;
using mv::test::entries;
using mv::test::putImage;

namespace {

using Ops = test::Catalogue;
using ui::Answer;

QStringList repeated(const QString &text, int n)
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << text;
    return out;
}

} // namespace

// ---------------------------------------------------------------------------
// Delete

TEST_F(Ops, DeleteWithNothingMarkedAsksNothing)
{
    addPhoto(1, 1, 1);
    mark({});
    PhotoOperations(*catalog, hooks()).AcDelePhotoExecute();
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(statuses.empty());
    EXPECT_EQ(goes, 0);
    EXPECT_EQ(entries(catalog->ADOConnection1).size(), 1u);
}

TEST_F(Ops, DeleteDeclinedChangesNothingAndKeepsTheMarks)
{
    addPhoto(1, 1, 1);
    addPhoto(2, 1, 2);
    mark({1, 2});
    ui.answers = {Answer::Cancel};
    PhotoOperations(*catalog, hooks()).AcDelePhotoExecute();
    EXPECT_EQ(ui.texts(), QStringList{"Delete 2 photo(s)?"});
    EXPECT_EQ(ui.shown[0].buttons, ui::Buttons::OkCancel);
    EXPECT_EQ(goes, 0);
    EXPECT_EQ(catalog->markedCount(), 2);
    EXPECT_EQ(entries(catalog->ADOConnection1).size(), 2u);
    EXPECT_EQ(test::storedPhotos(base1()).size(), 2u);
}

TEST_F(Ops, DeleteRemovesEntriesAndOnlyTheImagesOfWritableFiles)
{
    const qint64 ro = addBase("Disc.mdb", true);
    addPhoto(5, 1, 1);
    addPhoto(3, ro, 2);
    addPhoto(9, 1, 3);
    addPhoto(4, 1, 4); // stays: not marked
    mark({5, 3, 9});
    PhotoOperations(*catalog, hooks()).AcDelePhotoExecute();

    EXPECT_EQ(ui.texts(), QStringList{"Delete 3 photo(s)?"});
    EXPECT_EQ(statuses, QStringList({"Delete photo 5", "Delete photo 3", "Delete photo 9", "Ready"}));
    EXPECT_EQ(repaints, 3);
    EXPECT_EQ(goes, 1);
    EXPECT_EQ(gridIds(), std::vector<qint64>{4});
    EXPECT_EQ(catalog->markedCount(), 0);
    const auto left = entries(catalog->ADOConnection1);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left.count(4));
    const auto kept = test::storedPhotos(base1());
    EXPECT_EQ(kept.size(), 1u);
    EXPECT_TRUE(kept.count(4));
    // The read-only file keeps its image; nothing refers to it any more.
    EXPECT_TRUE(test::storedPhotos(fileOf(ro)).count(3));
    // The current file stays the last one an image was deleted from.
    EXPECT_EQ(catalog->currentBaseId(), 1);
}

TEST_F(Ops, DeleteSwitchesFilesAsTheListOrderRequires)
{
    const qint64 b = addBase("B.mdb");
    addPhoto(1, 1, 1);
    addPhoto(2, b, 2);
    addPhoto(3, 1, 3);
    // Each file also holds an image under the other's ids, which must survive:
    // a delete on the wrong file would take it.
    putImage(fileOf(b), 1, test::photoBytes(71));
    putImage(fileOf(b), 3, test::photoBytes(73));
    putImage(base1(), 2, test::photoBytes(72));
    std::vector<qint64> opened;
    QObject::connect(catalog.get(), &Catalog::currentRowsChanged, [&] { opened.push_back(Catalog::currentId(catalog->QVListB)); });
    mark({1, 2, 3});
    PhotoOperations(*catalog, hooks()).AcDelePhotoExecute();

    EXPECT_TRUE(entries(catalog->ADOConnection1).empty());
    EXPECT_EQ(test::storedPhotos(base1()), (std::map<qint64, QByteArray>{{2, test::photoBytes(72)}}));
    const auto inB = test::storedPhotos(fileOf(b));
    EXPECT_EQ(inB.size(), 2u);
    EXPECT_FALSE(inB.count(2));
    EXPECT_EQ(opened, (std::vector<qint64>{b, 1}));
    EXPECT_EQ(catalog->currentBaseId(), 1);
}

TEST_F(Ops, DeleteAsksForTheDiscAndLeavesAPhotoWhoseFileStaysAway)
{
    const qint64 b = addBase("Away.mdb");
    const QString away = fileOf(b);
    const QString hidden = folder.file("hidden.mdb");
    addPhoto(1, b, 1);
    addPhoto(2, b, 2);
    // The current file holds an unlisted image under id 1.
    const QByteArray stray = test::photoBytes(91);
    putImage(base1(), 1, stray);
    ASSERT_TRUE(QFile::rename(away, hidden));
    mark({1, 2});
    const QString prompt = "Insert Disc Label as Away.mdb  (File " + away + ")";

    // First photo: the disc is not inserted (Cancel). Second: it is, then OK.
    ui.answers = {Answer::Ok, Answer::Cancel, Answer::Ok};
    int prompts = 0;
    ui.onMessage = [&](const test::ScriptedUi::Shown &s) {
        if (s.text == prompt && ++prompts == 2)
            QFile::rename(hidden, away);
    };
    PhotoOperations(*catalog, hooks()).AcDelePhotoExecute();

    EXPECT_EQ(ui.texts(), QStringList({"Delete 2 photo(s)?", prompt, prompt}));
    EXPECT_EQ(ui.shown[1].icon, ui::Icon::Error);
    EXPECT_EQ(ui.shown[1].buttons, ui::Buttons::OkCancel);
    const auto left = entries(catalog->ADOConnection1);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left.count(1));
    EXPECT_EQ(test::storedPhotos(away).size(), 1u);
    EXPECT_TRUE(test::storedPhotos(away).count(1));
    EXPECT_EQ(test::storedPhotos(base1()).at(1), stray);
    EXPECT_EQ(catalog->currentBaseId(), b);
    EXPECT_EQ(goes, 1);
    EXPECT_EQ(statuses.last(), "Ready");
}

TEST_F(Ops, DeleteOfAPhotoWithoutBasesRowRemovesOnlyItsEntry)
{
    addPhoto(1, 1, 1);
    catalog->ADOConnection1.execute("update ListPhoto set Base=77 where id=1");
    mark({1});
    PhotoOperations(*catalog, hooks()).AcDelePhotoExecute();
    EXPECT_TRUE(entries(catalog->ADOConnection1).empty());
    // The image under that id in the current file is not the photo's.
    EXPECT_EQ(test::storedPhotos(base1()).size(), 1u);
    EXPECT_EQ(ui.texts(), QStringList{"Delete 1 photo(s)?"});
}

TEST_F(Ops, DeleteStopsAtAnEngineErrorWithoutGo)
{
    const qint64 bad = addBase("NotADatabase.mdb", false, false);
    ASSERT_TRUE(test::writeFile(fileOf(bad), QByteArray(4096, 'x')));
    addPhoto(1, 1, 1);
    addPhoto(2, bad, 2, false, base1());
    addPhoto(3, 1, 3);
    mark({1, 2, 3});
    PhotoOperations ops(*catalog, hooks());
    ui::guarded([&] { ops.AcDelePhotoExecute(); });
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].icon, ui::Icon::Error);
    EXPECT_TRUE(ui.shown[1].text.contains("not a database")) << ui.shown[1].text.toStdString();
    const auto left = entries(catalog->ADOConnection1);
    EXPECT_EQ(left.size(), 2u);
    EXPECT_FALSE(left.count(1));
    EXPECT_EQ(goes, 0);
    EXPECT_EQ(statuses.last(), "Delete photo 2");
}

// ---------------------------------------------------------------------------
// Copy

TEST_F(Ops, CopyGivesNewIdsInListOrderAndTheSourceAttributes)
{
    const qint64 dest = addBase("Dest.mdb");
    const qint64 other = addBase("Other.mdb");
    std::map<qint64, QByteArray> bytes;
    bytes[41] = addPhoto(41, 1, 3);
    bytes[7] = addPhoto(7, other, 1);
    bytes[12] = addPhoto(12, 1, 2);
    addPhoto(30, 1, 4); // not marked
    mark({41, 7, 12});
    const auto before = entries(catalog->ADOConnection1);
    PhotoOperations(*catalog, hooks()).copyMarked(fileOf(dest), dest);

    EXPECT_EQ(ui.texts(), QStringList{"Processed 3 photo(s)?"});
    EXPECT_EQ(statuses, repeated("Copy photo 3", 3) << "");
    EXPECT_EQ(goes, 1);
    EXPECT_EQ(catalog->markedCount(), 0);
    const auto after = entries(catalog->ADOConnection1);
    ASSERT_EQ(after.size(), 7u);
    const auto copied = test::storedPhotos(fileOf(dest));
    ASSERT_EQ(copied.size(), 3u);
    // List order is by date: 7, 12, 41.
    const std::pair<qint64, qint64> pairs[] = {{42, 7}, {43, 12}, {44, 41}};
    for (const auto &[newId, oldId] : pairs) {
        ASSERT_TRUE(after.count(newId)) << newId;
        const test::Entry &n = after.at(newId), &o = before.at(oldId);
        EXPECT_EQ(n.base, dest);
        EXPECT_EQ(n.date, o.date);
        EXPECT_EQ(n.album, o.album);
        EXPECT_EQ(n.theme, o.theme);
        EXPECT_EQ(n.text, o.text);
        EXPECT_EQ(n.exif, o.exif);
        EXPECT_EQ(n.thumb, o.thumb);
        EXPECT_FALSE(n.rank.has_value()) << newId;
        EXPECT_FALSE(n.video);
        EXPECT_EQ(copied.at(newId), bytes[oldId]) << newId;
        EXPECT_EQ(after.at(oldId).base, o.base);
    }
    // The source images stay where they were.
    EXPECT_EQ(test::storedPhotos(base1()).size(), 3u);
    EXPECT_EQ(test::storedPhotos(fileOf(other)).size(), 1u);
    EXPECT_EQ(catalog->currentBaseId(), 1); // the source file of the last photo read
}

TEST_F(Ops, CopyWithoutDestinationOrDeclinedCopiesNothingButRunsGo)
{
    addPhoto(1, 1, 1);
    struct Case {
        const char *name;
        bool destination;
        std::deque<Answer> answers;
        QStringList texts;
    };
    const Case cases[] = {
        {"chooser cancelled or empty", false, {}, {}},
        {"question declined", true, {Answer::Cancel}, {"Processed 1 photo(s)?"}},
    };
    for (const Case &c : cases) {
        ui.clear();
        goes = 0;
        mark({1});
        ui.answers = c.answers;
        PhotoOperations(*catalog, hooks()).copyMarked(c.destination ? base1() : QString(), c.destination ? 1 : 0);
        EXPECT_EQ(ui.texts(), c.texts) << c.name;
        EXPECT_EQ(goes, 1) << c.name;
        EXPECT_EQ(catalog->markedCount(), 0) << c.name;
        EXPECT_EQ(entries(catalog->ADOConnection1).size(), 1u) << c.name;
        EXPECT_EQ(test::storedPhotos(base1()).size(), 1u) << c.name;
    }
}

TEST_F(Ops, CopyIntoTheSourceFileOverwritesAStrayRowUnderTheNewId)
{
    const QByteArray original = addPhoto(1, 1, 1);
    // An image left behind under id 2 (its entry was deleted while read-only).
    putImage(base1(), 2, test::photoBytes(55));
    mark({1});
    PhotoOperations(*catalog, hooks()).copyMarked(base1(), 1);
    const auto stored = test::storedPhotos(base1());
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored.at(1), original);
    EXPECT_EQ(stored.at(2), original);
    EXPECT_EQ(entries(catalog->ADOConnection1).at(2).base, 1);
}

TEST_F(Ops, CopyTakesNoImageFromAnotherFileWhenTheDiscStaysAway)
{
    const qint64 b = addBase("Away.mdb");
    const qint64 dest = addBase("Dest.mdb");
    const QString away = fileOf(b);
    addPhoto(1, b, 1);
    const QByteArray second = addPhoto(2, 1, 2);
    putImage(base1(), 1, test::photoBytes(91)); // not photo 1's image
    ASSERT_TRUE(QFile::rename(away, away + ".gone"));
    mark({1, 2});
    ui.answers = {Answer::Ok, Answer::Cancel};
    PhotoOperations(*catalog, hooks()).copyMarked(fileOf(dest), dest);

    EXPECT_EQ(ui.texts(), QStringList({"Processed 2 photo(s)?", "Insert Disc Label as Away.mdb  (File " + away + ")"}));
    const auto after = entries(catalog->ADOConnection1);
    ASSERT_EQ(after.size(), 3u);
    // The skipped photo uses no id: photo 2 becomes 3.
    EXPECT_EQ(after.at(3).text, "caption 2");
    EXPECT_EQ(test::storedPhotos(fileOf(dest)), (std::map<qint64, QByteArray>{{3, second}}));
    EXPECT_EQ(goes, 1);
}

TEST_F(Ops, CopyOfAVideoIsAnotherVideoEntryWithoutImage)
{
    const qint64 dest = addBase("Dest.mdb");
    addPhoto(1, 1, 1, true);
    mark({1});
    PhotoOperations(*catalog, hooks()).copyMarked(fileOf(dest), dest);
    const auto after = entries(catalog->ADOConnection1);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_TRUE(after.at(2).video);
    EXPECT_EQ(after.at(2).exif, after.at(1).exif);
    EXPECT_EQ(after.at(2).base, dest);
    EXPECT_TRUE(test::storedPhotos(fileOf(dest)).empty());
}

TEST_F(Ops, CopyThatCannotWriteTheImageAddsNoEntry)
{
    const qint64 dest = addBase("Gone.mdb");
    QFile::remove(fileOf(dest));
    addPhoto(1, 1, 1);
    addPhoto(2, 1, 2);
    mark({1, 2});
    PhotoOperations ops(*catalog, hooks());
    EXPECT_THROW(ops.copyMarked(fileOf(dest), dest), db::Error);
    EXPECT_EQ(entries(catalog->ADOConnection1).size(), 2u);
    EXPECT_EQ(goes, 0);
}

TEST_F(Ops, CopyOfAPhotoWhoseImageIsMissingStopsWithAMessage)
{
    const qint64 dest = addBase("Dest.mdb");
    addPhoto(1, 1, 1);
    catalog->ADOConnection2.execute("delete from Photos");
    mark({1});
    PhotoOperations ops(*catalog, hooks());
    ui::guarded([&] { ops.copyMarked(fileOf(dest), dest); });
    EXPECT_EQ(ui.texts().last(), "Photo 1 has no image in " + base1() + ".");
    EXPECT_EQ(entries(catalog->ADOConnection1).size(), 1u);
    EXPECT_TRUE(test::storedPhotos(fileOf(dest)).empty());
}

// ---------------------------------------------------------------------------
// Move

TEST_F(Ops, MoveChangesOnlyTheTickedAttributes)
{
    addPhoto(1, 1, 1);
    addPhoto(2, 1, 2);
    addPhoto(3, 1, 3);
    const auto before = entries(catalog->ADOConnection1);
    struct Case {
        const char *name;
        MoveValues values;
        std::optional<qint64> rank;
        qint64 album, theme; // 0: unchanged
    };
    MoveValues rankGood;
    rankGood.rank = 1;
    MoveValues noRank;
    MoveValues albumTheme;
    albumTheme.album = 2;
    albumTheme.theme = 2;
    albumTheme.rank = 0;
    MoveValues sameFile = albumTheme;
    sameFile.newBase = 1;
    sameFile.destinationFile = base1();
    const Case cases[] = {
        {"rank Good", rankGood, 1, 0, 0},
        {"rank ticked, none chosen", noRank, 2, 0, 0},
        {"album, theme, rank Normal", albumTheme, 0, 2, 2},
        {"to the file already holding the images", sameFile, 0, 2, 2},
    };
    for (const Case &c : cases) {
        catalog->ADOConnection1.execute("update ListPhoto set Rank=2, Albums=1 + id % 2, Themes=2 - id % 2");
        ui.clear();
        statuses.clear();
        goes = 0;
        mark({1, 2});
        EXPECT_TRUE(PhotoOperations(*catalog, hooks()).moveMarked(c.values)) << c.name;
        EXPECT_EQ(ui.texts(), QStringList{"Move (Change) 2 photo(s)?"}) << c.name;
        EXPECT_EQ(statuses, QStringList({"Change photo 2", "Change photo 2", ""})) << c.name;
        EXPECT_EQ(goes, 1) << c.name;
        const auto after = entries(catalog->ADOConnection1);
        for (qint64 id : {1, 2}) {
            EXPECT_EQ(after.at(id).rank, c.rank) << c.name << " " << id;
            EXPECT_EQ(after.at(id).album, c.album ? c.album : before.at(id).album) << c.name;
            EXPECT_EQ(after.at(id).theme, c.theme ? c.theme : before.at(id).theme) << c.name;
            EXPECT_EQ(after.at(id).base, 1) << c.name;
        }
        EXPECT_EQ(after.at(3).rank, 2) << c.name;
        EXPECT_EQ(test::storedPhotos(base1()).size(), 3u) << c.name;
    }
}

TEST_F(Ops, MoveDeclinedChangesNothing)
{
    addPhoto(1, 1, 1);
    mark({1});
    ui.answers = {Answer::Cancel};
    MoveValues v;
    v.rank = 0;
    EXPECT_FALSE(PhotoOperations(*catalog, hooks()).moveMarked(v));
    EXPECT_EQ(entries(catalog->ADOConnection1).at(1).rank, 2);
    EXPECT_EQ(goes, 0);
    EXPECT_EQ(catalog->markedCount(), 1);
}

TEST_F(Ops, MoveToAnotherFileCarriesTheImageUnderTheSameId)
{
    const qint64 src = addBase("Src.mdb");
    const qint64 dest = addBase("Dest.mdb");
    const QByteArray one = addPhoto(1, src, 1);
    const QByteArray two = addPhoto(2, 1, 2);
    addPhoto(3, src, 3, true);
    // A stray row under id 2 in the destination is overwritten, not doubled.
    putImage(fileOf(dest), 2, test::photoBytes(99));
    mark({1, 2, 3});
    MoveValues v;
    v.newBase = dest;
    v.destinationFile = fileOf(dest);
    v.theme = 2;
    PhotoOperations(*catalog, hooks()).moveMarked(v);

    EXPECT_EQ(test::storedPhotos(fileOf(dest)), (std::map<qint64, QByteArray>{{1, one}, {2, two}}));
    EXPECT_TRUE(test::storedPhotos(fileOf(src)).empty());
    EXPECT_TRUE(test::storedPhotos(base1()).empty());
    const auto after = entries(catalog->ADOConnection1);
    for (qint64 id : {1, 2, 3}) {
        EXPECT_EQ(after.at(id).base, dest) << id;
        EXPECT_EQ(after.at(id).theme, 2) << id;
        EXPECT_EQ(after.at(id).rank, 2) << id;
    }
    EXPECT_TRUE(after.at(3).video);
    // The last image read came from PhotoBase1.
    EXPECT_EQ(catalog->currentBaseId(), 1);
}

TEST_F(Ops, MoveBetweenTwoRegistrationsOfOneFileKeepsTheImage)
{
    // The same file registered a second time under another path.
    ASSERT_TRUE(QFile::link(base1(), folder.file("link.mdb")));
    const qint64 alias = addBase("link.mdb", false, false);
    const QByteArray bytes = addPhoto(1, 1, 1);
    mark({1});
    MoveValues v;
    v.newBase = alias;
    v.destinationFile = fileOf(alias);
    PhotoOperations(*catalog, hooks()).moveMarked(v);
    EXPECT_EQ(test::storedPhotos(base1()), (std::map<qint64, QByteArray>{{1, bytes}}));
    EXPECT_EQ(entries(catalog->ADOConnection1).at(1).base, alias);
}

TEST_F(Ops, MoveLeavesAPhotoWhoseFileStaysAway)
{
    const qint64 b = addBase("Away.mdb");
    const qint64 dest = addBase("Dest.mdb");
    const QString away = fileOf(b);
    addPhoto(1, b, 1);
    const QByteArray stray = test::photoBytes(91);
    putImage(base1(), 1, stray);
    ASSERT_TRUE(QFile::rename(away, away + ".gone"));
    mark({1});
    ui.answers = {Answer::Ok, Answer::Cancel};
    MoveValues v;
    v.newBase = dest;
    v.destinationFile = fileOf(dest);
    v.rank = 0;
    PhotoOperations(*catalog, hooks()).moveMarked(v);
    const auto e = entries(catalog->ADOConnection1).at(1);
    EXPECT_EQ(e.base, b);
    EXPECT_EQ(e.rank, 2);
    EXPECT_TRUE(test::storedPhotos(fileOf(dest)).empty());
    EXPECT_EQ(test::storedPhotos(base1()).at(1), stray);
    EXPECT_EQ(catalog->currentBaseId(), 1);
}

TEST_F(Ops, MoveThatCannotWriteTheDestinationLeavesThePhotoWhereItIs)
{
    const qint64 dest = addBase("Gone.mdb");
    QFile::remove(fileOf(dest));
    const QByteArray bytes = addPhoto(1, 1, 1);
    mark({1});
    MoveValues v;
    v.newBase = dest;
    v.destinationFile = fileOf(dest);
    PhotoOperations ops(*catalog, hooks());
    EXPECT_THROW(ops.moveMarked(v), db::Error);
    EXPECT_EQ(test::storedPhotos(base1()).at(1), bytes);
    EXPECT_EQ(entries(catalog->ADOConnection1).at(1).base, 1);
    EXPECT_EQ(goes, 0);
}

// ---------------------------------------------------------------------------
// Export

class Export : public test::Catalogue {
protected:
    void SetUp() override
    {
        test::Catalogue::SetUp();
        ASSERT_TRUE(out.isValid());
    }
    QString outFile(const QString &name) const { return out.path() + "/" + name; }
    QStringList written() const { return QDir(out.path()).entryList(QDir::Files, QDir::Name); }
    QTemporaryDir out;
};

TEST_F(Export, WritesTheStoredBytesUnderStemAndGridPosition)
{
    const qint64 b = addBase("B.mdb");
    std::map<qint64, QByteArray> bytes;
    for (int k = 0; k < 9; ++k)
        bytes[k + 1] = addPhoto(k + 1, k == 7 ? b : 1, k + 1);
    mark({3, 8});
    // An earlier export's file of the same name is replaced.
    ASSERT_TRUE(test::writeFile(outFile("PICT7.jpg"), "old"));
    PhotoOperations ops(*catalog, hooks());
    ui.files = {{outFile("PICT")}, {outFile("holiday.jpg")}};
    ops.ActExportPhotoExecute();

    ASSERT_EQ(ui.fileRequests.size(), 1u);
    const ui::FileRequest &r = ui.fileRequests[0];
    EXPECT_EQ(r.mode, ui::FileRequest::Mode::Save);
    EXPECT_EQ(r.title, "Choose a target folder and initial marks of a name of files");
    EXPECT_EQ(r.filter, "Jpeg File|*.jpg");
    EXPECT_EQ(r.fileName, "PICT");
    EXPECT_EQ(ui.texts(), QStringList{"Export 2 photo(s)?"});
    EXPECT_EQ(statuses, QStringList({"Export photo 2", "Export photo 2", "Ready"}));
    EXPECT_EQ(written(), QStringList({"PICT2.jpg", "PICT7.jpg"}));
    EXPECT_EQ(test::readFile(outFile("PICT2.jpg")), bytes[3]);
    EXPECT_EQ(test::readFile(outFile("PICT7.jpg")), bytes[8]);
    // Read on connections of its own: no disc prompt, no switch, marks kept.
    EXPECT_EQ(catalog->currentBaseId(), 1);
    EXPECT_EQ(goes, 0);
    EXPECT_EQ(catalog->markedCount(), 2);

    // The next export starts from the name chosen last; a stem with an
    // extension keeps it.
    ops.ActExportPhotoExecute();
    EXPECT_EQ(ui.fileRequests[1].fileName, outFile("PICT"));
    EXPECT_TRUE(written().contains("holiday.jpg2.jpg"));
    EXPECT_TRUE(written().contains("holiday.jpg7.jpg"));
    EXPECT_EQ(ops.exportFileName(), outFile("holiday.jpg"));
}

TEST_F(Export, CancelledDeclinedOrNothingMarkedWritesNothing)
{
    addPhoto(1, 1, 1);
    struct Case {
        const char *name;
        std::initializer_list<qint64> marks;
        bool chooses;
        std::deque<Answer> answers;
        QStringList texts;
    };
    const Case cases[] = {
        {"dialog cancelled", {1}, false, {}, {}},
        {"question declined", {1}, true, {Answer::Cancel}, {"Export 1 photo(s)?"}},
        {"nothing marked", {}, true, {}, {"Export 0 photo(s)?"}},
    };
    for (const Case &c : cases) {
        ui.clear();
        statuses.clear();
        mark(c.marks);
        ui.answers = c.answers;
        if (c.chooses)
            ui.files = {{outFile("PICT")}};
        PhotoOperations(*catalog, hooks()).ActExportPhotoExecute();
        EXPECT_EQ(ui.texts(), c.texts) << c.name;
        EXPECT_EQ(statuses, QStringList{"Ready"}) << c.name;
        EXPECT_TRUE(written().isEmpty()) << c.name;
    }
}

TEST_F(Export, SkipsVideosAndPhotosWithoutBasesRowSilently)
{
    addPhoto(1, 1, 1, true);
    const QByteArray bytes = addPhoto(2, 1, 2);
    addPhoto(3, 1, 3);
    catalog->ADOConnection1.execute("update ListPhoto set Base=50 where id=3");
    mark({1, 2, 3});
    ui.files = {{outFile("P")}};
    PhotoOperations(*catalog, hooks()).ActExportPhotoExecute();
    EXPECT_EQ(ui.texts(), QStringList{"Export 3 photo(s)?"});
    EXPECT_EQ(written(), QStringList{"P1.jpg"});
    EXPECT_EQ(test::readFile(outFile("P1.jpg")), bytes);
    EXPECT_EQ(statuses.last(), "Ready");
}

TEST_F(Export, StopsAtAFailureKeepingWhatWasWritten)
{
    const qint64 gone = addBase("Gone.mdb");
    struct Case {
        const char *name;
        std::function<void()> spoil; // spoils photo 2
        const char *message;
    };
    const Case cases[] = {
        {"not a JPEG", [&] { catalog->ADOConnection2.execute("update Photos set Photo=X'00112233' where Id=2"); }, "JPEG"},
        {"file not present", [&] {
             catalog->ADOConnection1.execute("update ListPhoto set Base=" + QString::number(gone) + " where id=2");
             QFile::remove(fileOf(gone));
         }, "unable to open"},
    };
    for (const Case &c : cases) {
        catalog->ADOConnection1.execute("delete from ListPhoto");
        catalog->ADOConnection2.execute("delete from Photos");
        for (const QString &f : written())
            QFile::remove(outFile(f));
        addPhoto(1, 1, 1);
        addPhoto(2, 1, 2);
        addPhoto(3, 1, 3);
        c.spoil();
        ui.clear();
        statuses.clear();
        mark({1, 2, 3});
        ui.files = {{outFile("PICT")}};
        PhotoOperations ops(*catalog, hooks());
        ui::guarded([&] { ops.ActExportPhotoExecute(); });
        ASSERT_EQ(ui.shown.size(), 2u) << c.name;
        EXPECT_EQ(ui.shown[1].icon, ui::Icon::Error);
        EXPECT_TRUE(ui.shown[1].text.contains(c.message, Qt::CaseInsensitive)) << c.name << ": " << ui.shown[1].text.toStdString();
        EXPECT_EQ(written(), QStringList{"PICT0.jpg"}) << c.name;
        EXPECT_EQ(statuses.last(), "Export photo 3") << c.name;
        EXPECT_EQ(catalog->currentBaseId(), 1);
    }
}

TEST_F(Export, AFileThatCannotBeWrittenStopsTheExport)
{
    addPhoto(1, 1, 1);
    mark({1});
    ui.files = {{outFile("missing-folder/PICT")}};
    PhotoOperations ops(*catalog, hooks());
    ui::guarded([&] { ops.ActExportPhotoExecute(); });
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_TRUE(ui.shown[1].text.startsWith("Cannot write file \"" + outFile("missing-folder/PICT0.jpg") + "\"."))
        << ui.shown[1].text.toStdString();
    EXPECT_EQ(statuses.last(), "Export photo 1");
}
