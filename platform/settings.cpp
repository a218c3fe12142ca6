#include "platform/settings.h"

#include <QSettings>

namespace mv::settings {


std::optional<int> readInt(const QString &name)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("software"), QStringLiteral("Marvisto"));
    const QVariant v = s.value(name);
    bool ok = false;
    const int i = v.toInt(&ok);
    if (!v.isValid() || !ok)
        return std::nullopt;
    return i;
}

bool writeInt(const QString &name, int value)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("software"), QStringLiteral("Marvisto"));
    s.setValue(name, value);
    s.sync();
    return s.status() == QSettings::NoError;
}

} // namespace mv::settings
