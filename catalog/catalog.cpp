#include "catalog/catalog.h"

#include "platform/files.h"
#include "platform/ui.h"


namespace mv {

Catalog::Catalog(const QString &programFolder, QObject *parent) : QObject(parent), folder_(programFolder)
{
    if (!folder_.endsWith(QLatin1Char('/')))
        folder_ += QLatin1Char('/');
    QVListF.setSql(sql::kCatalogueSelect);
    QVListA.setSql(sql::kAlbums);
    QVListT.setSql(sql::kThemes);
    QVListB.setSql(sql::kBases);
    QEListF.setSql(sql::kEmptyRecord);
}

Catalog::~Catalog() = default;

qint64 Catalog::currentId(const db::Query &list)
{
    if (!list.isOpen() || list.eof())
        return 0;
    return list.intValue(QStringLiteral("Id"));
}

void Catalog::openAtStartup()
{
    ADOConnection1.close();
    QString path = photoListPath();
    if (!files::exists(path)) {
        const QString flTemplate = folder_ + QStringLiteral("FL.mdd");
        if (files::copyOver(flTemplate, path)) {
            files::clearReadOnly(path);
        } else if (files::exists(flTemplate)) {
            // The template is there, so it is the folder that refuses the copy.
            throw db::Error(QStringLiteral("The catalogue cannot be created: the program folder %1 is not writable.").arg(folder_));
        } else {
            path.clear();
        }
    }
    ADOConnection1.setConnectionText(db::connectionText(path));
    ADOConnection1.open();

    QVListB.open();
    QVListB.first();
    if (QVListB.isEmpty()) {
        const QString first = folder_ + QStringLiteral("PhotoBase1.mdb");
        // An existing PhotoBase1.mdb holds photos: register it rather than
        // copying the empty template over it.
        bool ok = files::exists(first) || files::copyOver(folder_ + QStringLiteral("FB.mdd"), first);
        if (ok) {
            files::clearReadOnly(first);
            appendBase(first, QStringLiteral("PhotoBase1"), false);
            QVListB.first();
        }
    }
    if (!QVListB.eof()) {
        const QString file = QVListB.text(QStringLiteral("File"));
        if (files::exists(file))
            openPhotoBaseFile(QVListB.intValue(QStringLiteral("Id")), file);
        else
            currentBaseId_ = 0;
    }
    QVListA.open();
    QVListT.open();
    QEListF.setSql(sql::kEmptyRecord);
    QEListF.open();
    emit listsChanged();
}

void Catalog::appendBase(const QString &file, const QString &label, bool readOnly)
{
    db::Query q(&ADOConnection1, db::CursorType::Dynamic);
    q.setSql(QStringLiteral("select * from Bases where Id=0"));
    q.open();
    q.append();
    q.setValue(QStringLiteral("File"), file);
    q.setValue(QStringLiteral("Label"), label);
    q.setValue(QStringLiteral("ReadOnly"), readOnly);
    q.post();
    const qint64 id = q.intValue(QStringLiteral("Id"));
    QVListB.open();
    QVListB.locate(QStringLiteral("Id"), id);
    emit listsChanged();
}

void Catalog::reopenList(db::Query &list)
{
    const qint64 id = currentId(list);
    list.open();
    if (id == 0 || !list.locate(QStringLiteral("Id"), id))
        list.first();
    emit listsChanged();
}

void Catalog::openPhotoBaseFile(qint64 id, const QString &file)
{
    currentBaseId_ = id;
    QEPhotos.close();
    ADOConnection2.close();
    ADOConnection2.setConnectionText(db::connectionText(file));
    ADOConnection2.open();
}

void Catalog::OpenPhotoBase(qint64 id)
{
    if (!QVListB.isOpen() || !QVListB.locate(QStringLiteral("Id"), id)) {
        ui::information(QStringLiteral("Error. Id media = ") + QString::number(id) + QStringLiteral(" not exists."));
        return;
    }
    emit currentRowsChanged();
    const QString file = QVListB.text(QStringLiteral("File"));
    const QString label = QVListB.text(QStringLiteral("Label"));
    while (!files::exists(file)) {
        if (!ui::confirmError(QStringLiteral("Insert Disc Label as ") + label + QStringLiteral("  (File ") + file + QStringLiteral(")")))
            return;
    }
    openPhotoBaseFile(id, file);
}

qint64 Catalog::NextPhotoId()
{
    db::Query q(&ADOConnection1, db::CursorType::Static);
    q.setSql(sql::kMaxId);
    q.open();
    if (q.eof())
        return 1;
    return q.value(0).toLongLong() + 1;
}

QString Catalog::labelFor(const QString &fileName)
{
    return fileName.size() <= 15 ? fileName : fileName.right(15);
}

bool Catalog::createPhotoBaseFile(const QString &fileName)
{
    if (!files::copyOver(folder_ + QStringLiteral("FB.mdd"), fileName))
        return false;
    files::clearReadOnly(fileName);
    appendBase(fileName, labelFor(fileName), false);
    return true;
}

void Catalog::runCatalogueQuery(const sql::CatalogueFilter &filter)
{
    QVListF.close();
    thumbs_.clear();
    QVListF.setSql(sql::catalogueQuery(filter).join(QLatin1Char('\n')));
    QVListF.open();
    const int n = QVListF.recordCount();
    const int idCol = QVListF.fieldIndex(QStringLiteral("id"));
    thumbs_.resize(std::size_t(n));
    for (int r = 0; r < n; ++r)
        thumbs_[std::size_t(r)].id = qint32(QVListF.intAt(r, idCol));
}

void Catalog::reopenCatalogueQuery()
{
    if (!QVListF.sql().isEmpty() && ADOConnection1.isOpen())
        QVListF.open();
}

bool Catalog::pointRecordAt(qint64 id)
{
    QEListF.setSql(sql::record(id));
    QEListF.open();
    if (QEListF.eof())
        return false;
    if (QVListA.isOpen())
        QVListA.locate(QStringLiteral("Id"), QEListF.value(QStringLiteral("Albums")));
    if (QVListT.isOpen())
        QVListT.locate(QStringLiteral("Id"), QEListF.value(QStringLiteral("Themes")));
    if (QVListB.isOpen())
        QVListB.locate(QStringLiteral("Id"), QEListF.value(QStringLiteral("Base")));
    emit currentRowsChanged();
    return true;
}

int Catalog::markedCount() const
{
    int n = 0;
    for (const auto &t : thumbs_)
        n += t.marked ? 1 : 0;
    return n;
}

} // namespace mv
