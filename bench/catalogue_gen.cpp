#include "bench/catalogue_gen.h"

#include "platform/bitmap.h"
#include "platform/jpeg.h"

#include <QDir>
#include <QFile>
#include <cmath>
#include <cstdio>
#include <random>
#include <sqlite3.h>
#include <vector>

namespace mv::bench {

namespace {

// A landscape-like little picture: sky, sea, a sun, with per-seed colours.
QByteArray makeThumbnail(std::mt19937 &gen, bool portrait)
{
    const int w = portrait ? 75 : 100, h = portrait ? 100 : 75;
    Bitmap b(w, h);
    std::uniform_int_distribution<int> d(0, 255);
    const int sky[3] = {d(gen) / 2 + 128, d(gen) / 2 + 64, d(gen) / 4};
    const int ground[3] = {d(gen) / 3, d(gen) / 2 + 64, d(gen) / 3};
    const int horizon = h / 3 + d(gen) % (h / 3);
    const int sx = d(gen) % w, sy = d(gen) % std::max(1, horizon), sr = 5 + d(gen) % 10;
    for (int y = 0; y < h; ++y) {
        uint8_t *p = b.row(y);
        for (int x = 0; x < w; ++x, p += 3) {
            const int *c = y < horizon ? sky : ground;
            const int shade = y < horizon ? y * 60 / h : (y - horizon) * 40 / h;
            for (int k = 0; k < 3; ++k)
                p[k] = uint8_t(std::clamp(c[k] + shade + ((x * 7 + y * 3) % 11), 0, 255));
            if ((x - sx) * (x - sx) + (y - sy) * (y - sy) < sr * sr) {
                p[0] = 60;
                p[1] = 220;
                p[2] = 255;
            }
        }
    }
    return jpeg::encode(b, 90);
}

bool exec(sqlite3 *db, const char *sql)
{
    char *err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, err ? err : "?");
        sqlite3_free(err);
        return false;
    }
    return true;
}

} // namespace

bool generateCatalogue(const QString &folder, const QString &templateFolder, int photos, unsigned seed)
{
    QDir().mkpath(folder);
    const QString f = folder.endsWith('/') ? folder : folder + '/';
    for (const char *t : {"FL.mdd", "FB.mdd"}) {
        QFile::remove(f + t);
        if (!QFile::copy(templateFolder + '/' + t, f + t)) {
            std::fprintf(stderr, "cannot copy %s\n", t);
            return false;
        }
        QFile::setPermissions(f + t, QFile::permissions(f + t) | QFile::WriteOwner);
    }
    const QString list = f + "PhotoList.mdb";
    const QString base = f + "PhotoBase1.mdb";
    QFile::remove(list);
    QFile::remove(base);
    QFile::copy(f + "FL.mdd", list);
    QFile::copy(f + "FB.mdd", base);
    QFile::setPermissions(list, QFile::permissions(list) | QFile::WriteOwner);
    QFile::setPermissions(base, QFile::permissions(base) | QFile::WriteOwner);

    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(list).constData(), &db) != SQLITE_OK)
        return false;
    std::mt19937 gen(seed);
    std::vector<QByteArray> thumbs;
    for (int i = 0; i < 48; ++i)
        thumbs.push_back(makeThumbnail(gen, i % 6 == 5));
    bool ok = exec(db, "BEGIN");
    const QByteArray baseRow = "insert into Bases (Label, ReadOnly, File) values ('PhotoBase1', 0, '" +
                               QString(base).replace('\'', "''").toUtf8() + "')";
    ok = ok && exec(db, baseRow.constData());
    const char *albums[] = {"Travel", "Family", "Garden", "Friends", "Work", "Holidays 2004"};
    const char *themes[] = {"Sea", "Mountains", "People", "Animals", "City"};
    for (const char *a : albums)
        ok = ok && exec(db, QByteArray("insert into Albums (Name) values ('") .append(a).append("')").constData());
    for (const char *t : themes)
        ok = ok && exec(db, QByteArray("insert into Themes (Name) values ('").append(t).append("')").constData());
    sqlite3_stmt *st = nullptr;
    ok = ok && sqlite3_prepare_v2(db,
                                  "insert into ListPhoto (id, Base, Date, Albums, Themes, Rank, Text, Exif, Video, SmallPhoto) "
                                  "values (?, 1, ?, ?, ?, ?, ?, '|1/125 sec|F5.6|Normal|ISO 100', 0, ?)",
                                  -1, &st, nullptr) == SQLITE_OK;
    const char *words[] = {"blue sea", "old town", "birthday", "sunset", "", "", "the garden", "on the road"};
    for (int i = 1; ok && i <= photos; ++i) {
        char date[32];
        const int day = int(gen() % 3650);
        std::snprintf(date, sizeof date, "%04d:%02d:%02d %02d:%02d:%02d", 2000 + day / 365, 1 + (day / 30) % 12,
                      1 + day % 28, int(gen() % 24), int(gen() % 60), int(gen() % 60));
        sqlite3_bind_int(st, 1, i);
        sqlite3_bind_text(st, 2, date, -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 3, 1 + int(gen() % 6));
        sqlite3_bind_int(st, 4, 1 + int(gen() % 5));
        sqlite3_bind_int(st, 5, int(gen() % 3));
        sqlite3_bind_text(st, 6, words[gen() % 8], -1, SQLITE_STATIC);
        const QByteArray &t = thumbs[std::size_t(i) % thumbs.size()];
        sqlite3_bind_blob(st, 7, t.constData(), int(t.size()), SQLITE_STATIC);
        ok = sqlite3_step(st) == SQLITE_DONE;
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    ok = ok && exec(db, "COMMIT");
    sqlite3_close(db);
    return ok;
}

} // namespace mv::bench
