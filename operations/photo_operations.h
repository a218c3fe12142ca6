#pragma once
// The batch commands on the marked photos without widgets: delete, copy,
// move and export over the Catalog. Every one counts the marked entries of
// the thumbnail list, asks its question through the UI seam, walks the list
// in order writing a progress text before each photo, and (except export)
// ends with Go!. The dialogs of copy and move hand their choices in here, so
// the batch tool can run the same commands with the same records and texts.

#include "catalog/catalog.h"

#include <QString>
#include <functional>
#include <utility>
#include <vector>

namespace mv {

// What the commands need of the main window, which they must not know; any
// of them may be left empty.
struct OperationHooks {
    // The first panel of the status bar, set and repainted at once.
    std::function<void(const QString &text)> status;
    // Repaints the main window at once (delete does before each photo).
    std::function<void()> repaint;
    // Go!: the catalogue query is run again, which clears the marks.
    std::function<void()> selectList;
};

// What the move dialog hands over; -1 leaves the item as it is.
struct MoveValues {
    qint64 newBase = -1;
    QString destinationFile; // the File of newBase
    qint64 album = -1;
    qint64 theme = -1;
    int rank = -1;
};

class PhotoOperations {
public:
    explicit PhotoOperations(Catalog &catalog, OperationHooks hooks = {});

    // Delete: question, every marked photo, Go!, "Ready".
    void AcDelePhotoExecute();
    // Removes the catalogue entry and, unless its file is read-only, the image.
    // False when the photo was left alone because its file could not be opened.
    bool DeleteOnePhoto(qint64 id);

    // Copy after the destination chooser closed: an empty file (the chooser
    // was cancelled or listed nothing) copies nothing. Go! runs in every case.
    void copyMarked(const QString &destinationFile, qint64 destinationBase);
    // False when nothing was copied (no record, or its file could not be
    // opened); the new id is then not used.
    bool CopyOnePhoto(qint64 id, qint64 newId, const QString &destinationFile, qint64 destinationBase);

    // Move after the move dialog ended with OK and at least one box ticked:
    // question, every marked photo, Go!. False when the question was declined.
    bool moveMarked(const MoveValues &values);
    // False when the photo was left alone (no record, or its file could not
    // be opened).
    bool MoveOnePhoto(qint64 id, qint64 newBase, int rank, qint64 theme, qint64 album, const QString &destinationFile);

    // Export: the save dialog, question, one file per marked photo, "Ready".
    void ActExportPhotoExecute();
    // Writes the stored image unchanged; false when the photo has no image
    // to write (no Bases row, or no Photos row as for a video).
    bool ExportOnePhoto(const QString &fileName, qint64 id);
    // The name the export dialog starts with: "PICT", then the last choice.
    QString exportFileName() const { return exportFileName_; }

    // The marked entries of the thumbnail list: (position, id), in order.
    std::vector<std::pair<int, qint64>> markedPhotos() const;

private:
    void status(const QString &text) const;
    void repaint() const;
    void selectList() const;
    // Makes the PhotoBase connection the file of `base`; false when it
    // stayed on another file (unknown id, disc prompt cancelled).
    bool switchPhotoBase(qint64 base);
    // Points QEPhotos at the image of `id` in the current PhotoBase file and
    // returns its bytes; throws when the file holds no image under that id.
    QByteArray sourceImage(qint64 id);

    Catalog &catalog_;
    OperationHooks hooks_;
    QString exportFileName_ = QStringLiteral("PICT");
};

// Stores an image under an id in a PhotoBase file, overwriting the row that
// already carries that id instead of adding a second one.
void StoreImage(const QString &file, qint64 id, const QByteArray &bytes);

} // namespace mv
