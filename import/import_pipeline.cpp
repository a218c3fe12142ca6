#include "import/import_pipeline.h"

#include "import/exif.h"
#include "import/thumbnail.h"
#include "platform/files.h"
#include "platform/pictures.h"
#include "platform/ui.h"

#include <QFile>
#include <QFileInfo>
#include <deque>
#include <future>
#include <stdexcept>

namespace mv {

namespace {

// The video picture is sized by the 72 x 48 control that shows it.
const QSize kVideoControl(72, 48);

class ImportError : public std::runtime_error {
public:
    explicit ImportError(const QString &message) : std::runtime_error(message.toUtf8().toStdString()) {}
};

QByteArray readWholeFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw ImportError(QStringLiteral("Cannot open file \"%1\". %2").arg(QFileInfo(path).absoluteFilePath(), f.errorString()));
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw ImportError(QStringLiteral("Cannot read file \"%1\". %2").arg(QFileInfo(path).absoluteFilePath(), f.errorString()));
    return bytes;
}

const QByteArray &videoThumbnail()
{
    static const QByteArray thumb = MakeThumbnail(pictures::videoFrame(), kVideoControl);
    return thumb;
}

} // namespace

bool IsPhotoFileName(const QString &path) { return path.right(4).toUpper() == QLatin1String(".JPG"); }

QString ImportStatusText(const QString &fileName)
{
    return QStringLiteral("Import ..") + (fileName.size() > 20 ? fileName.right(21) : fileName);
}

QString ImportConfirmationText(ImportSource source, int fileCount, const QString &targetFile)
{
    if (source == ImportSource::Files)
        return QStringLiteral("Import ") + QString::number(fileCount) + QStringLiteral(" File (s) in ") + targetFile + QStringLiteral(" ?");
    return QStringLiteral("Import File (s) From ") + targetFile + QStringLiteral(" ?");
}

PreparedFile PrepareImportFile(const QString &path)
{
    PreparedFile p;
    p.path = path;
    p.video = !IsPhotoFileName(path);
    if (p.video) {
        p.date = files::modificationTimeText(path);
        p.exif = QFileInfo(path).absoluteFilePath();
        p.thumbnail = videoThumbnail();
        return p;
    }
    p.bytes = readWholeFile(path);
    ReadExif(p.bytes, p.date, p.exif);
    // The row-skipping decode gives the same thumbnail as a full decode.
    p.thumbnail = MakeThumbnailFromJpeg(p.bytes);
    return p;
}

ImportPipeline::ImportPipeline(Catalog &catalog, ImportCallbacks callbacks)
    : catalog_(catalog), callbacks_(std::move(callbacks))
{
}

void ImportPipeline::status(const QString &text) const
{
    if (callbacks_.status)
        callbacks_.status(text);
}

void ImportPipeline::recorded(qint64 id, const QString &file) const
{
    if (callbacks_.recorded)
        callbacks_.recorded(id, file);
}

void ImportPipeline::progress(int file, int files, int photo, int photos) const
{
    if (callbacks_.progress)
        callbacks_.progress(file, files, photo, photos);
}

ImportEnd ImportPipeline::run(const QStringList &chosen, ImportSource source, bool indexOnly)
{
    indexOnly_ = indexOnly;
    db::Query &bases = catalog_.QVListB;
    const qint64 baseId = Catalog::currentId(bases);
    const QString baseFile = bases.isOpen() && !bases.eof() ? bases.text(QStringLiteral("File")) : QString();
    const bool readOnly = bases.isOpen() && !bases.eof() && bases.boolValue(QStringLiteral("ReadOnly"));
    if (baseId != catalog_.currentBaseId()) {
        if (readOnly) {
            ui::error(QStringLiteral("PhotoBase File is Read Only."));
            return ImportEnd::ReadOnly;
        }
        catalog_.OpenPhotoBase(baseId);
        // Declining the disc prompt leaves the previous file open: nothing
        // meant for the chosen file may go into that one.
        if (catalog_.currentBaseId() != baseId) {
            ui::error(QStringLiteral("PhotoBase File ") + baseFile + QStringLiteral(" is not open. Nothing is imported."));
            return ImportEnd::NotOpened;
        }
    }
    target_.base = baseId;
    target_.album = Catalog::currentId(catalog_.QVListA);
    target_.theme = Catalog::currentId(catalog_.QVListT);
    if (callbacks_.repaint)
        callbacks_.repaint();
    beginRecords();

    fileCount_ = int(chosen.size());
    if (source == ImportSource::Files) {
        importFiles(chosen);
    } else {
        for (int i = 0; i < chosen.size(); ++i) {
            const QString &file = chosen[i];
            if (!indexOnly_ && file == baseFile) {
                ui::error(QStringLiteral("The cyclic reference is not solved."));
                return ImportEnd::Cyclic;
            }
            fileNumber_ = i + 1;
            status(ImportStatusText(file));
            progress(fileNumber_, fileCount_, 0, 0);
            try {
                ImportPhotoBaseFile(file);
            } catch (...) {
                // A source that fails is left for the next one, without a word.
            }
        }
    }
    status(QStringLiteral("Ready"));
    return ImportEnd::Completed;
}

void ImportPipeline::beginRecords()
{
    catalog_.QEPhotos.setSql(sql::kEmptyPhoto);
    catalog_.QEPhotos.open();
    catalog_.QEListF.setSql(sql::kEmptyRecordForInsert);
    catalog_.QEListF.open();
}

void ImportPipeline::importFiles(const QStringList &chosen)
{
    // Decoding dominates, so the next files are prepared on other threads
    // while this one writes the records strictly in the chosen order.
    std::deque<std::future<PreparedFile>> ahead;
    int queued = 0;
    auto refill = [&] {
        while (queued < chosen.size() && int(ahead.size()) <= prefetch_) {
            const QString path = chosen[queued++];
            ahead.push_back(std::async(prefetch_ > 0 ? std::launch::async : std::launch::deferred,
                                       [path] { return PrepareImportFile(path); }));
        }
    };
    for (int i = 0; i < chosen.size(); ++i) {
        refill();
        fileNumber_ = i + 1;
        status(ImportStatusText(chosen[i]));
        progress(fileNumber_, fileCount_, 0, 0);
        std::future<PreparedFile> next = std::move(ahead.front());
        ahead.pop_front();
        const PreparedFile file = next.get();
        refill();
        storePrepared(file);
    }
}

void ImportPipeline::ImportPhotoFile(const QString &path) { storePrepared(PrepareImportFile(path)); }

void ImportPipeline::storePrepared(const PreparedFile &file)
{
    if (file.video) {
        const bool video = true;
        recorded(storeIndex(catalog_.NextPhotoId(), file.date, file.exif, file.thumbnail, &video), file.path);
        return;
    }
    const bool video = false;
    const qint64 id = storeIndex(catalog_.NextPhotoId(), file.date, file.exif, file.thumbnail, &video);
    storePhoto(id, file.bytes);
    recorded(id, file.path);
}

qint64 ImportPipeline::storeIndex(qint64 id, const QString &date, const QString &exif, const QByteArray &thumbnail,
                                  const bool *video)
{
    db::Query &q = catalog_.QEListF;
    try {
        q.append();
        q.setValue(QStringLiteral("id"), id);
        q.setValue(QStringLiteral("Date"), date);
        q.setValue(QStringLiteral("Albums"), target_.album);
        q.setValue(QStringLiteral("Themes"), target_.theme);
        q.setValue(QStringLiteral("Base"), target_.base);
        q.setValue(QStringLiteral("Exif"), exif);
        q.setValue(QStringLiteral("Rank"), 0);
        if (video)
            q.setValue(QStringLiteral("Video"), *video);
        q.setValue(QStringLiteral("SmallPhoto"), thumbnail);
        q.post();
    } catch (...) {
        q.cancel();
        throw;
    }
    return id;
}

void ImportPipeline::storePhoto(qint64 id, const QByteArray &bytes)
{
    db::Query &photos = catalog_.QEPhotos;
    try {
        // An image can outlive its catalogue entry (deleted while its file was
        // read-only); the new photo takes that row over.
        db::Query existing(&catalog_.ADOConnection2, db::CursorType::Dynamic);
        existing.setSql(sql::photo(id));
        existing.open();
        if (!existing.eof()) {
            existing.edit();
            existing.setValue(QStringLiteral("Photo"), bytes);
            existing.post();
            return;
        }
        photos.append();
        photos.setValue(QStringLiteral("Photo"), bytes);
        photos.setValue(QStringLiteral("Id"), id);
        photos.post();
    } catch (...) {
        photos.cancel();
        // No catalogue entry may be left without its image.
        takeBackIndex();
        throw;
    }
}

void ImportPipeline::takeBackIndex()
{
    try {
        catalog_.QEListF.remove();
    } catch (...) {
        // The original failure is the one worth reporting.
    }
}

void ImportPipeline::ImportPhotoBaseFile(const QString &path)
{
    db::Connection source(db::connectionText(path));
    source.open();
    std::vector<qint64> ids;
    {
        db::Query all(&source, db::CursorType::Static);
        all.setSql(sql::kAllPhotoIds);
        all.open();
        const int col = all.fieldIndex(QStringLiteral("id"));
        for (int r = 0; r < all.recordCount(); ++r)
            ids.push_back(all.intAt(r, col));
    }
    const int count = int(ids.size());
    for (int k = 0; k < count; ++k) {
        const qint64 sourceId = ids[std::size_t(k)];
        QByteArray bytes;
        {
            db::Query one(&source, db::CursorType::Static);
            one.setSql(sql::photo(sourceId));
            one.open();
            if (one.eof())
                continue;
            status(QStringLiteral("Import ..") + QString::number(sourceId));
            progress(fileNumber_, fileCount_, k + 1, count);
            bytes = one.bytes(QStringLiteral("Photo"));
        }
        QString date, exif;
        ReadExif(bytes, date, exif);
        const QByteArray thumbnail = MakeThumbnailFromJpeg(bytes);
        if (indexOnly_) {
            db::Query indexed(&catalog_.ADOConnection1, db::CursorType::Static);
            indexed.setSql(sql::record(sourceId));
            indexed.open();
            if (!indexed.eof())
                continue;
            recorded(storeIndex(sourceId, date, exif, thumbnail, nullptr), path);
        } else {
            const qint64 id = storeIndex(catalog_.NextPhotoId(), date, exif, thumbnail, nullptr);
            storePhoto(id, bytes);
            recorded(id, path);
        }
    }
}

} // namespace mv
