// The video player, on small AVI files made for the test with GStreamer.

#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"
#include "viewer/formplayer.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

using namespace mv;

namespace {

// Makes a 2-second 160 x 120 AVI; the encoder and sound are chosen per case.
bool makeAvi(const QString &path, const QString &encoder, bool sound, QString *why)
{
    const QString gst = QStandardPaths::findExecutable("gst-launch-1.0");
    if (gst.isEmpty()) {
        *why = "gst-launch-1.0 is not installed (Debian: gstreamer1.0-tools)";
        return false;
    }
    QStringList args{"-q", "videotestsrc", "num-buffers=40", "!", "video/x-raw,width=160,height=120,framerate=20/1",
                     "!", encoder, "!", "avimux", "name=m", "!", "filesink", "location=" + path};
    if (sound)
        args << "audiotestsrc" << "num-buffers=20" << "!" << "audio/x-raw,rate=22050,channels=1,format=S16LE" << "!"
             << "m.";
    QProcess p;
    p.start(gst, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        *why = "GStreamer cannot encode with " + encoder + ": " + QString::fromLocal8Bit(p.readAllStandardError());
        return false;
    }
    return true;
}

} // namespace

TEST(Player, PlaysAviFilesSizedFromTheVideoAndClosesAtTheEnd)
{
    struct Case {
        const char *name, *encoder;
        bool sound;
    };
    const Case cases[] = {
        {"mjpeg", "jpegenc", false},
        {"mjpeg-sound", "jpegenc", true},
        {"mpeg4-sound", "avenc_mpeg4", true},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        const QString path = dir.filePath(QString(c.name) + ".avi");
        QString why;
        if (!makeAvi(path, c.encoder, c.sound, &why))
            GTEST_SKIP() << why.toStdString();
        test::ScriptedUi ui;
        TFormPlayer player;
        player.FileName = path;
        player.show();
        QTRY_VERIFY_WITH_TIMEOUT(player.videoSize().isValid() || !ui.shown.empty(), 15000);
        EXPECT_TRUE(ui.texts().isEmpty()) << c.name << ": " << ui.texts().join("; ").toStdString();
        EXPECT_EQ(player.videoSize(), QSize(160, 120)) << c.name;
        EXPECT_EQ(player.size(), QSize(170, 163)) << c.name;
        EXPECT_EQ(player.Timer1->interval(), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!player.isVisible(), 20000);
    }
}

TEST(Player, AFileTheDeviceCannotOpenIsReportedAndTheWindowStays)
{
    QTemporaryDir dir;
    struct Case {
        const char *name;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"corrupt.avi", QByteArray("RIFF\x10\x00\x00\x00" "AVI LIST", 16) + QByteArray(5000, '\x5a')},
        {"empty.avi", QByteArray()},
    };
    for (const Case &c : cases) {
        const QString path = dir.filePath(c.name);
        ASSERT_TRUE(test::writeFile(path, c.bytes));
        test::ScriptedUi ui;
        TFormPlayer player;
        player.FileName = path;
        player.show();
        QTRY_VERIFY_WITH_TIMEOUT(!ui.shown.empty(), 15000);
        EXPECT_EQ(ui.shown[0].icon, ui::Icon::Error) << c.name;
        EXPECT_FALSE(ui.shown[0].text.isEmpty()) << c.name;
        QTest::qWait(1500); // past an end-of-video check
        EXPECT_TRUE(player.isVisible()) << c.name;
        EXPECT_EQ(ui.shown.size(), 1u) << c.name;
        player.close();
        EXPECT_FALSE(player.isVisible());
    }
}

TEST(Player, APathThatNamesNoFileIsReported)
{
    test::ScriptedUi ui;
    TFormPlayer player;
    player.FileName = "/nonexistent/clip.avi";
    player.show();
    QTRY_VERIFY_WITH_TIMEOUT(!ui.shown.empty(), 15000);
    EXPECT_EQ(ui.shown[0].icon, ui::Icon::Error);
    EXPECT_TRUE(player.isVisible());
}
