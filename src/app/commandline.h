#pragma once

#include <QString>
#include <QStringList>

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
