// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "documents/record.h"

#include "platform/editor.h"
#include "platform/tabstrip.h"
#include "recent/pathlist.h"

namespace {
const QString OpenFilesKey = QStringLiteral("OpenFiles");
} // namespace

void Form1::WasOpenRecent(bool &AnyReopened)
{
    Steps step(*this, "WasOpenRecent");
    QString value;
    step(100, [&] { AnyReopened = false; });
    step(102, [&] { value = GetSetting(OpenFilesKey, QString()); });
    if (!step.test(104, [&] { return value.isEmpty(); })) {
        QStringList parts;
        step(106, [&] { parts = splitPathList(value); });
        if (!step.test(108, [&] { return parts.isEmpty(); })) {
            // Files gone since, and the empty part after the last "|", are skipped silently.
            for (const QString &part : parts) {
                if (step.test(112, [&] { return isPresentFile(part); })) {
                    step(114, [&] { OpenFile(part, true); });
                    step(116, [&] { AnyReopened = true; });
                }
            }
        }
    }
    step(120, [&] { LoadRecent(); });
}

void Form1::SaveOpen()
{
    Steps step(*this, "SaveOpen");
    QString value;
    step(100, [&] { value.clear(); });
    int count = 0;
    step(102, [&] { count = p.tabs.count(); });
    for (int i = 0; i < count; ++i) {
        QString path;
        step(104, [&] { path = record(p.tabs.itemData(i)).path; });
        // A path holding "|" would be split into wrong paths at the next start.
        if (step.test(106, [&] { return !path.isEmpty() && isStorablePath(path); }))
            step(108, [&] { value += path + QLatin1Char('|'); });
    }
    step(112, [&] { SaveSetting(OpenFilesKey, value); });
    step(114, [&] { SaveRecent(); });
}
