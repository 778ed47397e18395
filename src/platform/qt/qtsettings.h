// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/settingsstore.h"

#include <QSet>

class IniFile;

// INI files in the user's configuration folder ($XDG_CONFIG_HOME, by default ~/.config):
// <application>.ini, one [section] per section. Only the value written changes; every other byte
// of the file stays. A file that cannot be read or is no INI file is reported once and never
// rewritten: later calls read the defaults and write nothing.
class QtSettingsStore : public SettingsStore {
public:
    QString getSetting(const QString &app, const QString &section, const QString &key,
                       const QString &defaultValue) override;
    void saveSetting(const QString &app, const QString &section, const QString &key, const QString &value) override;

    // Where the values of an application are kept.
    static QString fileName(const QString &app);

private:
    // False when the file cannot be used; throws the first time for each file.
    bool load(const QString &file, IniFile &ini);

    QSet<QString> reported_;
};
