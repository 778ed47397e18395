// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/qt/qtsettings.h"

#include <QString>

// The program's stored values, read and written as another run of the program would.
inline QString storedSetting(const QString &key)
{
    return QtSettingsStore().getSetting(QStringLiteral("Vortlane"), QStringLiteral("Marquill"), key, QString());
}

inline void storeSetting(const QString &key, const QString &value)
{
    QtSettingsStore().saveSetting(QStringLiteral("Vortlane"), QStringLiteral("Marquill"), key, value);
}
