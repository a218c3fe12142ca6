#pragma once
// Every statement text the program sends to the database engine. Ids follow
// a trailing "=" directly as decimal text.

#include <QString>
#include <QStringList>
#include <optional>

namespace mv::sql {

inline QString idText(qint64 id) { return QString::number(id); }

inline const QString kCatalogueSelect = QStringLiteral("select id, SmallPhoto, Base from ListPhoto");
inline const QString kOrderByDate = QStringLiteral("Order by date");
inline const QString kMaxId = QStringLiteral("select max(id) from ListPhoto");
inline const QString kAlbums = QStringLiteral("select Id,Name from Albums order by Id");
inline const QString kThemes = QStringLiteral("select Id,Name from Themes order by Id");
inline const QString kBases = QStringLiteral("select Id,Label,ReadOnly,File from Bases order by Id");
inline const QString kEmptyRecord = QStringLiteral("select * from ListPhoto Where id=0");
inline const QString kEmptyRecordForInsert = QStringLiteral("select * from ListPhoto where id=0");
inline const QString kEmptyPhoto = QStringLiteral("select * from Photos where id=0");
inline const QString kAllPhotoIds = QStringLiteral("select id from Photos");
inline const QString kWritableBases = QStringLiteral("select Id,File,Label From Bases where ReadOnly=false");
inline const QString kAllBases = QStringLiteral("select Id,File,Label From Bases ");
inline const QString kMoveAlbums = QStringLiteral("select * From Albums");
inline const QString kMoveThemes = QStringLiteral("select * from Themes");

inline QString record(qint64 id) { return QStringLiteral("select * from ListPhoto where id=") + idText(id); }
inline QString statusOf(qint64 id)
{
    return QStringLiteral("select b.Label,b.ReadOnly,l.Date,l.Text from ListPhoto l inner join Bases b on l.base = b.id where l.id=") + idText(id);
}
inline QString storeOf(qint64 id)
{
    return QStringLiteral("select b.Id,b.ReadOnly from ListPhoto l inner join Bases b on l.base = b.id where l.id=") + idText(id);
}
inline QString fileOf(qint64 id)
{
    return QStringLiteral("select b.File from ListPhoto l inner join Bases b on l.base = b.id where l.id=") + idText(id);
}
inline QString recordWithFile(qint64 id)
{
    return QStringLiteral("select l.*, b.File from ListPhoto  l inner join Bases b on l.base = b.id where l.id=") + idText(id);
}
inline QString deleteRecord(qint64 id) { return QStringLiteral("delete from ListPhoto where id =") + idText(id); }
inline QString photo(qint64 id) { return QStringLiteral("select * from Photos where id=") + idText(id); }
inline QString deletePhoto(qint64 id) { return QStringLiteral("delete from Photos where id =") + idText(id); }

// The rank filter's list items and the condition each one adds.
struct RankItem {
    const char *text;
    const char *condition;
};
inline constexpr RankItem kRankItems[] = {
    {"Fine ", "Rank>=2"},
    {"Fine and Good", "(Rank=2 OR Rank=1)"},
    {"Good ", "(Rank=1)"},
    {"Normal", "(Rank=0)"},
};
inline const QStringList kRankNames = {QStringLiteral("Normal"), QStringLiteral("Good"), QStringLiteral("Fine")};

// The filters of the catalogue query; an absent value adds no condition.
struct CatalogueFilter {
    std::optional<qint64> album;
    std::optional<qint64> theme;
    std::optional<qint64> base;
    std::optional<int> rankItem;   // index into kRankItems
    std::optional<QString> text;   // as typed
};

// The search text as it goes between the quotes of the Like pattern: trimmed
// of blanks and control characters, upper-cased as the engine's UCASE does,
// with single quotes doubled so they can neither break nor change the
// statement. "%" and "_" stay wildcards.
QString searchPattern(const QString &typed);

// The lines of the catalogue query for these filters.
QStringList catalogueQuery(const CatalogueFilter &filter);

} // namespace mv::sql
