// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/opentarget.h"

#include <QString>
#include <QStringList>

class QUrl;

// What the program was asked to do by its arguments.
struct CommandLine {
    QStringList files; // absolute, cleaned paths, in the order given
    // The same files with the caret's place (FILE:LINE, FILE:LINE:COLUMN, +LINE FILE), and where
    // "-" stood, standard input's text (its bytes are read by the caller).
    OpenTargets targets;
    bool help = false;
    bool version = false;
    QString error; // an unknown option and the like; empty when the arguments are fine
    QString helpText;
};

// Parses the arguments (the program's name first). Relative paths are taken from currentFolder;
// file: URLs, as some file managers pass them, become local paths. A name ending in ":LINE" or
// ":LINE:COLUMN" is a file and a place in it, unless a file of the whole name exists.
CommandLine parseCommandLine(const QStringList &arguments, const QString &currentFolder);

// The local file a file: URL names, by the bytes its percent escapes stand for (also those that
// are no UTF-8); empty for any other URL.
QString localFileOfUrl(const QUrl &url);
