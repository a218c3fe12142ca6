#include "catalog/catalog.h"
#include "imaging/imaging.h"
#include "imaging/track3.h"
#include "platform/jpeg.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"

#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

using namespace mv;

namespace {

struct Outcome {
    int code = -1;
    QString out, err;
};

Outcome cli(const QStringList &args)
{
    QProcess p;
    p.setProgram(QStringLiteral(MARVISTO_SOURCE_DIR "/dist/Marvisto/marvisto-cli"));
    p.setArguments(args);
    p.start();
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QByteArray photo(int w, int h, unsigned seed) { return jpeg::encode(test::randomBitmap(w, h, seed), 90); }

} // namespace

TEST(Cli, HelpUnknownCommandsAndBadNumbers)
{
    const Outcome help = cli({"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char *c : {"init", "list", "check", "exif", "thumbnail", "apply"}) {
        EXPECT_TRUE(help.out.contains(QString("  %1 ").arg(c)) || help.out.contains(QString("  %1\n").arg(c))) << c;
        EXPECT_EQ(cli({c, "--help"}).code, 0) << c;
    }
    struct Case {
        QStringList args;
        int code;
        const char *message;
    };
    test::ProgramFolder folder;
    const QString pic = folder.file("p.jpg");
    test::writeFile(pic, photo(8, 6, 1));
    const Case cases[] = {
        {{"bogus"}, 2, "unknown command 'bogus'"},
        {{"apply", "contrast", "x", pic, folder.file("o.png")}, 2, "C must be a whole number, not 'x'"},
        {{"apply", "brightness", "200", pic, folder.file("o.png")}, 2, "B must lie in -100..100"},
        {{"apply", "crop", "4", "4", "10", "10", pic, folder.file("o.png")}, 2, "does not lie inside the 8x6 picture"},
        {{"apply", "blur", "3", pic, folder.file("o.jpg")}, 2, "OUT must end in .png or .bmp"},
        {{"apply", "brightness", "10", folder.file("missing.jpg"), folder.file("o.png")}, 1, "missing.jpg"},
        {{"exif", folder.file("missing.jpg")}, 1, "missing.jpg"},
        {{"--folder", folder.path(), "list", "--rank", "7"}, 2, "--rank must lie in 0..3"},
        {{"--folder", folder.path(), "list", "--album"}, 2, "--album needs a value"},
        {{"thumbnail", pic}, 2, "expected IN.jpg OUT.jpg"},
    };
    for (const Case &c : cases) {
        const Outcome r = cli(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    }
}

TEST(Cli, ExifAndThumbnailAreWhatImportStores)
{
    const QString file = test::corpusDir() + "exifsamples_canon-ixus.jpg";
    const Outcome r = cli({"exif", file});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, file + "\t2001:06:09 15:17:32\t|1/350 sec|F4.0\n");

    test::ProgramFolder folder;
    test::writeFile(folder.file("big.jpg"), photo(2048, 1536, 3));
    ASSERT_EQ(cli({"thumbnail", folder.file("big.jpg"), folder.file("t.jpg")}).code, 0);
    EXPECT_EQ(jpeg::readSize(test::readFile(folder.file("t.jpg"))), QSize(100, 75));
}

TEST(Cli, ApplyEqualsTheLibraryOnTheDecodedPicture)
{
    test::ProgramFolder folder;
    const QByteArray bytes = photo(37, 23, 9);
    test::writeFile(folder.file("in.jpg"), bytes);
    const Bitmap src = jpeg::decode(bytes);
    struct Case {
        QStringList op;
        std::function<Bitmap()> expected;
    };
    const Case cases[] = {
        {{"brightness", "-30"}, [&] { Bitmap d = src; imaging::AdjustBrightness(d, src, -30); return d; }},
        {{"levels", "10", "100", "200", "0", "127", "255", "2"},
         [&] { Bitmap d = src; imaging::ApplyLevels(d, src, {10, 100, 200, 0, 127, 255}, 2); return d; }},
        {{"rotate90"}, [&] { Bitmap d = src; imaging::RotateQuarter(d, true); return d; }},
        {{"autolevel"}, [&] {
             // As the levels dialog's Auto Level button drives its input slider.
             const imaging::AutoLevels a = imaging::FindAutoLevels(src, 0.1f);
             imaging::TTrack3 input;
             input.setMin(a.low);
             input.setMax(a.high);
             Bitmap d = src;
             imaging::ApplyLevels(d, src, {input.min(), input.ave(), input.max(), 0, 127, 255}, 0);
             return d;
         }},
        {{"crop", "3", "4", "10", "5"}, [&] { Bitmap d(10, 5); imaging::CopyRegion(src, d, 3, 4, 10, 5); return d; }},
        {{"redeye", "2", "2", "30", "20"}, [&] { Bitmap d = src; imaging::ReduceRedEye(d, src, 2, 2, 30, 20); return d; }},
    };
    for (const Case &c : cases) {
        for (const char *ext : {"png", "bmp"}) {
            const QString out = folder.file(QString("out.%1").arg(ext));
            const Outcome r = cli(QStringList{"apply"} + c.op + QStringList{folder.file("in.jpg"), out});
            ASSERT_EQ(r.code, 0) << r.err.toStdString();
            const QImage img(out);
            ASSERT_FALSE(img.isNull());
            EXPECT_EQ(Bitmap::fromImage(img), c.expected()) << c.op.join(' ').toStdString() << " " << ext;
        }
    }
}

TEST(Cli, InitListAndCheckWorkOnAProgramFolder)
{
    test::ProgramFolder folder;
    Outcome r = cli({"--folder", folder.path(), "init"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(folder.file("PhotoList.mdb")));
    EXPECT_TRUE(QFile::exists(folder.file("PhotoBase1.mdb")));
    EXPECT_EQ(cli({"--folder", folder.path(), "check"}).code, 0);

    {
        test::ScriptedUi ui;
        Catalog c(folder.path());
        c.openAtStartup();
        c.ADOConnection1.execute("insert into ListPhoto (id, Base, Date, Albums, Themes, Rank, Text, Video, Exif) values "
                                 "(1, 1, '2004:01:02 00:00:00', 1, 2, 2, 'sea', 0, ''),"
                                 "(2, 1, '2003:01:01 00:00:00', 1, 1, 1, 'hill', 0, ''),"
                                 "(3, 1, '2005:01:01 00:00:00', 2, 1, 0, NULL, 1, '" + folder.file("gone.avi") + "')");
        c.ADOConnection2.execute("insert into Photos (Id, Photo) values (1, x'FFD8'), (2, x'FFD8')");
    }
    r = cli({"--folder", folder.path(), "list"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "2\t2003:01:01 00:00:00\t1\t1\t1\t1\t0\thill\n"
                     "1\t2004:01:02 00:00:00\t1\t2\t1\t2\t0\tsea\n"
                     "3\t2005:01:01 00:00:00\t2\t1\t1\t0\t1\t\n");
    r = cli({"--folder", folder.path(), "list", "--album", "1", "--rank", "0"});
    EXPECT_EQ(r.out, "1\t2004:01:02 00:00:00\t1\t2\t1\t2\t0\tsea\n");
    r = cli({"--folder", folder.path(), "list", "--text", "  HiL "});
    EXPECT_EQ(r.out.left(2), "2\t");

    r = cli({"--folder", folder.path(), "check"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "photo 3: video file " + folder.file("gone.avi") + " not found\n");

    {
        test::ScriptedUi ui;
        Catalog c(folder.path());
        c.openAtStartup();
        c.ADOConnection2.execute("delete from Photos where id =2");
        c.ADOConnection1.execute("update ListPhoto set Base=9 where id=1");
        c.ADOConnection1.execute("delete from ListPhoto where id =3");
    }
    r = cli({"--folder", folder.path(), "check"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "photo 1: PhotoBase 9 is not registered\nphoto 2: no image in " + folder.file("PhotoBase1.mdb") + "\n");

    // An absent disc is offline, not an error.
    {
        test::ScriptedUi ui;
        Catalog c(folder.path());
        c.openAtStartup();
        c.ADOConnection1.execute("update ListPhoto set Base=1");
        c.ADOConnection1.execute("delete from ListPhoto where id =2");
        c.ADOConnection1.execute("update Bases set File='/media/disc/Travel.mdb', Label='Travel'");
    }
    r = cli({"--folder", folder.path(), "check"});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.startsWith("offline: PhotoBase 1 (Travel): /media/disc/Travel.mdb is not present")) << r.out.toStdString();
}

TEST(Cli, ImportFromFilesAndFromAPhotoBaseFile)
{
    test::ProgramFolder folder;
    const QString a = folder.file("a.JPG"), b = folder.file("b.jpg"), clip = folder.file("my clip é.avi");
    const QByteArray aBytes = photo(64, 48, 1), bBytes = photo(30, 40, 2);
    test::writeFile(a, aBytes);
    test::writeFile(b, bBytes);
    test::writeFile(clip, "RIFF....AVI ");
    Outcome r = cli({"--folder", folder.path(), "import", a, clip, b});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "1\t" + a + "\n2\t" + clip + "\n3\t" + b + "\n");
    EXPECT_TRUE(r.err.contains("import: file 3 of 3"));
    {
        test::ScriptedUi ui;
        Catalog c(folder.path());
        c.openAtStartup();
        db::Query p(&c.ADOConnection2);
        p.setSql(sql::photo(3));
        p.open();
        ASSERT_FALSE(p.eof());
        EXPECT_EQ(p.bytes("Photo"), bBytes) << "stored unchanged";
        c.pointRecordAt(2);
        EXPECT_TRUE(c.QEListF.boolValue("Video"));
        EXPECT_EQ(c.QEListF.text("Exif"), clip);
        c.ADOConnection1.execute("insert into Albums (Name) values ('Trips')");
    }
    EXPECT_EQ(cli({"--folder", folder.path(), "check"}).code, 0);

    // Re-index the same file's photos into a second catalogue: ids kept, no images copied.
    test::ProgramFolder other;
    r = cli({"--folder", other.path(), "import", "--from-base", folder.file("PhotoBase1.mdb"), "--index-only"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "1\t" + folder.file("PhotoBase1.mdb") + "\n3\t" + folder.file("PhotoBase1.mdb") + "\n");
    // Copying from a file into itself is refused.
    r = cli({"--folder", folder.path(), "import", "--from-base", folder.file("PhotoBase1.mdb")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("The cyclic reference is not solved.")) << r.err.toStdString();

    r = cli({"--folder", folder.path(), "import", "--album", "1", a});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "4\t" + a + "\n");
    r = cli({"--folder", folder.path(), "import", "--album", "5", a});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("there is no album with id 5")) << r.err.toStdString();
    r = cli({"--folder", folder.path(), "import", folder.file("none.jpg")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "");
}

TEST(Cli, ImportRefusalsAndAMissingDiscAreErrors)
{
    test::ProgramFolder folder;
    const QString a = folder.file("a.jpg");
    test::writeFile(a, photo(16, 16, 5));
    ASSERT_EQ(cli({"--folder", folder.path(), "init"}).code, 0);
    {
        test::ScriptedUi ui;
        Catalog c(folder.path());
        c.openAtStartup();
        c.appendBase("/media/disc/Travel.mdb", "Travel", false);
        c.appendBase(folder.file("FB.mdd"), "Archive", true);
    }
    Outcome r = cli({"--folder", folder.path(), "import", "--base", "2", a});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("Travel") && r.err.contains("/media/disc/Travel.mdb")) << r.err.toStdString();
    EXPECT_EQ(r.out, "");
    r = cli({"--folder", folder.path(), "import", "--base", "3", a});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("PhotoBase File is Read Only.")) << r.err.toStdString();
    r = cli({"--folder", folder.path(), "list"});
    EXPECT_EQ(r.out, "") << "nothing was imported";
}
