#include "platform/qt/qtsettings.h"

#include "app/failure.h"

#include <QSettings>

QString QtSettingsStore::getSetting(const QString &app, const QString &section, const QString &key, const QString &defaultValue)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, app);
    if (s.status() == QSettings::FormatError)
        throw Failure(QStringLiteral("The settings file %1 cannot be read").arg(s.fileName()));
    return s.value(section + QLatin1Char('/') + key, defaultValue).toString();
}

void QtSettingsStore::saveSetting(const QString &app, const QString &section, const QString &key, const QString &value)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, app);
    s.setValue(section + QLatin1Char('/') + key, value);
    s.sync();
    if (s.status() != QSettings::NoError)
        throw Failure(QStringLiteral("The settings file %1 cannot be written").arg(s.fileName()));
}
