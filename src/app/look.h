#pragma once

#include <QString>

// True when the file's time of last change can be read; never fails.
bool FileExists(const QString &path);
