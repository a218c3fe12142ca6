// The viewer window: loading, zoom arithmetic, keys and wheel, stepping
// through the grid, the save decision, the dialog launches and bad input.

#include "import/thumbnail.h"
#include "imaging/primitives.h"
#include "platform/pictures.h"
#include "tests/viewer/viewer_support.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace mv;
using namespace mv::test;

namespace {

using Viewer = ViewerTest;

QString status(TFormImage &v, int panel) { return v.panels[panel]->text(); }

} // namespace

TEST_F(Viewer, LoadingDecodesThePhotoAndShowsItsRecord)
{
    Record r;
    r.album = 2;
    r.theme = 2;
    r.rank = 1;
    r.text = "Beach";
    r.exif = "|F4 |1/250";
    r.date = "2020:07:14 09:30:12";
    const QByteArray bytes = addPhoto(7, 320, 240, r);
    open(7);

    EXPECT_EQ(v->windowTitle(), "Marvisto - Edit");
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->working, jpeg::decode(bytes));
    EXPECT_TRUE(v->pendingCommitFlag);
    EXPECT_TRUE(v->committed.isEmpty()) << "the committed image is copied only at the first edit";
    EXPECT_EQ(v->pictureW, 320);
    EXPECT_EQ(v->pictureH, 240);
    EXPECT_FALSE(v->attributesModified);
    EXPECT_FALSE(v->imageModifiedFlag);
    EXPECT_EQ(status(*v, 0), "");
    EXPECT_EQ(status(*v, 2), "2020:07:14 09:30:12");
    EXPECT_EQ(status(*v, 3), "|F4 |1/250");
    EXPECT_EQ(v->ComboBoxRank->currentText(), "Good");
    EXPECT_EQ(v->DBLookupComboBox1->currentText(), "Family");
    EXPECT_EQ(v->DBLookupComboBox2->currentText(), "Mountains");
    EXPECT_EQ(v->DBEdit1->text(), "Beach");
    // Full screen: no bars, the viewport is the whole window.
    EXPECT_TRUE(v->ToolBar1->isHidden());
    EXPECT_TRUE(v->ToolBar2->isHidden());
    EXPECT_TRUE(v->StatusBar1->isHidden());
    EXPECT_EQ(v->ScrollBox1->size(), QSize(1024, 700));

    // The surface shows the photo stretched, pixel-picked.
    const QImage shown = v->Image1->grab().toImage();
    const int dw = v->Image1->width(), dh = v->Image1->height();
    for (QPoint p : {QPoint(0, 0), QPoint(dw / 2, dh / 3), QPoint(dw - 1, dh - 1)}) {
        const uint8_t *px = v->working.pixel(p.x() * 320 / dw, p.y() * 240 / dh);
        EXPECT_EQ(shown.pixel(p), qRgb(px[2], px[1], px[0])) << p.x() << "," << p.y();
    }
}

TEST_F(Viewer, FitLevelPlacesAndScalesThePicture)
{
    struct Case {
        int w, h;
        QRect surface;
        const char *status;
    };
    const Case cases[] = {
        {1600, 1200, {51, 4, 922, 692}, "1600x1200 57%"},
        {640, 480, {49, 2, 926, 695}, "640x480 144%"},
        {1200, 1600, {252, 4, 519, 692}, "1200x1600 43%"},
        {1, 1, {164, 2, 695, 695}, "1x1 69500%"},
        {20000, 100, {4, 347, 1016, 5}, "20000x100 5%"},
    };
    qint64 id = 1;
    for (const Case &c : cases) {
        addPhoto(id, c.w, c.h);
        open(id);
        EXPECT_EQ(v->Image1->geometry(), c.surface) << c.w << "x" << c.h;
        EXPECT_EQ(v->paintRect, QRect(QPoint(0, 0), c.surface.size()));
        EXPECT_EQ(status(*v, 1), c.status);
        v->Image1->grab(); // paints without trouble
        ++id;
    }
}

TEST_F(Viewer, ZoomLevelsByKeysAndWheel)
{
    addPhoto(1, 1600, 1200);
    addPhoto(2, 1600, 1200);
    open(1);
    struct Step {
        int key;
        Qt::KeyboardModifiers mods;
        const char *status;
        QSize surface;
        bool cropEnabled;
    };
    const Step steps[] = {
        {Qt::Key_Return, Qt::NoModifier, "1600x1200 100%", {1600, 1200}, false},
        {Qt::Key_Plus, Qt::KeypadModifier, "1600x1200 300%", {4800, 3600}, false},
        {Qt::Key_Plus, Qt::KeypadModifier, "1600x1200 500%", {8000, 6000}, false},
        {Qt::Key_Plus, Qt::KeypadModifier, "1600x1200 500%", {8000, 6000}, false},
        {Qt::Key_Enter, Qt::KeypadModifier, "1600x1200 100%", {1600, 1200}, false},
        {Qt::Key_F4, Qt::NoModifier, "1600x1200 57%", {922, 692}, true},
        {Qt::Key_Minus, Qt::KeypadModifier, "1600x1200 57%", {922, 692}, true},
        {Qt::Key_Plus, Qt::KeypadModifier, "1600x1200 100%", {1600, 1200}, true}, // zoom in leaves the crop command alone
        {Qt::Key_Minus, Qt::KeypadModifier, "1600x1200 57%", {922, 692}, true},
    };
    for (const Step &s : steps) {
        key(s.key, s.mods);
        EXPECT_EQ(status(*v, 1), s.status) << s.key;
        EXPECT_EQ(v->Image1->size(), s.surface) << s.key;
        EXPECT_EQ(v->ActKadr->isEnabled(), s.cropEnabled) << s.key;
    }

    // At 100 % the view scrolls towards the anchor; the viewport clamps -39 to 0.
    v->sel.x1 = 800;
    v->sel.y1 = 600;
    key(Qt::Key_Return);
    EXPECT_EQ(v->Image1->pos(), QPoint(0, 0));
    EXPECT_EQ(v->ScrollBox1->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(v->ScrollBox1->verticalScrollBar()->value(), 46);
    key(Qt::Key_Right);
    key(Qt::Key_Right);
    key(Qt::Key_Down);
    EXPECT_EQ(v->ScrollBox1->horizontalScrollBar()->value(), 48);
    EXPECT_EQ(v->ScrollBox1->verticalScrollBar()->value(), 70);
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    EXPECT_EQ(v->ScrollBox1->horizontalScrollBar()->value(), 0);

    // Shift + wheel towards the user zooms in about the pointer (screen
    // coordinates, as the wheel event reports them); without Shift it steps.
    key(Qt::Key_Return); // back to fit
    const QPoint at(300, 200);
    const QPoint global = v->Image1->mapToGlobal(at);
    QWheelEvent in(QPointF(at), QPointF(global), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::ShiftModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(v->Image1, &in);
    EXPECT_EQ(status(*v, 1), "1600x1200 100%");
    const float s = 1600.0f / 922.0f;
    EXPECT_EQ(v->sel.x1, int(double(global.x()) * s));
    EXPECT_EQ(v->sel.y1, int(double(global.y()) * s));
    QWheelEvent out(QPointF(at), QPointF(global), QPoint(), QPoint(0, 120), Qt::MiddleButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
    QApplication::sendEvent(v->Image1, &out);
    EXPECT_EQ(status(*v, 1), "1600x1200 57%");
    QApplication::sendEvent(v->Image1, &out); // already at fit: nothing, and no step
    EXPECT_EQ(v->photoId, 1);
    QWheelEvent next(QPointF(at), QPointF(global), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(v->Image1, &next);
    EXPECT_EQ(v->photoId, 2);
    EXPECT_EQ(status(*v, 1), "1600x1200 57%");
}

TEST_F(Viewer, SteppingFollowsTheGridRowByRow)
{
    for (qint64 id = 1; id <= 5; ++id)
        addPhoto(id * 10, 64, 48);
    // 3 columns: cells 0..4 hold photos, cell 5 is empty, the grid has 2 rows.
    struct Case {
        int from;
        bool next;
        int toCell;     // grid selection afterwards
        qint64 shows;   // photo shown afterwards
    };
    const Case cases[] = {
        {0, true, 1, 20},  {2, true, 3, 40},  {4, true, 4, 50}, // past the last record: the selection stays
        {0, false, 0, 10}, // before the first cell: nothing
        {3, false, 2, 30}, {1, false, 0, 10},
    };
    for (const Case &c : cases) {
        open(grid.ids[std::size_t(c.from)], c.from);
        if (c.next)
            key(Qt::Key_PageDown);
        else
            key(Qt::Key_PageUp);
        EXPECT_EQ(grid.row * 3 + grid.col, c.toCell) << c.from << (c.next ? " next" : " prev");
        EXPECT_EQ(v->photoId, c.shows) << c.from;
        EXPECT_EQ(v->working, jpeg::decode(storedPhoto(c.shows)));
        EXPECT_TRUE(v->isVisible());
    }
    // The action shortcuts step as well; the zoom level carries over.
    open(10, 0);
    key(Qt::Key_Return);
    key(Qt::Key_F6);
    EXPECT_EQ(v->photoId, 20);
    EXPECT_EQ(v->zoomLevel, 1);
    key(Qt::Key_F5);
    EXPECT_EQ(v->photoId, 10);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(Viewer, SteppingOntoAVideoClosesTheViewer)
{
    addPhoto(1, 64, 48);
    Record video;
    video.id = 2;
    video.video = true;
    video.exif = "/clips/a.avi";
    add(video, nullptr);
    open(1);
    key(Qt::Key_PageDown);
    settle();
    EXPECT_FALSE(v->isVisible());
    EXPECT_TRUE(v->closeRequested());
}

TEST_F(Viewer, SaveDecisionWritesOnlyWhenAskedAndOnlyWhatChanged)
{
    const QByteArray original = addPhoto(1, 120, 80);
    addPhoto(2, 120, 80);
    addPhoto(3, 120, 80);

    // Rank only, Cancel: nothing written, and the next step does not ask again.
    open(1);
    v->ComboBoxRank->setFocus();
    ui.answers = {ui::Answer::Cancel};
    QTest::keyClick(v->ComboBoxRank, Qt::Key_Down);
    EXPECT_TRUE(v->attributesModified);
    v->ActNext->trigger();
    EXPECT_EQ(ui.texts(), QStringList{"Save photo?"});
    EXPECT_EQ(listValue(1, "Rank").toInt(), 0);
    EXPECT_EQ(grid.goRuns, 0);
    v->ActPrev->trigger();
    EXPECT_EQ(ui.shown.size(), 1u);

    // Rank only, OK: the rank is written and Go! runs; the picture is not touched.
    QTest::keyClick(v->ComboBoxRank, Qt::Key_Down);
    ui.answers = {ui::Answer::Ok};
    v->ActNext->trigger();
    EXPECT_EQ(listValue(1, "Rank").toInt(), 1);
    EXPECT_EQ(grid.goRuns, 1);
    EXPECT_EQ(storedPhoto(1), original);
    EXPECT_EQ(status(*v, 0), "");

    // Album and text changed and the photo rotated, OK: new picture, new
    // thumbnail, rank and the new album all written.
    open(3, 2);
    v->DBLookupComboBox1->setFocus();
    QTest::keyClick(v->DBLookupComboBox1, Qt::Key_Down);
    EXPECT_EQ(v->DBLookupComboBox1->currentText(), "Family");
    v->DBEdit1->setFocus();
    QTest::keyClicks(v->DBEdit1, "xy");
    v->ToolButton2->click();
    const Bitmap rotated = v->working;
    EXPECT_EQ(rotated.width(), 80);
    ui.answers = {ui::Answer::Ok};
    key(Qt::Key_Escape); // closes, through the save decision
    EXPECT_FALSE(v->isVisible());
    EXPECT_EQ(ui.shown.back().text, "Save photo?");
    EXPECT_EQ(storedPhoto(3), jpeg::encode(rotated, 90));
    EXPECT_EQ(listValue(3, "SmallPhoto").toByteArray(), MakeThumbnail(rotated));
    EXPECT_EQ(listValue(3, "Albums").toInt(), 2);
    EXPECT_EQ(listValue(3, "Text").toString(), "xy");
    EXPECT_EQ(listValue(3, "Rank").toInt(), 0);
    EXPECT_EQ(grid.goRuns, 2);

    // Picture changed, Cancel: nothing written.
    open(2, 1);
    v->ToolButton4->click();
    ui.answers = {ui::Answer::Cancel};
    const std::size_t before = ui.shown.size();
    v->close();
    EXPECT_EQ(ui.shown.size(), before + 1);
    EXPECT_EQ(jpeg::decode(storedPhoto(2)).width(), 120);
    EXPECT_EQ(grid.goRuns, 2);

    // Nothing changed: closing does not ask.
    open(2, 1);
    v->close();
    EXPECT_EQ(ui.shown.size(), before + 1);
}

namespace {

// A correction dialog stand-in: records what it saw of the viewer, changes
// the working image, and closes with the result it is given.
struct ProbeDialog {
    static inline int result = QDialog::Accepted;
    static inline bool sawSettled = false;
    static inline QSize designed{300, 200};
    static inline QString statusSeen;
    static inline double opacity = 0;
    static inline bool frameless = false;
    static inline int height = 0;
    static QDialog *make(ImageHost &host, QWidget *parent)
    {
        auto *d = new QDialog(parent);
        d->resize(designed);
        QTimer::singleShot(0, d, [d, &host] {
            sawSettled = !host.pendingCommit() && host.committedImage() == host.workingImage();
            statusSeen = static_cast<TFormImage &>(host).panels[0]->text();
            opacity = d->windowOpacity();
            frameless = d->windowFlags() & Qt::FramelessWindowHint;
            height = d->height();
            imaging::RotateQuarter(host.workingImage(), true);
            imaging::RotateQuarter(host.workingImage(), true); // same size, other pixels
            d->done(result);
        });
        return d;
    }
};

} // namespace

TEST_F(Viewer, DialogLaunchesSettleStyleAndMarkTheImage)
{
    addPhoto(1, 90, 60);
    CorrectionDialogs &reg = correctionDialogs();
    reg.brightness = reg.levels = reg.colors = reg.sharpen = reg.noise = &ProbeDialog::make;
    open(1);

    struct Case {
        std::function<void()> run;
        bool styled;
        const char *status;
    };
    const Case cases[] = {
        {[&] { key(Qt::Key_B); }, true, ""},
        {[&] { key(Qt::Key_L); }, true, ""},
        {[&] { v->ActColors->trigger(); }, false, ""},
        {[&] { key(Qt::Key_S); }, true, "Sharpen picture. Wait please."},
        {[&] { v->ActNoNoise->trigger(); }, false, ""},
    };
    for (const Case &c : cases) {
        v->imageModifiedFlag = false;
        v->pendingCommitFlag = true;
        ProbeDialog::result = QDialog::Accepted;
        ProbeDialog::sawSettled = false;
        c.run();
        EXPECT_TRUE(ProbeDialog::sawSettled);
        EXPECT_TRUE(v->imageModifiedFlag);
        EXPECT_EQ(ProbeDialog::statusSeen, c.status);
        EXPECT_EQ(ProbeDialog::frameless, c.styled);
        EXPECT_NEAR(ProbeDialog::opacity, c.styled ? 170.0 / 255.0 : 1.0, 0.01);
        EXPECT_EQ(ProbeDialog::height, c.styled ? 190 : 200);
        // Cancel leaves the flag alone.
        v->imageModifiedFlag = false;
        ProbeDialog::result = QDialog::Rejected;
        c.run();
        EXPECT_FALSE(v->imageModifiedFlag);
    }

    // Framed, the dialogs keep their frame.
    v->Image1DblClick();
    ASSERT_TRUE(QTest::qWaitForWindowActive(v.get()));
    ProbeDialog::result = QDialog::Accepted;
    v->ActBrigthness->trigger();
    EXPECT_FALSE(ProbeDialog::frameless);
    EXPECT_EQ(ProbeDialog::height, 200);

    // With the attribute panel shown, B only types; Ctrl+B still opens.
    v->tbPanel2->click();
    ASSERT_TRUE(v->ToolBar2->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(v.get()));
    v->DBEdit1->setFocus();
    v->DBEdit1->clear();
    ProbeDialog::height = 0;
    key(Qt::Key_B);
    key(Qt::Key_S);
    EXPECT_EQ(v->DBEdit1->text(), "bs");
    EXPECT_EQ(ProbeDialog::height, 0);
    key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(ProbeDialog::height, 200);
    reg = {};
}

TEST_F(Viewer, FrameToggleShowsTheBarsAndRearranges)
{
    addPhoto(1, 1600, 1200);
    open(1);
    v->Image1DblClick();
    EXPECT_FALSE(v->borderless());
    EXPECT_TRUE(v->ToolBar1->isVisible());
    EXPECT_TRUE(v->StatusBar1->isVisible());
    EXPECT_FALSE(v->ToolBar2->isVisible());
    EXPECT_EQ(v->ToolBar1->height(), 36);
    // The smaller viewport gives a smaller picture.
    EXPECT_LT(v->Image1->height(), 692);
    EXPECT_EQ(v->Image1->height(), v->ScrollBox1->height() - 8);
    v->tbPanel2->click();
    EXPECT_TRUE(v->ToolBar2->isVisible());
    v->Image1DblClick();
    EXPECT_TRUE(v->borderless());
    EXPECT_TRUE(v->ToolBar1->isHidden());
    EXPECT_TRUE(v->ToolBar2->isHidden());
    EXPECT_EQ(v->Image1->size(), QSize(922, 692));
}

// The command bar shows pictures only; the hints are the tooltips.
TEST_F(Viewer, CommandBarButtonsShowTheirPictureWithTheHintAsTooltip)
{
    addPhoto(1, 320, 240);
    open(1);
    v->Image1DblClick();
    const QString separator = QStringLiteral("|");
    const QStringList expected = {
        "Slide Show", "Zoom (Enter)", "Panel Attribute", "Show Parameter (P)", separator, "Rotate 90",
        "Rotate -90", "Rotation on two points", separator, "Prev Photo ", "Next Photo ", separator, "Levels (L)",
        "Brightness, Conrast (B)", "Sharpen (S)", "Cvetovy tone", "Size Photo", "Reduction of the effect red eye",
        "Borders for testing parameter reduction of the noise", "Reduction level noise", separator};
    const QStringList toggles = {"Panel Attribute", "Rotation on two points", "Size Photo",
                                 "Reduction of the effect red eye",
                                 "Borders for testing parameter reduction of the noise"};
    QStringList seen;
    std::vector<QImage> pictures;
    for (QAction *a : v->ToolBar1->actions()) {
        if (a->isSeparator()) {
            seen << separator;
            continue;
        }
        auto *b = qobject_cast<QToolButton *>(v->ToolBar1->widgetForAction(a));
        ASSERT_NE(b, nullptr);
        const QString hint = b->toolTip();
        seen << hint;
        SCOPED_TRACE(hint.toStdString());
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonIconOnly);
        EXPECT_EQ(b->size(), QSize(31, 30));
        ASSERT_FALSE(b->icon().isNull());
        EXPECT_EQ(b->iconSize(), QSize(24, 24));
        EXPECT_EQ(b->isCheckable(), toggles.contains(hint));
        const QImage img = b->icon().pixmap(QSize(24, 24)).toImage();
        for (const QImage &other : pictures)
            EXPECT_NE(img, other) << "two commands share a picture";
        pictures.push_back(img);
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(v->ToolButton1->toolTip(), "Zoom (Enter)");
    EXPECT_EQ(v->ToolButton2->toolTip(), "Rotate 90");
    EXPECT_EQ(v->ToolButton4->toolTip(), "Rotate -90");
}

TEST_F(Viewer, APhotoThatIsNoJpegShowsTheStockPictureAndCanBeSteppedOver)
{
    const QByteArray junk("this is not a picture at all");
    Record r;
    r.id = 1;
    add(r, &junk);
    addPhoto(2, 64, 48);
    open(1);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->working, pictures::noImage());
    EXPECT_EQ(v->committed, pictures::noImage());
    EXPECT_EQ(status(*v, 1), "40x40 1737%");
    key(Qt::Key_PageDown);
    EXPECT_EQ(v->photoId, 2);
    EXPECT_EQ(v->working.width(), 64);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(Viewer, AMissingPhotoBaseFileIsReportedAndTheViewerStays)
{
    addPhoto(1, 64, 48);
    cat->ADOConnection1.execute("insert into Bases (Label, ReadOnly, File) values ('Gone', 0, '/nonexistent/Gone.mdb')");
    Record r;
    r.id = 2;
    add(r, nullptr);
    cat->ADOConnection1.execute("update ListPhoto set Base = (select max(Id) from Bases) where id = 2");
    open(1);
    key(Qt::Key_PageDown);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].icon, ui::Icon::Error);
    EXPECT_FALSE(ui.shown[0].text.isEmpty());
    settle();
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->panels[0]->text(), "Loading picture. Please wait");
    EXPECT_EQ(v->working.width(), 64) << "the picture shown before stays";
    // Opening straight onto it reports the same way and leaves an empty picture.
    open(2, 1);
    EXPECT_EQ(ui.shown.size(), 2u);
    v->Image1->grab();
}

TEST_F(Viewer, ExtremePicturesSurviveZoomAndTools)
{
    addPhoto(1, 1, 1);
    addPhoto(2, 20000, 100);
    for (qint64 id : {1, 2}) {
        open(id, int(id - 1));
        for (int i = 0; i < 4; ++i)
            key(Qt::Key_Plus, Qt::KeypadModifier);
        v->Image1->grab();
        key(Qt::Key_Return);
        key(Qt::Key_Return);
        v->ActKadr->trigger();
        drag({1, 1}, {3, 2});
        v->ActKadr->trigger();
        EXPECT_GE(v->pictureW, 1);
        EXPECT_GE(v->pictureH, 1);
        EXPECT_EQ(v->working.width(), v->pictureW);
        v->ToolButton2->click();
        v->Image1->grab();
        int pixels = 0;
        grid.flags = 31;
        v->overlayLayout(&pixels);
        EXPECT_GE(pixels, 1);
        v->Image1->grab();
        grid.flags = 0;
    }
}
