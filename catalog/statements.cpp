#include "catalog/statements.h"

namespace mv::sql {

QString searchPattern(const QString &typed)
{
    qsizetype from = 0;
    qsizetype to = typed.size();
    while (from < to && typed.at(from).unicode() <= 32)
        ++from;
    while (to > from && typed.at(to - 1).unicode() <= 32)
        --to;
    QString t = typed.mid(from, to - from).toUpper();
    t.remove(QChar(0)); // a NUL would end the statement text
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return t;
}

QStringList catalogueQuery(const CatalogueFilter &filter)
{
    QStringList lines{kCatalogueSelect};
    bool first = true;
    auto add = [&](const QString &condition) {
        lines << (first ? QStringLiteral("Where ") : QStringLiteral("and ")) + condition;
        first = false;
    };
    if (filter.album)
        add(QStringLiteral("Albums =") + idText(*filter.album));
    if (filter.theme)
        add(QStringLiteral("Themes =") + idText(*filter.theme));
    if (filter.base)
        add(QStringLiteral("Base =") + idText(*filter.base));
    if (filter.rankItem && *filter.rankItem >= 0 && *filter.rankItem < int(std::size(kRankItems)))
        add(QLatin1String(kRankItems[*filter.rankItem].condition));
    if (filter.text) {
        const QString t = searchPattern(*filter.text);
        if (!t.isEmpty())
            add(QStringLiteral("UCASE(Text) Like '%") + t + QStringLiteral("%'"));
    }
    lines << kOrderByDate;
    return lines;
}

} // namespace mv::sql
