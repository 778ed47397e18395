// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fileops/textcodec.h"

#include <QString>

// How a document's file is written, in words: "UTF-8, Unix line breaks (LF)".
QString describeFormat(const TextFormat &format);
