#pragma once
// The catalogue as the program shares it: the photo list and the current
// PhotoBase file with their standing cursors, the current PhotoBase id, the
// thumbnail list of the last catalogue query, and the routines every window
// uses on them (OpenPhotoBase, NextPhotoId, the catalogue query). The main
// window owns one Catalog and hands it to each dialog; nothing here touches
// widgets, questions go through the UI seam (platform/ui.h).

#include "catalog/statements.h"
#include "platform/database.h"

#include <QObject>
#include <vector>

namespace mv {

struct ThumbEntry {
    qint32 id = 0;
    bool marked = false;
};

class Catalog : public QObject {
    Q_OBJECT
public:
    explicit Catalog(const QString &programFolder, QObject *parent = nullptr);
    ~Catalog() override;

    QString programFolder() const { return folder_; }
    QString photoListPath() const { return folder_ + QStringLiteral("PhotoList.mdb"); }

    // Start-up: creates the photo list and the first PhotoBase file from the
    // templates when missing, opens both connections and the standing cursors.
    // Engine errors are thrown (db::Error).
    void openAtStartup();

    // Switches the PhotoBase connection to the file registered under id, asking
    // for its disc while it is missing. Afterwards either currentBaseId() == id
    // or nothing has changed.
    void OpenPhotoBase(qint64 id);
    // Highest ListPhoto.id plus 1; 1 for an empty list.
    qint64 NextPhotoId();
    // Creates a PhotoBase file from the template at fileName and registers it
    // with the label rule; false when the template copy fails.
    bool createPhotoBaseFile(const QString &fileName);
    static QString labelFor(const QString &fileName);

    // The catalogue query: replaces QVListF and the thumbnail list together.
    // On an engine error the query stays closed and the list empty.
    void runCatalogueQuery(const sql::CatalogueFilter &filter);
    // Re-opens QVListF with its statement; the thumbnail list and marks stay.
    void reopenCatalogueQuery();

    // Points the record cursor QEListF at a photo and makes its album, theme
    // and PhotoBase file the current rows of the list cursors.
    bool pointRecordAt(qint64 id);

    qint64 currentBaseId() const { return currentBaseId_; }
    // The Id of the current row of a list cursor; 0 for an empty list.
    static qint64 currentId(const db::Query &list);

    // The list cursors were re-read (or edited): pickers refresh.
    void notifyListsChanged() { emit listsChanged(); }
    // A list cursor's current row was moved by someone other than its picker.
    void notifyCurrentRowsChanged() { emit currentRowsChanged(); }

    std::vector<ThumbEntry> &thumbs() { return thumbs_; }
    const std::vector<ThumbEntry> &thumbs() const { return thumbs_; }
    int markedCount() const;

    db::Connection ADOConnection1; // the photo list
    db::Connection ADOConnection2; // the current PhotoBase file
    db::Query QVListF{&ADOConnection1, db::CursorType::Static};
    db::Query QVListA{&ADOConnection1, db::CursorType::Static};
    db::Query QVListT{&ADOConnection1, db::CursorType::Static};
    db::Query QVListB{&ADOConnection1, db::CursorType::Static};
    db::Query QEListF{&ADOConnection1, db::CursorType::Dynamic};
    db::Query QEPhotos{&ADOConnection2, db::CursorType::Dynamic};

    // Re-reads one list cursor keeping its current row by Id where possible.
    void reopenList(db::Query &list);
    // QVListB as an updatable cursor for appends (the register is small).
    void appendBase(const QString &file, const QString &label, bool readOnly);

signals:
    void listsChanged();
    void currentRowsChanged();

private:
    void openPhotoBaseFile(qint64 id, const QString &file);

    QString folder_;
    qint64 currentBaseId_ = 0;
    std::vector<ThumbEntry> thumbs_;
};

} // namespace mv
