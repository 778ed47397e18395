#pragma once

#include <QString>

// The path of a document record "flag|path": everything after the first "|", since a path on
// this platform may itself contain "|". Throws when the record has no "|".
QString recordPath(const QString &record);
