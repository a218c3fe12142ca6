#pragma once
// Helpers shared by the test binaries.

#include "platform/bitmap.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <map>
#include <memory>

namespace mv::test {

// Points XDG_CONFIG_HOME (and the runtime folder) at a fresh temporary folder
// so no test reads or writes the user's own settings.
void isolateUserConfig();

// A temporary program folder holding fresh copies of the templates FL.mdd and
// FB.mdd from the build (and nothing else); removed with the object.
class ProgramFolder {
public:
    ProgramFolder();
    // With a trailing separator, as the program keeps it.
    QString path() const;
    QString file(const QString &name) const { return path() + name; }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

QString corpusDir(); // the real camera files, ../shared/corpus/exif/
QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &bytes);

// id -> stored bytes of a PhotoBase file's Photos table.
std::map<qint64, QByteArray> storedPhotos(const QString &photoBaseFile);

// A Bitmap of the given size with pseudo-random pixels, the same for the same seed.
Bitmap randomBitmap(int width, int height, unsigned seed);

} // namespace mv::test
