// The slide show, the overlay and its options dialog.

#include "tests/viewer/viewer_support.h"
#include "viewer/formparam.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>

using namespace mv;
using namespace mv::test;

namespace {

using SlideShow = ViewerTest;
using Overlay = ViewerTest;

bool hasYellow(const QImage &img, const QRect &box)
{
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) < 90)
                return true;
        }
    return false;
}

} // namespace

TEST_F(SlideShow, TicksStepToTheLastPhotoAndStayThere)
{
    for (qint64 id = 1; id <= 4; ++id)
        addPhoto(id, 80, 60);
    open(1);
    v->Image1DblClick(); // framed: the show goes back to full screen
    v->Timer1->setInterval(10);
    v->ActSlideShowExecute();
    EXPECT_TRUE(v->borderless());
    EXPECT_TRUE(v->Timer1->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(v->photoId, qint64(4), 5000);
    EXPECT_EQ(grid.row * 3 + grid.col, 3);
    QTest::qWait(80);
    EXPECT_EQ(v->photoId, 4);
    EXPECT_TRUE(v->Timer1->isActive()) << "the timer keeps running at the last photo";
    EXPECT_TRUE(v->isVisible());
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(SlideShow, AKeyOrAButtonStopsItAndStillDoesItsWork)
{
    for (qint64 id = 1; id <= 3; ++id)
        addPhoto(id, 80, 60);
    open(1);
    EXPECT_EQ(v->Timer1->interval(), 2500);
    v->Timer1->start();
    key(Qt::Key_PageDown);
    EXPECT_FALSE(v->Timer1->isActive());
    EXPECT_EQ(v->photoId, 2);

    v->Timer1->start();
    QWheelEvent wheel(QPointF(10, 10), QPointF(v->Image1->mapToGlobal(QPoint(10, 10))), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(v->Image1, &wheel);
    EXPECT_TRUE(v->Timer1->isActive()) << "the wheel steps without stopping the show";
    EXPECT_EQ(v->photoId, 3);
    press({10, 10});
    EXPECT_FALSE(v->Timer1->isActive());
    release({10, 10});
}

TEST_F(Overlay, ItemsSitAtTheirCornersInAFontScaledToTheSurface)
{
    Record r;
    r.text = "Sunset";
    r.date = "2019:12:31 23:59:58";
    r.exif = "|F8 |1/500";
    addPhoto(1, 1600, 1200, r);
    addPhoto(2, 1200, 1600, r);
    open(1);
    int pixels = 0;
    EXPECT_TRUE(v->overlayLayout(&pixels).empty());
    EXPECT_EQ(pixels, 27); // trunc(922 / 1024 * 30)

    grid.flags = 1 | 2 | 4 | 8 | 16;
    const auto items = v->overlayLayout(&pixels);
    ASSERT_EQ(items.size(), 5u);
    const int SW = 922, SH = 692;
    QFont f = v->font();
    f.setPixelSize(27);
    const QFontMetrics fm(f);
    const int th = fm.height();
    std::map<int, QRect> box;
    std::map<int, QString> text;
    for (const auto &i : items) {
        box[i.flag] = i.box;
        text[i.flag] = i.text;
    }
    EXPECT_EQ(text[1], "2019:12:31 23:59");
    EXPECT_EQ(box[1], QRect(QPoint(SW - fm.horizontalAdvance(text[1]), SH - th), QPoint(SW, SH)));
    const int tw = fm.horizontalAdvance("Sunset");
    EXPECT_EQ(box[2], QRect(QPoint((SW - tw) / 2, SH - 3 * th), QPoint((SW - tw) / 2 + tw, SH - 2 * th)));
    EXPECT_EQ(box[16].topLeft(), QPoint(0, SH - th));
    EXPECT_EQ(text[4], "Holidays");
    EXPECT_EQ(box[4].topLeft(), QPoint(0, 0));
    EXPECT_EQ(text[8], "Sea");
    EXPECT_EQ(box[8].topLeft(), QPoint(0, 2 * th));

    const QImage shown = v->Image1->grab().toImage();
    EXPECT_TRUE(hasYellow(shown, box[4] & shown.rect()));
    // Not in the compare view.
    v->showWorkingFlag = false;
    EXPECT_FALSE(hasYellow(v->Image1->grab().toImage(), box[4] & shown.rect()));
    v->showWorkingFlag = true;

    // A text wider than the picture starts at the left edge.
    v->DBEdit1->setText(QString(400, QLatin1Char('W')));
    for (const auto &i : v->overlayLayout()) {
        if (i.flag == 2) {
            EXPECT_EQ(i.box.topLeft(), QPoint(0, SH - 3 * th));
        }
    }

    open(2);
    v->overlayLayout(&pixels);
    EXPECT_EQ(pixels, 22); // trunc(519 / 1024 * 45)
}

TEST_F(Overlay, OptionsDialogStoresTheTickedBoxesHoweverItCloses)
{
    addPhoto(1, 320, 240);
    open(1);
    struct Case {
        const char *how;
        std::function<void(TFormParam &)> close;
    };
    const Case cases[] = {
        {"Esc", [](TFormParam &d) { QTest::keyClick(d.CBAlbum, Qt::Key_Escape); }},
        {"P", [](TFormParam &d) { QTest::keyClick(d.CBAlbum, Qt::Key_P); }},
        {"Close", [](TFormParam &d) { d.Button1->click(); }},
    };
    for (const Case &c : cases) {
        grid.flags = 1 | 16;
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *d = qobject_cast<TFormParam *>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            seen = true;
            EXPECT_EQ(d->windowTitle(), "Parameter");
            EXPECT_TRUE(d->CBDate->isChecked());
            EXPECT_TRUE(d->CBPhoto->isChecked());
            EXPECT_FALSE(d->CBAlbum->isChecked());
            EXPECT_NEAR(d->windowOpacity(), 170.0 / 255.0, 0.01);
            EXPECT_EQ(d->height(), 145);
            EXPECT_EQ(d->CBPhoto->pos(), QPoint(168, 16));
            d->CBDate->setChecked(false);
            QTest::mouseClick(d->CBAlbum, Qt::LeftButton);
            c.close(*d);
        });
        key(Qt::Key_P);
        EXPECT_TRUE(seen) << c.how;
        EXPECT_EQ(grid.flags, 4 | 16) << c.how;
        bool album = false;
        for (const auto &i : v->overlayLayout())
            album = album || i.flag == 4;
        EXPECT_TRUE(album) << c.how;
        EXPECT_FALSE(v->imageModifiedFlag);
    }
}
