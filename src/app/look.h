#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// True when the file's time of last change can be read; never fails.
bool FileExists(const QString &path);

// Where the skin file "x/o.cjs" is looked for, in this order: the folder of the program, the
// user's configuration folder ($XDG_CONFIG_HOME/marquill), the installed data folder
// (share/marquill beside the program's bin folder). The first that holds it is used.
QStringList skinCandidates(const QString &programFolder);
// Reads a file beside the program (skin, pointer): only a regular file of at most 16 MB, so that
// a pipe or a device in its place cannot hold up start-up. Throws Failure with the reason.
QByteArray readProgramFile(const QString &path);
