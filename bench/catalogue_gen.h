#pragma once
// Writes a program folder with a catalogue of N photos: real 100-pixel JPEG
// thumbnails (a few dozen distinct pictures, reused), dates, albums, themes,
// ranks and captions. Used by the benchmarks and for looking at the program.

#include <QString>

namespace mv::bench {

// Copies the templates from templateFolder into folder and fills PhotoList.mdb.
// Returns false with a message on stderr when something fails.
bool generateCatalogue(const QString &folder, const QString &templateFolder, int photos, unsigned seed = 1);

} // namespace mv::bench
