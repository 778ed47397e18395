// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// True when the file's time of last change can be read; never fails.
bool FileExists(const QString &path);

// Where the skin file "x/o.cjs" is looked for, in this order: the folder of the program, the
// user's configuration folder ($XDG_CONFIG_HOME/marquill), the installed data folder
// (share/marquill beside the program's bin folder). The first that holds it is used.
QStringList skinCandidates(const QString &programFolder);
