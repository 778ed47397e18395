// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class QUrl;

// What the program was asked to do by its arguments.
struct CommandLine {
    QStringList files; // absolute, cleaned paths, in the order given
    bool help = false;
    bool version = false;
    QString error; // an unknown option and the like; empty when the arguments are fine
    QString helpText;
};

// Parses the arguments (the program's name first). Relative paths are taken from currentFolder;
// file: URLs, as some file managers pass them, become local paths.
CommandLine parseCommandLine(const QStringList &arguments, const QString &currentFolder);

// The local file a file: URL names, by the bytes its percent escapes stand for (also those that
// are no UTF-8); empty for any other URL.
QString localFileOfUrl(const QUrl &url);
