#include "operations/photo_operations.h"

#include "platform/jpeg.h"
#include "platform/ui.h"

#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace mv {

namespace {

QString countText(int m) { return QString::number(m); }

// Two Bases rows may name one file (a disc registered twice, a path typed
// two ways); moving an image "into" its own file must not delete it after.
bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

} // namespace

void StoreImage(const QString &file, qint64 id, const QByteArray &bytes)
{
    db::Connection c(db::connectionText(file));
    c.open();
    db::Query q(&c, db::CursorType::Dynamic);
    q.setSql(sql::photo(id));
    q.open();
    try {
        if (q.eof())
            q.append();
        else
            q.edit();
        q.setValue(QStringLiteral("Id"), id);
        q.setValue(QStringLiteral("Photo"), bytes);
        q.post();
    } catch (...) {
        q.cancel();
        throw;
    }
}

PhotoOperations::PhotoOperations(Catalog &catalog, OperationHooks hooks) : catalog_(catalog), hooks_(std::move(hooks)) {}

void PhotoOperations::status(const QString &text) const
{
    if (hooks_.status)
        hooks_.status(text);
}

void PhotoOperations::repaint() const
{
    if (hooks_.repaint)
        hooks_.repaint();
}

void PhotoOperations::selectList() const
{
    if (hooks_.selectList)
        hooks_.selectList();
}

std::vector<std::pair<int, qint64>> PhotoOperations::markedPhotos() const
{
    // A copy: Go! rebuilds the thumbnail list, and a hook may run it.
    std::vector<std::pair<int, qint64>> out;
    const auto &thumbs = catalog_.thumbs();
    for (std::size_t k = 0; k < thumbs.size(); ++k)
        if (thumbs[k].marked)
            out.emplace_back(int(k), thumbs[k].id);
    return out;
}

bool PhotoOperations::switchPhotoBase(qint64 base)
{
    if (base != catalog_.currentBaseId())
        catalog_.OpenPhotoBase(base);
    return catalog_.currentBaseId() == base && catalog_.ADOConnection2.isOpen();
}

QByteArray PhotoOperations::sourceImage(qint64 id)
{
    db::Query &photos = catalog_.QEPhotos;
    photos.close();
    photos.setSql(sql::photo(id));
    photos.open();
    if (photos.eof())
        throw db::Error(QStringLiteral("Photo ") + QString::number(id) + QStringLiteral(" has no image in ") +
                        catalog_.ADOConnection2.path() + QStringLiteral("."));
    return photos.bytes(QStringLiteral("Photo"));
}

// ---------------------------------------------------------------------------
// Delete

void PhotoOperations::AcDelePhotoExecute()
{
    const auto marked = markedPhotos();
    const int m = int(marked.size());
    if (m == 0)
        return;
    if (!ui::confirm(QStringLiteral("Delete ") + countText(m) + QStringLiteral(" photo(s)?")))
        return;
    for (const auto &[position, id] : marked) {
        status(QStringLiteral("Delete photo ") + QString::number(id));
        repaint();
        DeleteOnePhoto(id);
    }
    selectList();
    status(QStringLiteral("Ready"));
}

bool PhotoOperations::DeleteOnePhoto(qint64 id)
{
    db::Query store(&catalog_.ADOConnection1, db::CursorType::Static);
    store.setSql(sql::storeOf(id));
    store.open();
    // Without a Bases row the image lies in no file the program can reach;
    // only the catalogue entry is left to remove.
    if (!store.eof() && !store.boolValue(QStringLiteral("ReadOnly"))) {
        const qint64 base = store.intValue(QStringLiteral("Id"));
        // The PhotoBase connection may still be on another file; deleting by
        // id there would take a different photo's image.
        if (!switchPhotoBase(base))
            return false;
        db::Query &photos = catalog_.QEPhotos;
        photos.close();
        photos.setSql(sql::deletePhoto(id));
        catalog_.ADOConnection2.execute(photos.sql());
        photos.setSql(sql::kEmptyPhoto);
        photos.open();
    }
    db::Query &record = catalog_.QEListF;
    record.close();
    record.setSql(sql::deleteRecord(id));
    catalog_.ADOConnection1.execute(record.sql());
    record.setSql(sql::kEmptyRecordForInsert);
    record.open();
    return true;
}

// ---------------------------------------------------------------------------
// Copy

void PhotoOperations::copyMarked(const QString &destinationFile, qint64 destinationBase)
{
    const auto marked = markedPhotos();
    const int m = int(marked.size());
    if (!destinationFile.isEmpty() && ui::confirm(QStringLiteral("Processed ") + countText(m) + QStringLiteral(" photo(s)?"))) {
        qint64 next = catalog_.NextPhotoId();
        for (const auto &[position, id] : marked) {
            status(QStringLiteral("Copy photo ") + countText(m));
            if (CopyOnePhoto(id, next, destinationFile, destinationBase))
                ++next;
        }
        status(QString());
    }
    selectList();
}

bool PhotoOperations::CopyOnePhoto(qint64 id, qint64 newId, const QString &destinationFile, qint64 destinationBase)
{
    if (!catalog_.pointRecordAt(id))
        return false;
    db::Query &source = catalog_.QEListF;
    // A video is catalogued by its path and has no image to copy: its copy is
    // another entry for the same file, still a video.
    const bool video = source.boolValue(QStringLiteral("Video"));
    if (!video) {
        if (!switchPhotoBase(source.intValue(QStringLiteral("Base"))))
            return false;
        // The image goes in first: a failure then leaves at most an unlisted
        // image, which the next writer under this id overwrites, never an
        // entry without its image.
        StoreImage(destinationFile, newId, sourceImage(id));
    }
    db::Query c(&catalog_.ADOConnection1, db::CursorType::Dynamic);
    c.setSql(sql::kEmptyRecordForInsert);
    c.open();
    try {
        c.append();
        c.setValue(QStringLiteral("Id"), newId);
        for (const char *field : {"Date", "Albums", "Themes", "Text", "SmallPhoto", "Exif"}) {
            const QString name = QString::fromLatin1(field);
            c.setValue(name, source.value(name));
        }
        c.setValue(QStringLiteral("Base"), destinationBase);
        if (video)
            c.setValue(QStringLiteral("Video"), true);
        c.post();
    } catch (...) {
        c.cancel();
        throw;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Move

bool PhotoOperations::moveMarked(const MoveValues &v)
{
    const auto marked = markedPhotos();
    const int m = int(marked.size());
    if (!ui::confirm(QStringLiteral("Move (Change) ") + countText(m) + QStringLiteral(" photo(s)?")))
        return false;
    for (const auto &[position, id] : marked) {
        status(QStringLiteral("Change photo ") + countText(m));
        MoveOnePhoto(id, v.newBase, v.rank, v.theme, v.album, v.destinationFile);
    }
    selectList();
    status(QString());
    return true;
}

bool PhotoOperations::MoveOnePhoto(qint64 id, qint64 newBase, int rank, qint64 theme, qint64 album,
                                   const QString &destinationFile)
{
    if (!catalog_.pointRecordAt(id))
        return false;
    db::Query &record = catalog_.QEListF;
    auto setAttributes = [&] {
        if (album > 0)
            record.setValue(QStringLiteral("Albums"), album);
        if (theme > 0)
            record.setValue(QStringLiteral("Themes"), theme);
        if (rank >= 0)
            record.setValue(QStringLiteral("Rank"), rank);
    };
    auto post = [&] {
        try {
            record.post();
        } catch (...) {
            record.cancel();
            throw;
        }
    };
    const qint64 base = record.intValue(QStringLiteral("Base"));
    if (newBase <= 0 || base == newBase) {
        record.edit();
        setAttributes();
        post();
        return true;
    }

    // A video has no image: only its entry changes files.
    const bool video = record.boolValue(QStringLiteral("Video"));
    bool deleteSource = false;
    if (!video) {
        if (!switchPhotoBase(base))
            return false;
        const QByteArray bytes = sourceImage(id);
        deleteSource = !sameFile(catalog_.ADOConnection2.path(), destinationFile);
        // Destination first, then the entry, and only then the source row:
        // whatever fails on the way, the entry names a file holding the image.
        if (deleteSource)
            StoreImage(destinationFile, id, bytes);
    }
    record.edit();
    record.setValue(QStringLiteral("Base"), newBase);
    setAttributes();
    post();
    if (deleteSource) {
        catalog_.QEPhotos.edit();
        catalog_.QEPhotos.remove();
    }
    return true;
}

// ---------------------------------------------------------------------------
// Export

void PhotoOperations::ActExportPhotoExecute()
{
    ui::FileRequest request;
    request.mode = ui::FileRequest::Mode::Save;
    request.title = QStringLiteral("Choose a target folder and initial marks of a name of files");
    request.filter = QStringLiteral("Jpeg File|*.jpg");
    request.fileName = exportFileName_;
    // The name typed is a stem, never a file that gets written.
    request.confirmOverwrite = false;
    const QStringList chosen = ui::delegate().chooseFiles(request);
    if (!chosen.isEmpty()) {
        const QString stem = chosen.first();
        exportFileName_ = stem;
        const auto marked = markedPhotos();
        const int m = int(marked.size());
        if (ui::confirm(QStringLiteral("Export ") + countText(m) + QStringLiteral(" photo(s)?"))) {
            for (const auto &[position, id] : marked) {
                status(QStringLiteral("Export photo ") + countText(m));
                ExportOnePhoto(stem + QString::number(position) + QStringLiteral(".jpg"), id);
            }
        }
    }
    status(QStringLiteral("Ready"));
}

bool PhotoOperations::ExportOnePhoto(const QString &fileName, qint64 id)
{
    db::Query where(&catalog_.ADOConnection1, db::CursorType::Static);
    where.setSql(sql::fileOf(id));
    where.open();
    if (where.eof())
        return false;
    db::Connection base(db::connectionText(where.text(QStringLiteral("File"))));
    base.open();
    db::Query image(&base, db::CursorType::Static);
    image.setSql(sql::photo(id));
    image.open();
    if (image.eof())
        return false;
    const QByteArray bytes = image.bytes(QStringLiteral("Photo"));
    // Reading the header is what refuses a stored value that is no JPEG.
    jpeg::readSize(bytes);
    // Written aside and renamed over the old file, so a failed write leaves
    // the previous file of that name as it was.
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        throw std::runtime_error((QStringLiteral("Cannot write file \"") + fileName + QStringLiteral("\". ") + out.errorString()).toStdString());
    return true;
}

} // namespace mv
