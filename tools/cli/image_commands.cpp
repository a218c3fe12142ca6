// apply: one picture correction on an image file, computed from the picture
// as the viewer's dialogs compute it from the committed image.
#include "tools/cli/cli.h"

#include "imaging/imaging.h"
#include "imaging/slider_handles.h"
#include "platform/jpeg.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <cmath>

namespace mv::cli {

namespace {

using namespace mv::imaging;

Bitmap load(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("%1: %2").arg(path, f.errorString()));
    const QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xFF\xD8")) {
        try {
            return jpeg::decode(bytes);
        } catch (const jpeg::Error &e) {
            throw Failure(QStringLiteral("%1: %2").arg(path, QString::fromUtf8(e.what())));
        }
    }
    QImage img;
    if (!img.loadFromData(bytes) || img.isNull())
        throw Failure(QStringLiteral("%1: not a JPEG, PNG or BMP picture").arg(path));
    return Bitmap::fromImage(img);
}

void save(const Bitmap &b, const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext != QLatin1String("png") && ext != QLatin1String("bmp"))
        throw usage(QStringLiteral("%1: OUT must end in .png or .bmp").arg(path));
    if (b.isEmpty())
        throw Failure(QStringLiteral("the result is an empty picture"));
    if (!b.view().save(path, ext == QLatin1String("png") ? "PNG" : "BMP"))
        throw Failure(QStringLiteral("%1: cannot be written").arg(path));
}

// Each correction first reads its arguments (so a bad number fails before any
// file is read), then gives the computation to run on the picture.
using Correction = std::function<Bitmap(const Bitmap &)>;
struct Op {
    const char *name;
    int argc;
    std::function<Correction(const QStringList &)> prepare;
};

// The levels dialog's Auto Level: the input slider's SetMin(low) then
// SetMax(high), outputs at their defaults.
LevelsParams autoLevelParams(const Bitmap &picture)
{
    const AutoLevels a = FindAutoLevels(picture, 0.1f);
    SliderHandles in;
    in.setMin(a.low);
    in.setMax(a.high);
    LevelsParams p;
    p.inBlack = in.min;
    p.inMid = in.ave;
    p.inWhite = in.max;
    return p;
}

const std::vector<Op> &ops()
{
    // dst starts as a copy of src, as the working image equals the committed one.
    auto tone = [](void (*f)(Bitmap &, const Bitmap &, int), const char *what) {
        return [f, what](const QStringList &a) -> Correction {
            const int v = toIntIn(a[0], what, -100, 100);
            return [f, v](const Bitmap &src) {
                Bitmap dst = src;
                f(dst, src, v);
                return dst;
            };
        };
    };
    static const std::vector<Op> all = {
        {"brightness", 1, tone(AdjustBrightness, "B")},
        {"contrast", 1, tone(AdjustContrast, "C")},
        {"saturation", 1, tone(AdjustSaturation, "S")},
        {"levels", 7, [](const QStringList &a) -> Correction {
             LevelsParams p;
             p.inBlack = toIntIn(a[0], "IB", 0, 255);
             p.inMid = toIntIn(a[1], "IM", 0, 255);
             p.inWhite = toIntIn(a[2], "IW", 0, 255);
             p.outBlack = toIntIn(a[3], "OB", 0, 255);
             p.outMid = toIntIn(a[4], "OM", 0, 255);
             p.outWhite = toIntIn(a[5], "OW", 0, 255);
             if (p.inBlack > p.inMid || p.inMid > p.inWhite || p.outBlack > p.outMid || p.outMid > p.outWhite)
                 throw usage(QStringLiteral("levels need IB <= IM <= IW and OB <= OM <= OW"));
             const int channel = toIntIn(a[6], "CHANNEL", 0, 3);
             return [p, channel](const Bitmap &src) {
                 Bitmap dst = src;
                 ApplyLevels(dst, src, p, channel);
                 return dst;
             };
         }},
        {"autolevel", 0, [](const QStringList &) -> Correction {
             return [](const Bitmap &src) {
                 Bitmap dst = src;
                 ApplyLevels(dst, src, autoLevelParams(src), 0);
                 return dst;
             };
         }},
        {"shift", 2, [](const QStringList &a) -> Correction {
             const int direction = toIntIn(a[0], "DIRECTION", 0, 5);
             const int s = toInt(a[1], "S");
             return [direction, s](const Bitmap &src) {
                 Bitmap dst = src;
                 ShiftColour(dst, direction, s);
                 return dst;
             };
         }},
        {"sharpen", 3, [](const QStringList &a) -> Correction {
             SharpenParams p;
             p.sharpen = true;
             p.force = toIntIn(a[0], "FORCE", 1, 4);
             p.threshold = toIntIn(a[1], "THRESHOLD", 0, 10);
             p.mask = toIntIn(a[2], "MASK", 1, 8);
             return [p](const Bitmap &src) {
                 Bitmap dst = src;
                 SharpenBlur(dst, src, p);
                 return dst;
             };
         }},
        {"blur", 1, [](const QStringList &a) -> Correction {
             SharpenParams p;
             p.sharpen = false;
             p.mask = toIntIn(a[0], "MASK", 1, 8);
             return [p](const Bitmap &src) {
                 Bitmap dst = src;
                 SharpenBlur(dst, src, p);
                 return dst;
             };
         }},
        {"redeye", 4, [](const QStringList &a) -> Correction {
             const int x1 = toInt(a[0], "X1"), y1 = toInt(a[1], "Y1"), x2 = toInt(a[2], "X2"), y2 = toInt(a[3], "Y2");
             return [=](const Bitmap &src) {
                 Bitmap dst = src;
                 ReduceRedEye(dst, src, x1, y1, x2, y2);
                 return dst;
             };
         }},
        {"rotate90", 0, [](const QStringList &) -> Correction {
             return [](const Bitmap &src) {
                 Bitmap dst = src;
                 RotateQuarter(dst, true);
                 return dst;
             };
         }},
        {"rotate-90", 0, [](const QStringList &) -> Correction {
             return [](const Bitmap &src) {
                 Bitmap dst = src;
                 RotateQuarter(dst, false);
                 return dst;
             };
         }},
        {"rotate-angle", 1, [](const QStringList &a) -> Correction {
             const double radians = toDouble(a[0], "RADIANS");
             if (!std::isfinite(radians))
                 throw usage(QStringLiteral("RADIANS must be finite"));
             return [radians](const Bitmap &src) {
                 Bitmap dst(src.width(), src.height());
                 // The viewer hands the angle over in single precision.
                 RotateByAngle(dst, src, double(float(radians)));
                 return dst;
             };
         }},
        {"crop", 4, [](const QStringList &a) -> Correction {
             const int x = toInt(a[0], "X"), y = toInt(a[1], "Y"), w = toInt(a[2], "W"), h = toInt(a[3], "H");
             return [=](const Bitmap &src) {
                 if (x < 0 || y < 0 || w <= 0 || h <= 0 || qint64(x) + w > src.width() || qint64(y) + h > src.height())
                     throw usage(QStringLiteral("the crop %1,%2 %3x%4 does not lie inside the %5x%6 picture")
                                     .arg(x).arg(y).arg(w).arg(h).arg(src.width()).arg(src.height()));
                 Bitmap dst(w, h);
                 CopyRegion(src, dst, x, y, w, h);
                 return dst;
             };
         }},
    };
    return all;
}

int runApply(Context &, QStringList args)
{
    if (args.isEmpty())
        throw usage(QStringLiteral("expected OP ARGS... IN OUT"));
    const QString name = args.takeFirst();
    if (name == QLatin1String("noise")) {
        // FORCE LEVEL [X1 Y1 X2 Y2] IN OUT
        if (args.size() != 4 && args.size() != 8)
            throw usage(QStringLiteral("noise takes FORCE LEVEL [X1 Y1 X2 Y2] IN OUT"));
        const int force = toIntIn(args[0], "FORCE", 1, 5);
        const int level = toIntIn(args[1], "LEVEL", 0, 10);
        const Bitmap src = load(args[args.size() - 2]);
        int x1 = 0, y1 = 0, x2 = src.width() - 1, y2 = src.height() - 1;
        if (args.size() == 8) {
            x1 = toInt(args[2], "X1");
            y1 = toInt(args[3], "Y1");
            x2 = toInt(args[4], "X2");
            y2 = toInt(args[5], "Y2");
        }
        EdgeMap map;
        EdgeHistogram histogram;
        NoiseThresholds thresholds{};
        CalculateNoiseParameters(src, map, histogram, thresholds);
        Bitmap dst = src;
        ReduceNoise(dst, src, map, force, thresholds[std::size_t(level)], x1, y1, x2, y2);
        save(dst, args.last());
        return 0;
    }
    for (const Op &op : ops()) {
        if (name != QLatin1String(op.name))
            continue;
        if (args.size() != op.argc + 2)
            throw usage(QStringLiteral("%1 takes %2 argument(s) before IN OUT").arg(name).arg(op.argc));
        const Correction correction = op.prepare(args.mid(0, op.argc));
        save(correction(load(args[args.size() - 2])), args.last());
        return 0;
    }
    throw usage(QStringLiteral("unknown correction '%1'").arg(name));
}

} // namespace

std::vector<Command> imageCommands()
{
    return {
        {"apply", "OP ARGS... IN OUT",
         "One correction on a picture file, as the viewer's dialogs compute it. IN is JPEG, PNG or BMP; OUT is\n"
         "PNG or 24-bit BMP by its extension. OP and ARGS:\n"
         "  brightness B | contrast C | saturation S          (-100..100)\n"
         "  levels IB IM IW OB OM OW CHANNEL                 (0..255; CHANNEL 0 L, 1 R, 2 G, 3 B)\n"
         "  autolevel                                        (Auto Level, outputs at their defaults, channel L)\n"
         "  shift DIRECTION S                                (DIRECTION 0..5)\n"
         "  sharpen FORCE THRESHOLD MASK | blur MASK         (FORCE 1..4, THRESHOLD 0..10, MASK 1..8)\n"
         "  redeye X1 Y1 X2 Y2                               (picture pixels)\n"
         "  noise FORCE LEVEL [X1 Y1 X2 Y2]                  (FORCE 1..5, LEVEL 0..10; whole picture by default)\n"
         "  rotate90 | rotate-90 | rotate-angle RADIANS | crop X Y W H",
         runApply},
    };
}

} // namespace mv::cli
