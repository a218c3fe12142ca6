#include "tests/support/test_support.h"

#include "platform/database.h"

#include <QDir>
#include <QFile>
#include <random>

namespace mv::test {

void isolateUserConfig()
{
    static QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    static QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
}

ProgramFolder::ProgramFolder() : dir_(std::make_unique<QTemporaryDir>())
{
    const QString dist = QStringLiteral(MARVISTO_SOURCE_DIR "/dist/Marvisto/");
    for (const char *name : {"FL.mdd", "FB.mdd"}) {
        const QString from = dist + QLatin1String(name);
        if (QFile::exists(from))
            QFile::copy(from, path() + QLatin1String(name));
    }
}

QString ProgramFolder::path() const { return dir_->path() + QLatin1Char('/'); }

QString corpusDir() { return QStringLiteral(MARVISTO_CORPUS_DIR "/exif/"); }

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

std::map<qint64, QByteArray> storedPhotos(const QString &photoBaseFile)
{
    db::Connection c(db::connectionText(photoBaseFile));
    c.open();
    db::Query q(&c, db::CursorType::Static);
    q.setSql(QStringLiteral("select Id, Photo from Photos"));
    q.open();
    std::map<qint64, QByteArray> out;
    for (q.first(); !q.eof(); q.next())
        out[q.intValue("Id")] = q.bytes("Photo");
    return out;
}

Bitmap randomBitmap(int width, int height, unsigned seed)
{
    Bitmap b(width, height);
    std::mt19937 gen(seed);
    for (int y = 0; y < height; ++y) {
        uint8_t *p = b.row(y);
        for (int x = 0; x < width * 3; ++x)
            p[x] = uint8_t(gen() >> 24);
    }
    return b;
}

} // namespace mv::test
