// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qtsettings.h"

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/qt/inifile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Far beyond two path lists; a larger "settings file" is something else.
constexpr qint64 LargestSettingsFile = 16 * 1024 * 1024;

} // namespace

QString QtSettingsStore::fileName(const QString &app)
{
    // Looked up at every call: the user's configuration folder may change while the program runs
    // (each test has its own).
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + app +
           QStringLiteral(".ini");
}

bool QtSettingsStore::load(const QString &file, IniFile &ini)
{
    const NameStatus status = nameStatus(file);
    if (!status.exists) {
        ini = IniFile();
        return true;
    }
    bool usable = false;
    if (status.file && status.size <= LargestSettingsFile) {
        QFile f;
        if (openForReading(f, file)) {
            const QByteArray bytes = f.read(LargestSettingsFile + 1);
            ini = IniFile(bytes);
            usable = f.error() == QFileDevice::NoError && bytes.size() <= LargestSettingsFile && ini.parsed();
        }
    }
    if (usable || reported_.contains(file))
        return usable;
    reported_.insert(file);
    throw Failure(QCoreApplication::translate("Form1", "The settings file %1 cannot be read; it is left as it is")
                      .arg(shownName(file)));
}

QString QtSettingsStore::getSetting(const QString &app, const QString &section, const QString &key,
                                    const QString &defaultValue)
{
    IniFile ini;
    if (!load(fileName(app), ini))
        return defaultValue;
    return ini.value(section, key).value_or(defaultValue);
}

void QtSettingsStore::saveSetting(const QString &app, const QString &section, const QString &key, const QString &value)
{
    const QString file = fileName(app);
    IniFile ini;
    if (!load(file, ini))
        return;
    const QByteArray before = ini.bytes();
    ini.setValue(section, key, value);
    if (ini.bytes() == before && nameStatus(file).exists)
        return;
    try {
        QDir().mkpath(QFileInfo(file).path());
        FileReplacement out(file);
        out.write(ini.bytes());
        out.commit();
    } catch (const Failure &f) {
        throw Failure(QCoreApplication::translate("Form1", "The settings file %1 cannot be written: %2")
                          .arg(shownName(file), f.description()));
    }
}
