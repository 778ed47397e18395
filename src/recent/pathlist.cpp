// SPDX-License-Identifier: GPL-3.0-or-later
#include "recent/pathlist.h"

#include "app/failure.h"
#include "platform/files.h"

QStringList splitPathList(const QString &value)
{
    if (value.isEmpty())
        return {};
    return value.split(QLatin1Char('|'));
}

bool isStorablePath(const QString &path)
{
    return !path.contains(QLatin1Char('|'));
}

bool isPresentFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    return nameStatus(path).file;
}

bool isSamePath(const QString &a, const QString &b)
{
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

QStringList compactRecent(const QStringList &list)
{
    QStringList out{QString()};
    for (const QString &entry : list) {
        if (!entry.isEmpty())
            out << entry;
    }
    return out;
}
