#pragma once

#include <QString>

// The file name of a path: the text after its last "\" or "/". A path without either is
// returned whole; one that ends in a separator gives "". "\" is kept so that stored
// Windows-style paths still give their file name.
QString GetFileName(const QString &path);
