// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The file name of a path: the text after its last "/". A backslash is an ordinary character
// in a file name here. A path without "/" is returned whole; one that ends in "/" gives "".
QString GetFileName(const QString &path);
