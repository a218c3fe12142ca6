// The correction dialogs on a 24-megapixel photo: time from the control's
// event (key, mouse move, release, click) to the repainted viewer, with a
// stand-in viewer whose repaint stretches the working image to a fit-level
// surface inside a 1920 x 1080 screen, as the viewer's paint does.
//
// Run: build-dialogs/bench/bench_dialogs [repeats]
// The anchor is one plain copy of the picture (CopyPixels), measured in the
// same run; each line gives its time and its ratio to the anchor.

#include "imaging/formbrightness.h"
#include "imaging/formcolors.h"
#include "imaging/formlevels.h"
#include "imaging/formnoise.h"
#include "imaging/formsharpen.h"
#include "imaging/imaging.h"
#include "imaging/track1up.h"
#include "imaging/track3.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace mv;
using namespace mv::imaging;

namespace {

constexpr int kW = 6000, kH = 4000; // 24 megapixels
constexpr int kScreenW = 1920, kScreenH = 1080;

class BenchHost : public ImageHost {
public:
    Bitmap working, committed;
    bool pending = false, modified = false, showWorkingFlag = true;
    int repaints = 0;
    Selection sel;
    QImage screen{kScreenW, kScreenH, QImage::Format_RGB32};
    Bitmap surface;
    int left = 0, top = 0;

    explicit BenchHost(const Bitmap &picture) : working(picture), committed(picture)
    {
        // The fit level: wider than the screen, so DW = VW - 8, DH by the
        // aspect, then limited by the height.
        int dw = kScreenW - 8, dh = kH * dw / kW;
        if (dh > kScreenH) {
            dh = kScreenH - 8;
            dw = kW * dh / kH;
        }
        surface.resize(dw, dh);
        left = (kScreenW - dw) / 2;
        top = (kScreenH - dh) / 2;
    }
    Bitmap &workingImage() override { return working; }
    Bitmap &committedImage() override { return committed; }
    int pictureWidth() const override { return working.width(); }
    int pictureHeight() const override { return working.height(); }
    bool pendingCommit() const override { return pending; }
    void setPendingCommit(bool on) override { pending = on; }
    void settlePendingCommit() override
    {
        if (pending)
            CopyPixels(committed, working);
        pending = false;
    }
    bool imageModified() const override { return modified; }
    void setImageModified(bool on) override { modified = on; }
    bool showWorking() const override { return showWorkingFlag; }
    void setShowWorking(bool on) override { showWorkingFlag = on; }
    void RepaintPicture() override
    {
        ++repaints;
        StretchNearest(surface, showWorkingFlag ? working : committed);
        QPainter p(&screen);
        p.fillRect(screen.rect(), Qt::black);
        p.drawImage(left, top, surface.view());
    }
    void RevertWorking() override { CopyPixels(working, committed); }
    Selection selection() const override { return sel; }
    void setSelection(const Selection &s) override { sel = s; }
    QRect selectionInPicture() const override { return {}; }
    int surfaceWidth() const override { return surface.width(); }
    int surfaceHeight() const override { return surface.height(); }
    float displayScale() const override { return float(kW) / float(surface.width()); }
    bool testRectActive() const override { return false; }
    void DrawTestRect() override {}
    void setStatusText(const QString &) override {}
    bool isBorderless() const override { return true; }
    QWidget *hostWidget() override { return nullptr; }
};

// A photo-like picture: smooth gradients with grain, so the noise filter
// finds both noise and edges.
Bitmap photo()
{
    Bitmap b(kW, kH);
    uint32_t seed = 1;
    for (int y = 0; y < kH; ++y) {
        uint8_t *row = b.row(y);
        for (int x = 0; x < kW; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = int(seed >> 28) - 8;
            const int block = ((x / 400) + (y / 400)) % 2 ? 40 : 0;
            row[3 * x + 0] = uint8_t(std::clamp(x * 200 / kW + block + grain, 0, 255));
            row[3 * x + 1] = uint8_t(std::clamp(y * 200 / kH + grain, 0, 255));
            row[3 * x + 2] = uint8_t(std::clamp((x + y) * 100 / (kW + kH) + 80 - block + grain, 0, 255));
        }
    }
    return b;
}

struct Figures {
    double median = 0, best = 0, repaintsPerStep = 0;
};

BenchHost *theHost = nullptr;

// Times each step; also counts the viewer repaints per step, so a step that
// did not reach the dialog shows as 0 instead of a flattering time.
Figures measure(int repeats, const std::function<void(int)> &step)
{
    std::vector<double> ms;
    const int before = theHost ? theHost->repaints : 0;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        step(i);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    const double perStep = theHost ? double(theHost->repaints - before) / repeats : 0;
    return {ms[ms.size() / 2], ms.front(), perStep};
}

double anchorMs = 0;

void report(const char *what, double limit, const Figures &f)
{
    std::printf("%-44s median %7.1f ms  best %7.1f ms  (%5.1f x copy)  repaints/step %.1f  limit %4.0f ms  %s\n",
                what, f.median, f.best, f.median / anchorMs, f.repaintsPerStep, limit,
                f.median <= limit ? "ok" : "OVER");
}

void activate(QWidget &w)
{
    w.show();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w))
        std::printf("warning: %s did not become active\n", qPrintable(w.windowTitle()));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(3, std::atoi(argv[1])) : 15;
    std::printf("picture %d x %d, %d threads, %d repeats; the viewer repaint stretches to a fit surface in %dx%d\n",
                kW, kH, threadCount(), repeats, kScreenW, kScreenH);

    const Bitmap picture = photo();
    BenchHost host(picture);
    {
        Bitmap copy(kW, kH);
        anchorMs = measure(repeats, [&](int) { CopyPixels(copy, picture); }).median;
        std::printf("%-44s median %7.1f ms\n", "anchor: CopyPixels of the picture", anchorMs);
    }
    theHost = &host;

    {
        TFormBrightness form(host);
        activate(form);
        QSlider *rows[3] = {form.TrackBar1, form.TrackBar2, form.TrackBar3};
        const char *names[3] = {"brightness: arrow key on the track bar", "contrast: arrow key on the track bar",
                                "saturation: arrow key on the track bar"};
        for (int n = 0; n < 3; ++n) {
            rows[n]->setFocus();
            QApplication::processEvents();
            report(names[n], 50, measure(repeats, [&](int i) {
                       QTest::keyClick(rows[n], i % 2 ? Qt::Key_Left : Qt::Key_Right);
                   }));
        }
        form.Button1Click();
        form.hide();
    }
    {
        TFormLevels form(host);
        activate(form);
        TTrack3 *t = form.Track31;
        const QPoint white = t->hitRect(2).center();
        QTest::mousePress(t, Qt::LeftButton, {}, white);
        report("levels: mouse move dragging the white point", 50, measure(repeats, [&](int i) {
                   QTest::mouseMove(t, QPoint(white.x() - 20 - 5 * (i % 8), white.y()));
               }));
        QTest::mouseRelease(t, Qt::LeftButton, {}, white);
        form.Button3Click();
    }
    {
        TFormSharpen form(host);
        activate(form);
        TTrack1Up *t = form.Track1Up3; // Force
        report("sharpen: release of the Force slider", 100, measure(repeats, [&](int i) {
                   const QPoint handle = t->handleRect().center();
                   const int v = 1 + (i % 4);
                   const QPoint to(int(float(v - t->min()) * t->scale()) + t->trackLeft(), handle.y());
                   QTest::mousePress(t, Qt::LeftButton, {}, handle);
                   QTest::mouseRelease(t, Qt::LeftButton, {}, to);
               }));
        form.Button3Click();
    }
    {
        TFormColors form(host);
        form.setWindowState(Qt::WindowNoState);
        form.resize(1600, 1000);
        activate(form);
        VariationBox *boxes[6] = {form.PbR, form.PbY, form.PbG, form.PbC, form.PbB, form.PbM};
        report("colours: click on a variation", 60, measure(repeats, [&](int i) {
                   QTest::mouseClick(boxes[i % 6], Qt::LeftButton);
               }));
        form.Button3Click();
    }
    {
        TFormNoise form(host);
        activate(form);
        QElapsedTimer t;
        t.start();
        QTest::mouseClick(form.Button1, Qt::LeftButton); // computes the parameters
        std::printf("%-44s median %7.1f ms  (once per opening, not limited)\n",
                    "noise: first preview, with the parameters", double(t.nsecsElapsed()) / 1e6);
        host.sel = {};
        report("noise: preview of the whole picture", 400, measure(std::max(3, repeats / 3), [&](int i) {
                   form.TrackBar2->setValue(1 + i % 5);
                   QTest::mouseClick(form.Button1, Qt::LeftButton);
               }));
        form.Button3Click();
    }
    return 0;
}
