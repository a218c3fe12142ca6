#pragma once
// The program's one stored setting lives in a per-user store (QSettings in the
// user's configuration folder) under the key path software/Marvisto.

#include <QString>
#include <optional>

namespace mv::settings {

// The integer value under software/Marvisto, if the store holds one.
std::optional<int> readInt(const QString &name);
// Writes it, creating the key; false when the store cannot be written.
bool writeInt(const QString &name, int value);

} // namespace mv::settings
