#pragma once

#include <QByteArray>
#include <QString>

// True when the file's time of last change can be read; never fails.
bool FileExists(const QString &path);

// Reads a file beside the program (skin, pointer): only a regular file of at most 16 MB, so that
// a pipe or a device in its place cannot hold up start-up. Throws Failure with the reason.
QByteArray readProgramFile(const QString &path);
