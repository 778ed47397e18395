#include "platform/qt/qtsettings.h"

#include "app/failure.h"

#include <QSettings>
#include <QStandardPaths>

QString QtSettingsStore::fileName(const QString &app)
{
    // Looked up at every call: QSettings works out the user's configuration folder once per
    // process, so a changed XDG_CONFIG_HOME would go unnoticed.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + app +
           QStringLiteral(".ini");
}

QString QtSettingsStore::getSetting(const QString &app, const QString &section, const QString &key, const QString &defaultValue)
{
    QSettings s(fileName(app), QSettings::IniFormat);
    if (s.status() == QSettings::FormatError)
        throw Failure(QStringLiteral("The settings file %1 cannot be read").arg(s.fileName()));
    const QVariant value = s.value(section + QLatin1Char('/') + key, defaultValue);
    // An unquoted comma in a hand-edited line makes QSettings read a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void QtSettingsStore::saveSetting(const QString &app, const QString &section, const QString &key, const QString &value)
{
    QSettings s(fileName(app), QSettings::IniFormat);
    s.setValue(section + QLatin1Char('/') + key, value);
    s.sync();
    if (s.status() != QSettings::NoError)
        throw Failure(QStringLiteral("The settings file %1 cannot be written").arg(s.fileName()));
}
