// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "documents/record.h"

#include "platform/editor.h"
#include "platform/tabstrip.h"
#include "recent/pathlist.h"
#include <QCoreApplication>

namespace {

const QString RecentFilesKey = QStringLiteral("RecentFiles");

// Entry indexes are 16-bit.
constexpr qsizetype MaxRecentEntries = 32767;

QString &entryAt(QStringList &list, qsizetype i)
{
    if (i < 0 || i >= list.size())
        throw Failure(QCoreApplication::translate("Failure", "Subscript out of range"));
    return list[i];
}

} // namespace

void Form1::LoadRecent()
{
    Steps step(*this, "LoadRecent");
    QString value;
    step(100, [&] { RecentList = QStringList{QString()}; });
    step(102, [&] { value = GetSetting(RecentFilesKey, QString()); });
    if (!step.test(104, [&] { return value.isEmpty(); })) {
        QStringList parts;
        step(106, [&] { parts = splitPathList(value); });
        if (step.test(108, [&] { return !parts.isEmpty(); }))
            step(110, [&] { RecentList = QStringList(parts.size(), QString()); });
        // A stored path whose file is gone leaves a hole, removed by the menu rebuild.
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (step.test(114, [&] { return isPresentFile(parts[i]); }))
                step(116, [&] { entryAt(RecentList, i) = parts[i]; });
        }
    }
    step(120, [&] { LoadRecentMenu(); });
}

void Form1::AddRecent(const QString &DocumentRecord, bool RefreshMenu)
{
    Steps step(*this, "AddRecent");
    QString path;
    step(100, [&] { path = recordPath(DocumentRecord); });
    // Untitled documents, vanished files and paths the stored list cannot hold add nothing.
    if (step.test(102, [&] { return !isPresentFile(path) || !isStorablePath(path); }))
        return;
    // Only the same path moves to the end; notes.txt.bak stays when notes.txt is closed.
    for (qsizetype i = 0; i < RecentList.size(); ++i) {
        if (step.test(108, [&] { return !RecentList[i].isEmpty() && isSamePath(RecentList[i], path); }))
            step(110, [&] { RecentList[i].clear(); });
    }
    step(114, [&] {
        if (RecentList.size() >= MaxRecentEntries)
            throw Failure(QStringLiteral("Overflow"));
        RecentList.append(QString());
    });
    step(116, [&] { entryAt(RecentList, RecentList.size() - 1) = path; });
    if (step.test(118, [&] { return RefreshMenu; }))
        step(120, [&] { LoadRecentMenu(); });
}

void Form1::AddAllRecent()
{
    Steps step(*this, "AddAllRecent");
    int count = 0;
    step(100, [&] { count = p.tabs.count(); });
    for (int i = 0; i < count; ++i)
        step(102, [&] { AddRecent(record(p.tabs.itemData(i)).text(), false); });
    step(106, [&] { LoadRecentMenu(); });
}

void Form1::SaveRecent()
{
    Steps step(*this, "SaveRecent");
    QString value;
    step(100, [&] { value.clear(); });
    for (qsizetype i = 0; i < RecentList.size(); ++i) {
        if (step.test(104, [&] { return isPresentFile(RecentList[i]) && isStorablePath(RecentList[i]); }))
            step(106, [&] { value += RecentList[i] + QLatin1Char('|'); });
    }
    step(110, [&] { SaveSetting(RecentFilesKey, value); });
}
