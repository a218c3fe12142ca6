// Viewer figures on a 24-megapixel photo (6000 x 4000), each beside its
// anchor measured in the same run:
//   open to the first paint, and the step to the next photo  vs  one full libjpeg decode
//   a repaint of the surface at fit level                      vs  16 ms
//   the save (encode, thumbnail, both posts)                   vs  one libjpeg encode
//
//   bench_viewer [ROUNDS=3]
// Figures are medians over the rounds.

#include "catalog/catalog.h"
#include "platform/files.h"
#include "platform/jpeg.h"
#include "platform/ui.h"
#include "viewer/formimage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace mv;

namespace {

double ms(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Answers OK to "Save photo?".
struct Yes final : ui::Delegate {
    ui::Answer message(ui::Icon, const QString &, ui::Buttons) override { return ui::Answer::Ok; }
    QStringList chooseFiles(const ui::FileRequest &) override { return {}; }
    bool choosePrinter(QPrinter &) override { return false; }
};

struct Grid final : GridNavigator {
    int col = 0;
    int selectedColumn() const override { return col; }
    int selectedRow() const override { return 0; }
    int columnCount() const override { return 8; }
    int rowCount() const override { return 1; }
    void selectCell(int c, int) override { col = c; }
    int recordCount() const override { return 8; }
    qint64 idAt(int index) const override { return index + 1; }
    void runGo() override {}
    quint8 overlayFlags() const override { return 0; }
    void setOverlayFlags(quint8) override {}
};

// A camera-like picture: smooth shading with fine texture, so the JPEG is
// about as large and as slow to code as a real photo.
Bitmap photo(int w, int h, unsigned seed)
{
    Bitmap b(w, h);
    unsigned s = seed;
    for (int y = 0; y < h; ++y) {
        uint8_t *row = b.row(y);
        for (int x = 0; x < w; ++x) {
            s = s * 1103515245u + 12345u;
            const int n = int((s >> 16) & 15);
            row[3 * x] = uint8_t((x * 200 / w + n) & 255);
            row[3 * x + 1] = uint8_t((y * 200 / h + n) & 255);
            row[3 * x + 2] = uint8_t(((x + y) * 120 / (w + h) + 60 + n) & 255);
        }
    }
    return b;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    Yes yes;
    ui::setDelegate(&yes);

    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    for (const char *t : {"FL.mdd", "FB.mdd"})
        files::copyOver(QStringLiteral(MARVISTO_DIST_DIR "/") + t, folder + t);
    Catalog cat(folder);
    cat.openAtStartup();

    const int W = 6000, H = 4000;
    std::vector<QByteArray> jpegs;
    for (int id = 1; id <= 8; ++id) {
        jpegs.push_back(jpeg::encode(photo(W, H, unsigned(id)), 90));
        db::Query l(&cat.ADOConnection1, db::CursorType::Dynamic);
        l.setSql(sql::kEmptyRecordForInsert);
        l.open();
        l.append();
        l.setValue("id", id);
        l.setValue("Base", cat.currentBaseId());
        l.setValue("Date", "2024:01:01 12:00:00");
        l.setValue("Rank", 0);
        l.post();
        db::Query p(&cat.ADOConnection2, db::CursorType::Dynamic);
        p.setSql(sql::kEmptyPhoto);
        p.open();
        p.append();
        p.setValue("Id", id);
        p.setValue("Photo", jpegs.back());
        p.post();
    }
    std::printf("photo %d x %d, JPEG %.1f MB\n", W, H, jpegs[0].size() / 1e6);

    std::vector<double> decode, open, step, paint, encode, save, post;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        Bitmap decoded = jpeg::decode(jpegs[0]);
        decode.push_back(ms(t));
        decoded = Bitmap();

        Grid grid;
        TFormImage v(cat, grid);
        v.mouseState = -1;
        v.photoId = 1;
        v.resize(1920, 1080);
        t.restart();
        v.show(); // loads before it returns
        QCoreApplication::processEvents(); // the window is exposed and painted
        open.push_back(ms(t));

        t.restart();
        v.ActNextExecute();
        QCoreApplication::processEvents();
        step.push_back(ms(t));

        std::vector<double> p;
        for (int i = 0; i < 15; ++i) {
            t.restart();
            v.Image1->repaint();
            p.push_back(ms(t));
        }
        paint.push_back(median(p));

        t.restart();
        const QByteArray e = jpeg::encode(v.working, 90);
        encode.push_back(ms(t));

        v.imageModifiedFlag = true;
        t.restart();
        v.SaveIfChanged();
        save.push_back(ms(t));
        v.close();
        QCoreApplication::processEvents();

        // What the database alone costs for the same bytes.
        t.restart();
        db::Query q(&cat.ADOConnection2, db::CursorType::Dynamic);
        q.setSql(sql::photo(8));
        q.open();
        q.edit();
        q.setValue("Photo", e);
        q.post();
        post.push_back(ms(t));
    }
    const double d = median(decode), o = median(open), s = median(step), pa = median(paint), en = median(encode),
                 sv = median(save);
    std::printf("libjpeg decode          %8.1f ms\n", d);
    std::printf("open to first paint     %8.1f ms   %.2f x decode (limit 1.20)\n", o, o / d);
    std::printf("step to next photo      %8.1f ms   %.2f x decode (limit 1.20)\n", s, s / d);
    std::printf("repaint at fit level    %8.2f ms   (limit 16 ms)\n", pa);
    std::printf("libjpeg encode q90      %8.1f ms\n", en);
    std::printf("save                    %8.1f ms   %.2f x encode (limit 1.50)\n", sv, sv / en);
    std::printf("  of which the database post of the photo alone: %.1f ms\n", median(post));
    return 0;
}
