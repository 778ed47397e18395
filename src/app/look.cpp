// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/look.h"
#include "app/form1.h"

#include "platform/files.h"
#include "platform/window.h"

#include <QDir>
#include <QStandardPaths>

bool FileExists(const QString &path)
{
    try {
        return nameStatus(path).exists;
    } catch (...) {
        return false;
    }
}

QStringList skinCandidates(const QString &programFolder)
{
    const QString skin = QStringLiteral("/x/o.cjs");
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return {programFolder + skin, config + QStringLiteral("/marquill") + skin,
            QDir::cleanPath(programFolder + QStringLiteral("/../share/marquill") + skin)};
}

void Form1::LoadSkin()
{
    // No handler of its own: a failure ends the skin and is reported by start-up.
    QString path;
    for (const QString &candidate : skinCandidates(p.window.programFolder())) {
        // A folder is no skin file; a pipe or device is one that cannot be read (loadSkin says so).
        const NameStatus status = nameStatus(candidate);
        if (status.exists && !status.folder) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty())
        return;
    p.window.setButtonFaceBackground();
    p.window.loadSkin(path);
    p.window.applySkin();
}

void Form1::Form_MouseMove()
{
    if (p.window.mousePointer() != PointerKind::Busy)
        p.window.setMousePointer(PointerKind::Default);
}

void Form1::PushButton_MouseMove(Button)
{
    if (p.window.mousePointer() != PointerKind::Busy)
        p.window.setMousePointer(PointerKind::Hand);
}
