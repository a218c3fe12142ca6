#pragma once
// The import without widgets: photos and videos from files, or every photo of
// another PhotoBase file, into the current PhotoBase file and the photo list.
// The dialog and the batch tool both drive it, so both write the same records
// under the same ids and show the same messages (through the UI seam).

#include "catalog/catalog.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace mv {

// What the import tells whoever shows it; any of them may be left empty.
struct ImportCallbacks {
    // The first panel of the main window's status bar (set and repainted).
    std::function<void(const QString &text)> status;
    // Before each file: file (1-based) of files. For a PhotoBase source also
    // before each of its photos: photo (1-based) of photos; 0 of 0 otherwise.
    std::function<void(int file, int files, int photo, int photos)> progress;
    // Repaints the main window before the records are written.
    std::function<void()> repaint;
    // A catalogue entry is complete (index record and, for a photo, its
    // image): its id and the file it came from.
    std::function<void(qint64 id, const QString &file)> recorded;
};

enum class ImportSource { Files, PhotoBase };

// How an import run ended short of its end (Completed: it ran to its end).
enum class ImportEnd { Completed, ReadOnly, NotOpened, Cyclic };

// One prepared file: everything that does not touch the database, so it can
// be made on another thread while the previous file's records are written.
struct PreparedFile {
    QString path;
    bool video = false;
    QByteArray bytes;     // the photo's file, unchanged
    QString date;         // date text
    QString exif;         // EXIF summary, or the video's full path
    QByteArray thumbnail; // JPEG
};

// Reads and analyses one chosen file as ImportPhotoFile would; throws what
// reading or decoding throws.
PreparedFile PrepareImportFile(const QString &path);
// A name ending in ".jpg" in any case is a photo; everything else a video.
bool IsPhotoFileName(const QString &path);
// "Import .." + the name, or its last 21 characters when longer than 20.
QString ImportStatusText(const QString &fileName);
// The question asked before an import into the PhotoBase file `targetFile`.
QString ImportConfirmationText(ImportSource source, int fileCount, const QString &targetFile);

class ImportPipeline {
public:
    ImportPipeline(Catalog &catalog, ImportCallbacks callbacks = {});

    // From the read-only refusal to "Ready": switches to the chosen PhotoBase
    // file (the current row of QVListB) and imports the files in order. A
    // refusal shows its message and returns how it ended. A failure while
    // importing from files is thrown (the files before it stay imported);
    // a failing source PhotoBase file is skipped silently.
    ImportEnd run(const QStringList &files, ImportSource source, bool indexOnly);

    // The two importers; they write into the insertion cursors as run() has
    // set them up, with the album, theme and PhotoBase ids of the current rows.
    void ImportPhotoFile(const QString &path);
    void ImportPhotoBaseFile(const QString &path);

    // Worker threads preparing the next files while the records of the
    // current one are written (0 prepares on the calling thread).
    void setPrefetch(int files) { prefetch_ = files; }
    void setIndexOnly(bool on) { indexOnly_ = on; }

private:
    struct Target {
        qint64 album = 0, theme = 0, base = 0;
    };
    void beginRecords();
    void storePrepared(const PreparedFile &file);
    void storePhoto(qint64 id, const QByteArray &bytes);
    qint64 storeIndex(qint64 id, const QString &date, const QString &exif, const QByteArray &thumbnail,
                      const bool *video);
    void takeBackIndex();
    void importFiles(const QStringList &files);
    void status(const QString &text) const;
    void progress(int file, int files, int photo, int photos) const;
    void recorded(qint64 id, const QString &file) const;

    Catalog &catalog_;
    ImportCallbacks callbacks_;
    Target target_;
    bool indexOnly_ = false;
    int prefetch_ = 1;
    int fileNumber_ = 0, fileCount_ = 0;
};

} // namespace mv
