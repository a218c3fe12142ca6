#pragma once
// File-system services the catalogue relies on.

#include <QString>

namespace mv::files {

bool exists(const QString &path);
// Copies from over to, replacing a file already there.
bool copyOver(const QString &from, const QString &to);
// Makes a file writable for its owner (copies of read-only templates).
bool clearReadOnly(const QString &path);
// The executable's folder with a trailing separator.
QString programFolder();
// A file's last modification time in local time as "yyyy:mm:dd hh:nn:ss".
QString modificationTimeText(const QString &path);

} // namespace mv::files
