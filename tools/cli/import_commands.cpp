// import: photos and videos from files, or the photos of a PhotoBase file,
// exactly as the import dialog brings them in.
#include "tools/cli/cli.h"

#include "catalog/catalog.h"
#include "import/import_pipeline.h"
#include "platform/files.h"

#include <QFileInfo>

namespace mv::cli {

namespace {

// Makes the row with this Id the current row of a list, as picking it in the
// dialog would; without an option the list's first row (lowest id) is used.
void pick(db::Query &list, const std::optional<QString> &option, const char *what)
{
    if (!option) {
        list.first();
        return;
    }
    const int id = toInt(*option, what);
    if (!list.locate(QStringLiteral("Id"), id))
        throw Failure(QStringLiteral("there is no %1 with id %2").arg(QLatin1String(what + 2)).arg(id));
}

int runImport(Context &c, QStringList args)
{
    const std::optional<QString> base = takeOption(args, QStringLiteral("--base"));
    const std::optional<QString> album = takeOption(args, QStringLiteral("--album"));
    const std::optional<QString> theme = takeOption(args, QStringLiteral("--theme"));
    const std::optional<QString> fromBase = takeOption(args, QStringLiteral("--from-base"));
    const bool indexOnly = takeFlag(args, QStringLiteral("--index-only"));
    rejectOptions(args);
    QStringList chosen;
    if (fromBase) {
        expectCount(args, 0, "no FILE with --from-base");
        chosen << *fromBase;
    } else {
        if (indexOnly)
            throw usage(QStringLiteral("--index-only goes with --from-base"));
        if (args.isEmpty())
            throw usage(QStringLiteral("expected FILE..."));
        chosen = args;
    }
    // The open-file dialog accepts existing files only.
    for (QString &f : chosen) {
        if (!files::exists(f))
            throw Failure(QStringLiteral("%1: no such file").arg(f));
        f = QFileInfo(f).absoluteFilePath();
    }

    Catalog &cat = c.catalog();
    pick(cat.QVListB, base, "--base");
    pick(cat.QVListA, album, "--album");
    pick(cat.QVListT, theme, "--theme");

    ImportCallbacks callbacks;
    callbacks.progress = [](int file, int files, int photo, int photos) {
        if (photos > 0)
            err(QStringLiteral("import: file %1 of %2, photo %3 of %4").arg(file).arg(files).arg(photo).arg(photos));
        else
            err(QStringLiteral("import: file %1 of %2").arg(file).arg(files));
    };
    callbacks.recorded = [](qint64 id, const QString &file) { out(QStringLiteral("%1\t%2").arg(id).arg(file)); };
    ImportPipeline pipeline(cat, callbacks);
    const ImportEnd end = pipeline.run(chosen, fromBase ? ImportSource::PhotoBase : ImportSource::Files, indexOnly);
    return end == ImportEnd::Completed ? 0 : 1;
}

} // namespace

std::vector<Command> importCommands()
{
    return {
        {"import", "[--base ID] [--album ID] [--theme ID] FILE...\n       marvisto-cli import --from-base FILE.mdb [--index-only] [--base ID] [--album ID] [--theme ID]",
         "As the import dialog: JPEG photos (*.jpg in any case) and videos (anything else) from files, or every\n"
         "photo of another PhotoBase file. --base, --album and --theme pick the target PhotoBase file, album and\n"
         "theme by id; without them the lowest-id row of each list is used. One line per record on stdout:\n"
         "id, tab, file. Progress on stderr.",
         runImport},
    };
}

} // namespace mv::cli
