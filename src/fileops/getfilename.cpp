// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileops/getfilename.h"

QString GetFileName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}
