// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/formatname.h"
#include <QCoreApplication>

QString describeFormat(const TextFormat &format)
{
    QString encoding;
    switch (format.encoding) {
    case TextEncoding::Utf8: encoding = QStringLiteral("UTF-8"); break;
    case TextEncoding::Utf8Bom: encoding = QCoreApplication::translate("Form1", "UTF-8 with byte-order mark"); break;
    case TextEncoding::Utf16LE: encoding = QCoreApplication::translate("Form1", "UTF-16 little-endian"); break;
    case TextEncoding::Utf16BE: encoding = QCoreApplication::translate("Form1", "UTF-16 big-endian"); break;
    case TextEncoding::CodePage: encoding = QStringLiteral("Windows-1252"); break;
    }
    QString breaks;
    switch (format.lineBreaks) {
    case LineBreaks::CRLF: breaks = QCoreApplication::translate("Form1", "Windows line breaks (CRLF)"); break;
    case LineBreaks::LF: breaks = QCoreApplication::translate("Form1", "Unix line breaks (LF)"); break;
    case LineBreaks::AsIs: breaks = QCoreApplication::translate("Form1", "mixed line breaks, kept as they are"); break;
    }
    return QCoreApplication::translate("Form1", "%1, %2").arg(encoding, breaks);
}
