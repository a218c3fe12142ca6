#include "platform/files.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace mv::files {

bool exists(const QString &path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

bool copyOver(const QString &from, const QString &to)
{
    if (!exists(from))
        return false;
    // Copy beside the target first so a failed copy never leaves half a file.
    const QString temp = to + QStringLiteral(".part");
    QFile::remove(temp);
    if (!QFile::copy(from, temp))
        return false;
    if (QFileInfo::exists(to)) {
        QFile::setPermissions(to, QFile::permissions(to) | QFile::WriteOwner);
        if (!QFile::remove(to)) {
            QFile::remove(temp);
            return false;
        }
    }
    if (!QFile::rename(temp, to)) {
        QFile::remove(temp);
        return false;
    }
    return true;
}

bool clearReadOnly(const QString &path)
{
    return QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner | QFile::ReadOwner);
}

QString programFolder()
{
    QString dir = QCoreApplication::applicationDirPath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString modificationTimeText(const QString &path)
{
    return QFileInfo(path).lastModified().toLocalTime().toString(QStringLiteral("yyyy:MM:dd HH:mm:ss"));
}

} // namespace mv::files
