#pragma once
// The EXIF reader of the import: the camera's date text and a one-line
// summary of the exposure ("|1/125 sec|F5.6|Normal|ISO 100|(eg35) 50"),
// read from a JPEG file's undecoded bytes. It looks at two directories and
// eight tags only, and never fails: whatever it cannot find it leaves out.

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace mv {

// `dateText` is replaced by each DateTime tag met (left alone if there is
// none); items are appended to `summary`. Both are single-byte texts.
void ReadExif(const QByteArray &bytes, QString &dateText, QString &summary);
void ReadExif(const uint8_t *data, std::size_t size, QString &dateText, QString &summary);

} // namespace mv
