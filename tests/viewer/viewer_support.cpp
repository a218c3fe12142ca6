#include "tests/viewer/viewer_support.h"

#include <QMouseEvent>

namespace mv::test {

Bitmap gradient(int w, int h)
{
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t *p = b.pixel(x, y);
            p[0] = uint8_t(x * 255 / std::max(1, w - 1));
            p[1] = uint8_t(y * 255 / std::max(1, h - 1));
            p[2] = uint8_t(128 + ((x / 16 + y / 16) % 2) * 64);
        }
    return b;
}

void ViewerTest::SetUp()
{
    folder = std::make_unique<ProgramFolder>();
    cat = std::make_unique<Catalog>(folder->path());
    cat->openAtStartup();
    cat->ADOConnection1.execute("insert into Albums (Name) values ('Holidays')");
    cat->ADOConnection1.execute("insert into Albums (Name) values ('Family')");
    cat->ADOConnection1.execute("insert into Themes (Name) values ('Sea')");
    cat->ADOConnection1.execute("insert into Themes (Name) values ('Mountains')");
    cat->reopenList(cat->QVListA);
    cat->reopenList(cat->QVListT);
}

void ViewerTest::TearDown()
{
    ui.fallback = ui::Answer::Cancel;
    v.reset();
}

void ViewerTest::add(const Record &r, const QByteArray *photo)
{
    db::Query q(&cat->ADOConnection1, db::CursorType::Dynamic);
    q.setSql("select * from ListPhoto where id=0");
    q.open();
    q.append();
    q.setValue("id", r.id);
    q.setValue("Base", cat->currentBaseId());
    q.setValue("Date", r.date);
    q.setValue("Albums", r.album);
    q.setValue("Themes", r.theme);
    q.setValue("Rank", r.rank);
    q.setValue("Text", r.text);
    q.setValue("Video", r.video);
    q.setValue("Exif", r.exif);
    q.post();
    if (photo) {
        db::Query p(&cat->ADOConnection2, db::CursorType::Dynamic);
        p.setSql("select * from Photos where id=0");
        p.open();
        p.append();
        p.setValue("Id", r.id);
        p.setValue("Photo", *photo);
        p.post();
    }
    grid.ids.push_back(r.id);
}

QByteArray ViewerTest::addPhoto(qint64 id, int w, int h, Record r)
{
    r.id = id;
    const QByteArray bytes = jpeg::encode(gradient(w, h), 90);
    add(r, &bytes);
    return bytes;
}

void ViewerTest::open(qint64 id, int k)
{
    grid.col = k % grid.cols;
    grid.row = k / grid.cols;
    v = std::make_unique<TFormImage>(*cat, grid);
    v->mouseState = -1;
    v->photoId = id;
    v->listPosition = k;
    v->resize(1024, 700);
    v->show();
    v->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(v.get()));
    settle();
}

QVariant ViewerTest::listValue(qint64 id, const QString &field)
{
    db::Query q(&cat->ADOConnection1);
    q.setSql(sql::record(id));
    q.open();
    return q.eof() ? QVariant() : q.value(field);
}

QByteArray ViewerTest::storedPhoto(qint64 id)
{
    db::Query q(&cat->ADOConnection2);
    q.setSql(sql::photo(id));
    q.open();
    return q.eof() ? QByteArray() : q.bytes("Photo");
}

void ViewerTest::key(int k, Qt::KeyboardModifiers m)
{
    QWidget *target = v->focusWidget() ? v->focusWidget() : v.get();
    QTest::keyClick(target, Qt::Key(k), m);
}

void ViewerTest::press(QPoint p, Qt::MouseButton b, Qt::KeyboardModifiers m)
{
    QTest::mousePress(v->Image1, b, m, p);
}

void ViewerTest::move(QPoint p)
{
    // QTest::mouseMove does not carry buttons; the tools do not need them.
    QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(v->Image1->mapToGlobal(p)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(v->Image1, &e);
}

void ViewerTest::release(QPoint p, Qt::MouseButton b)
{
    QTest::mouseRelease(v->Image1, b, Qt::NoModifier, p);
}

void ViewerTest::drag(QPoint from, QPoint to, Qt::KeyboardModifiers m)
{
    press(from, Qt::LeftButton, m);
    move((from + to) / 2);
    move(to);
    release(to);
}

} // namespace mv::test
