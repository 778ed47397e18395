// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The per-user settings store, addressed by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString getSetting(const QString &app, const QString &section, const QString &key,
                               const QString &defaultValue) = 0;
    virtual void saveSetting(const QString &app, const QString &section, const QString &key,
                             const QString &value) = 0; // throws Failure when it cannot be written
};
