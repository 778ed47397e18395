// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A document's record, kept in its editor's tag as "flag|path": flag "1" once the text was
// changed, "0" otherwise; the path is empty for an untitled document. The one place that
// writes or reads that text.
struct DocumentRecord {
    bool changed = false;
    QString path;

    static DocumentRecord untitled() { return {}; }
    static DocumentRecord ofFile(const QString &path) { return {false, path}; }
    // The path is everything after the first "|", since a path on this platform may itself
    // contain "|". Throws when the text has no "|".
    static DocumentRecord parse(const QString &text);
    QString text() const;
};

// The path of a record's text; throws as DocumentRecord::parse does.
QString recordPath(const QString &record);

// The caption of an untitled document, "Untitled" + its number + ".txt".
QString untitledCaption(int number);
