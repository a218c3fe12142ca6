#pragma once
// A catalogue in a temporary program folder, a grid stand-in and a viewer
// shown at a known viewport size (1024 x 700, borderless), for the viewer tests.

#include "catalog/catalog.h"
#include "platform/jpeg.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_support.h"
#include "viewer/formimage.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace mv::test {

struct FakeGrid : GridNavigator {
    int col = 0, row = 0, cols = 3;
    std::vector<qint64> ids;
    int goRuns = 0;
    quint8 flags = 0;

    int selectedColumn() const override { return col; }
    int selectedRow() const override { return row; }
    int columnCount() const override { return cols; }
    int rowCount() const override { return int(ids.size()) / cols + 1; }
    void selectCell(int c, int r) override { col = c, row = r; }
    int recordCount() const override { return int(ids.size()); }
    qint64 idAt(int index) const override { return ids.at(std::size_t(index)); }
    void runGo() override { ++goRuns; }
    quint8 overlayFlags() const override { return flags; }
    void setOverlayFlags(quint8 f) override { flags = f; }
};

// A smooth picture with every pixel distinct enough to survive JPEG coding.
Bitmap gradient(int w, int h);

struct Record {
    qint64 id = 1;
    QString date = QStringLiteral("2021:06:01 10:00:00");
    qint64 album = 1, theme = 1;
    int rank = 0;
    QString text;
    bool video = false;
    QString exif = QStringLiteral("|F2.8 |1/60");
};

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds a ListPhoto record and, unless photo is null, its Photos row.
    void add(const Record &r, const QByteArray *photo);
    QByteArray addPhoto(qint64 id, int w, int h, Record r = {});
    // Shows the viewer on grid cell k holding photo id.
    void open(qint64 id, int k = 0);
    void settle() { QCoreApplication::processEvents(); }
    QVariant listValue(qint64 id, const QString &field);
    QByteArray storedPhoto(qint64 id);
    // Sends a key to the control that has the focus, as the keyboard does.
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier);
    // Pointer gestures on the display surface.
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = Qt::NoModifier);
    void move(QPoint p);
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton);
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers m = Qt::NoModifier);

    ScriptedUi ui;
    std::unique_ptr<ProgramFolder> folder;
    std::unique_ptr<Catalog> cat;
    FakeGrid grid;
    std::unique_ptr<TFormImage> v;
};

} // namespace mv::test
