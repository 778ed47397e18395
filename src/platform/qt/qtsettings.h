#pragma once

#include "platform/settingsstore.h"

// INI files in the user's configuration folder ($XDG_CONFIG_HOME, by default ~/.config):
// <application>.ini, one [section] per section.
class QtSettingsStore : public SettingsStore {
public:
    QString getSetting(const QString &app, const QString &section, const QString &key, const QString &defaultValue) override;
    void saveSetting(const QString &app, const QString &section, const QString &key, const QString &value) override;

    // Where the values of an application are kept.
    static QString fileName(const QString &app);
};
