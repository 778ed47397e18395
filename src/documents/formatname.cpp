// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/formatname.h"

QString describeFormat(const TextFormat &format)
{
    QString encoding;
    switch (format.encoding) {
    case TextEncoding::Utf8: encoding = QStringLiteral("UTF-8"); break;
    case TextEncoding::Utf8Bom: encoding = QStringLiteral("UTF-8 with byte-order mark"); break;
    case TextEncoding::Utf16LE: encoding = QStringLiteral("UTF-16 little-endian"); break;
    case TextEncoding::Utf16BE: encoding = QStringLiteral("UTF-16 big-endian"); break;
    case TextEncoding::CodePage: encoding = QStringLiteral("Windows-1252"); break;
    }
    QString breaks;
    switch (format.lineBreaks) {
    case LineBreaks::CRLF: breaks = QStringLiteral("Windows line breaks (CRLF)"); break;
    case LineBreaks::LF: breaks = QStringLiteral("Unix line breaks (LF)"); break;
    case LineBreaks::AsIs: breaks = QStringLiteral("mixed line breaks, kept as they are"); break;
    }
    return encoding + QStringLiteral(", ") + breaks;
}
