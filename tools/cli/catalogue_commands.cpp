// init, list and check: the catalogue itself.
#include "tools/cli/cli.h"

#include "catalog/catalog.h"
#include "platform/files.h"

#include <QHash>
#include <QSet>

namespace mv::cli {

namespace {

int runInit(Context &c, QStringList args)
{
    rejectOptions(args);
    expectCount(args, 0, "no arguments");
    Catalog &cat = c.catalog();
    out(QStringLiteral("%1\t%2").arg(cat.photoListPath(), cat.QVListB.isEmpty() ? QString() : cat.QVListB.text(QStringLiteral("File"))));
    return 0;
}

int runList(Context &c, QStringList args)
{
    sql::CatalogueFilter f;
    if (auto v = takeOption(args, QStringLiteral("--album")))
        f.album = toInt(*v, "--album");
    if (auto v = takeOption(args, QStringLiteral("--theme")))
        f.theme = toInt(*v, "--theme");
    if (auto v = takeOption(args, QStringLiteral("--base")))
        f.base = toInt(*v, "--base");
    if (auto v = takeOption(args, QStringLiteral("--rank")))
        f.rankItem = toIntIn(*v, "--rank", 0, 3);
    if (auto v = takeOption(args, QStringLiteral("--text")))
        f.text = *v;
    rejectOptions(args);
    expectCount(args, 0, "only options");
    Catalog &cat = c.catalog();
    cat.runCatalogueQuery(f);

    // The grid's query carries only ids; the other columns come in one pass.
    db::Query rows(&cat.ADOConnection1, db::CursorType::Static);
    rows.setSql(QStringLiteral("select id, Date, Albums, Themes, Base, Rank, Video, Text from ListPhoto"));
    rows.open();
    QHash<qint64, int> at;
    for (int r = 0; r < rows.recordCount(); ++r)
        at.insert(rows.intAt(r, 0), r);
    for (const ThumbEntry &t : cat.thumbs()) {
        const int r = at.value(t.id, -1);
        if (r < 0)
            continue;
        QStringList cols;
        for (int i = 0; i < 8; ++i) {
            QVariant v = rows.valueAt(r, i);
            if (i == 6)
                v = v.toLongLong() != 0 ? 1 : 0;
            cols << v.toString().replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        }
        out(cols.join(QLatin1Char('\t')));
    }
    return 0;
}

QString integrity(db::Connection &connection)
{
    db::Query q(&connection);
    q.setSql(QStringLiteral("pragma integrity_check"));
    q.open();
    QStringList problems;
    for (q.first(); !q.eof(); q.next())
        if (q.value(0).toString() != QLatin1String("ok"))
            problems << q.value(0).toString();
    return problems.join(QLatin1String("; "));
}

int runCheck(Context &c, QStringList args)
{
    rejectOptions(args);
    expectCount(args, 0, "no arguments");
    Catalog &cat = c.catalog();
    int problems = 0;
    auto problem = [&](const QString &text) {
        out(text);
        ++problems;
    };
    if (const QString p = integrity(cat.ADOConnection1); !p.isEmpty())
        problem(QStringLiteral("%1: damaged: %2").arg(cat.photoListPath(), p));

    // Every present PhotoBase file: its integrity and the ids it stores.
    QHash<qint64, QSet<qint64>> stored;
    QSet<qint64> offline;
    QHash<qint64, QString> fileOf;
    db::Query bases(&cat.ADOConnection1);
    bases.setSql(sql::kBases);
    bases.open();
    for (bases.first(); !bases.eof(); bases.next()) {
        const qint64 id = bases.intValue(QStringLiteral("Id"));
        const QString file = bases.text(QStringLiteral("File"));
        fileOf.insert(id, file);
        if (!files::exists(file)) {
            offline.insert(id);
            out(QStringLiteral("offline: PhotoBase %1 (%2): %3 is not present")
                    .arg(id)
                    .arg(bases.text(QStringLiteral("Label")), file));
            continue;
        }
        try {
            db::Connection pb(db::connectionText(file));
            pb.open();
            if (const QString p = integrity(pb); !p.isEmpty())
                problem(QStringLiteral("%1: damaged: %2").arg(file, p));
            db::Query ids(&pb);
            ids.setSql(sql::kAllPhotoIds);
            ids.open();
            QSet<qint64> &set = stored[id];
            for (int r = 0; r < ids.recordCount(); ++r)
                set.insert(ids.intAt(r, 0));
        } catch (const db::Error &e) {
            problem(QStringLiteral("%1: cannot be read: %2").arg(file, e.message()));
            offline.insert(id);
        }
    }

    db::Query entries(&cat.ADOConnection1);
    entries.setSql(QStringLiteral("select id, Base, Video, Exif from ListPhoto order by id"));
    entries.open();
    for (int r = 0; r < entries.recordCount(); ++r) {
        const qint64 id = entries.intAt(r, 0);
        const qint64 base = entries.intAt(r, 1);
        const bool video = entries.intAt(r, 2) != 0;
        if (video) {
            const QString path = entries.valueAt(r, 3).toString();
            if (!files::exists(path))
                problem(QStringLiteral("photo %1: video file %2 not found").arg(id).arg(path));
            continue;
        }
        if (!fileOf.contains(base)) {
            problem(QStringLiteral("photo %1: PhotoBase %2 is not registered").arg(id).arg(base));
            continue;
        }
        if (offline.contains(base))
            continue;
        if (!stored.value(base).contains(id))
            problem(QStringLiteral("photo %1: no image in %2").arg(id).arg(fileOf.value(base)));
    }
    return problems == 0 ? 0 : 1;
}

} // namespace

std::vector<Command> catalogueCommands()
{
    return {
        {"init", "",
         "Creates the photo list and the first PhotoBase file in the program folder as the program's first start\n"
         "does (nothing is created when they exist). Prints the photo list and the first PhotoBase file.",
         runInit},
        {"list", "[--album ID] [--theme ID] [--base ID] [--rank 0..3] [--text T]",
         "The catalogue query of Go!: one line per entry in grid order, tab-separated:\n"
         "id, date, album, theme, base, rank, video (0 or 1), text.\n"
         "--rank is the main window's rank list: 0 Fine, 1 Fine and Good, 2 Good, 3 Normal.",
         runList},
        {"check", "",
         "Verifies the catalogue: database integrity of the photo list and of every present PhotoBase file,\n"
         "an image for every photo in the file its Base names, every Base registered, video files present.\n"
         "Files that are not present are reported as offline. One line per problem; exit 1 if any.",
         runCheck},
    };
}

} // namespace mv::cli
