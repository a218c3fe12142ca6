// The import from files into an empty catalogue, timed per photo beside one
// full-size decode of the same photos measured in the same run; and a long
// import of small photos, whose last thousand must not be slower than its
// first thousand.
//
//   bench_import [photos=200] [long=10000]
#include "catalog/catalog.h"
#include "import/import_pipeline.h"
#include "platform/files.h"
#include "platform/jpeg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

// Smooth shading, fine texture and sensor-like noise, so the entropy decoder
// has a camera's share of work; seeds give different pictures.
mv::Bitmap cameraLike(int width, int height, unsigned seed)
{
    mv::Bitmap b(width, height);
    std::mt19937 random(seed);
    const float p1 = 30.0f + float(seed % 17), p2 = 4.0f + float(seed % 5) * 0.7f;
    std::vector<float> wave(std::size_t(width + height) * 2);
    for (std::size_t i = 0; i < wave.size(); ++i)
        wave[i] = std::sin(float(i) / p1) * 50.0f + std::sin(float(i) / p2) * 12.0f;
    for (int y = 0; y < height; ++y) {
        uint8_t *p = b.row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const float base = 120.0f + wave[std::size_t(x)] + wave[std::size_t(y) * 2];
            for (int c = 0; c < 3; ++c) {
                const float v = base * (0.8f + 0.15f * float(c)) + float(int(random() % 23) - 11);
                p[c] = uint8_t(std::clamp(v, 0.0f, 255.0f));
            }
        }
    }
    return b;
}

QByteArray le16(int v) { return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char((v >> 8) & 0xFF)); }
QByteArray le32(quint32 v) { return le16(int(v & 0xFFFF)) + le16(int(v >> 16)); }

// An EXIF block with the camera's date, as cameras put it behind SOI.
QByteArray withExif(const QByteArray &jpegBytes, int n)
{
    const QByteArray date = QStringLiteral("2023:05:%1 10:%2:00").arg(1 + n % 28, 2, 10, QLatin1Char('0')).arg(n % 60, 2, 10, QLatin1Char('0')).toLatin1() + '\0';
    QByteArray tiff = QByteArray("II*\0", 4) + le32(8) + le16(1) + le16(0x0132) + le16(2) + le32(20) + le32(26) + le32(0) + date;
    QByteArray app1 = QByteArray("Exif\0\0", 6) + tiff;
    const int len = int(app1.size()) + 2;
    QByteArray seg;
    seg.append(char(0xFF)).append(char(0xE1)).append(char((len >> 8) & 0xFF)).append(char(len & 0xFF));
    return jpegBytes.left(2) + seg + app1 + jpegBytes.mid(2);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

struct Catalogue {
    QTemporaryDir dir;
    std::unique_ptr<mv::Catalog> catalog;
    Catalogue()
    {
        const QString dist = QStringLiteral(MARVISTO_DIST_DIR "/");
        for (const char *t : {"FL.mdd", "FB.mdd"})
            QFile::copy(dist + QLatin1String(t), dir.path() + QLatin1Char('/') + QLatin1String(t));
        catalog = std::make_unique<mv::Catalog>(dir.path());
        catalog->openAtStartup();
    }
};

double importMs(const QStringList &files, int prefetch, std::vector<double> *fileStarts = nullptr)
{
    Catalogue c;
    mv::ImportCallbacks cb;
    Clock::time_point start;
    if (fileStarts)
        cb.progress = [&](int, int, int, int) { fileStarts->push_back(msSince(start)); };
    mv::ImportPipeline p(*c.catalog, cb);
    p.setPrefetch(prefetch);
    start = Clock::now();
    if (p.run(files, mv::ImportSource::Files, false) != mv::ImportEnd::Completed) {
        std::fprintf(stderr, "import did not complete\n");
        std::exit(1);
    }
    const double ms = msSince(start);
    if (c.catalog->NextPhotoId() != files.size() + 1) {
        std::fprintf(stderr, "ids are not sequential\n");
        std::exit(1);
    }
    return ms;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int photos = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int longRun = argc > 2 ? std::max(2000, std::atoi(argv[2])) : 10000;
    QTemporaryDir sources;

    // 12-megapixel photos: a few distinct pictures, written as `photos` files.
    const int distinct = std::min(photos, 8);
    std::vector<QByteArray> pictures;
    for (int i = 0; i < distinct; ++i)
        pictures.push_back(withExif(mv::jpeg::encode(cameraLike(4000, 3000, unsigned(i + 1)), 90), i));
    QStringList files;
    double bytes = 0;
    for (int i = 0; i < photos; ++i) {
        const QString path = sources.path() + QStringLiteral("/IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0'));
        writeFile(path, pictures[std::size_t(i % distinct)]);
        bytes += double(pictures[std::size_t(i % distinct)].size());
        files << path;
    }

    // The anchor: full decodes of the same pictures, before and after the imports.
    std::vector<double> decodes;
    auto decodeRound = [&] {
        for (const QByteArray &b : pictures) {
            const auto start = Clock::now();
            const mv::Bitmap bmp = mv::jpeg::decode(b);
            decodes.push_back(msSince(start));
            if (bmp.width() != 4000)
                std::exit(1);
        }
    };
    decodeRound();
    const double serial = importMs(files, 0) / photos;
    decodeRound();
    const double parallel = importMs(files, 1) / photos;
    decodeRound();
    const double decode = median(decodes);
    std::printf("%d photos of 12 MP, %.2f MB each: full decode %.1f ms | import per photo %.1f ms (ratio %.2f, goal <= 0.6);"
                " on one thread %.1f ms (ratio %.2f)\n",
                photos, bytes / photos / 1e6, decode, parallel, parallel / decode, serial, serial / decode);

    // The long run: small photos, one after another into one catalogue.
    QTemporaryDir small;
    QStringList many;
    std::vector<QByteArray> smallPictures;
    for (int i = 0; i < 16; ++i)
        smallPictures.push_back(withExif(mv::jpeg::encode(cameraLike(320, 240, unsigned(100 + i)), 90), i));
    for (int i = 0; i < longRun; ++i) {
        const QString path = small.path() + QStringLiteral("/s%1.jpg").arg(i, 5, 10, QLatin1Char('0'));
        writeFile(path, smallPictures[std::size_t(i % 16)]);
        many << path;
    }
    std::vector<double> starts;
    const double total = importMs(many, 1, &starts);
    const double first = starts[1000] - starts[0];
    const double last = total - starts[std::size_t(longRun - 1000)];
    std::printf("%d imports in a row: first 1000 %.0f ms, last 1000 %.0f ms (ratio %.2f, goal <= 1.2), %.2f ms per photo\n",
                longRun, first, last, last / first, total / longRun);
    return 0;
}
