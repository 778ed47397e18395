// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// One document to open, as a command line or another start names it: a file, with the place
// for the caret, or the text a start read from its standard input.
struct OpenTarget {
    QString path;               // absolute; empty for standard input's text
    int line = 0;               // 1-based; 0 when none was given
    int column = 0;             // 1-based, in characters; 0 when none was given
    bool standardInput = false; // `text` holds the bytes read from standard input
    QByteArray text;

    static OpenTarget file(const QString &path, int line = 0, int column = 0)
    {
        return {path, line, column, false, {}};
    }
    static OpenTarget input(const QByteArray &bytes) { return {QString(), 0, 0, true, bytes}; }
    bool operator==(const OpenTarget &) const = default;
};
using OpenTargets = std::vector<OpenTarget>;
