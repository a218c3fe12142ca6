// exif and thumbnail: what import reads from and makes of a JPEG file.
#include "tools/cli/cli.h"

#include "import/exif.h"
#include "import/thumbnail.h"

#include <QFile>

namespace mv::cli {

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Failure(QStringLiteral("%1: %2").arg(path, f.errorString()));
    return f.readAll();
}

int runExif(Context &, QStringList args)
{
    rejectOptions(args);
    if (args.isEmpty())
        throw usage(QStringLiteral("expected FILE..."));
    int rc = 0;
    for (const QString &path : args) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            err(QStringLiteral("marvisto-cli: %1: %2").arg(path, f.errorString()));
            rc = 1;
            continue;
        }
        QString date, summary;
        ReadExif(f.readAll(), date, summary);
        out(QStringLiteral("%1\t%2\t%3").arg(path, date, summary));
    }
    return rc;
}

int runThumbnail(Context &, QStringList args)
{
    rejectOptions(args);
    expectCount(args, 2, "IN.jpg OUT.jpg");
    const QByteArray thumb = MakeThumbnailFromJpeg(readAll(args[0]));
    QFile o(args[1]);
    if (!o.open(QIODevice::WriteOnly | QIODevice::Truncate) || o.write(thumb) != thumb.size())
        throw Failure(QStringLiteral("%1: %2").arg(args[1], o.errorString()));
    return 0;
}

} // namespace

std::vector<Command> fileCommands()
{
    return {
        {"exif", "FILE...",
         "One line per file: the file name as given, the date text and the EXIF summary that import stores,\n"
         "tab-separated.",
         runExif},
        {"thumbnail", "IN.jpg OUT.jpg",
         "Writes the catalogue thumbnail of a JPEG photo: longer side 100 pixels, picked pixels, JPEG quality 90.",
         runThumbnail},
    };
}

} // namespace mv::cli
