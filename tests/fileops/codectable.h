// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Files whose bytes must come back unchanged after reading and saving, with what reading them
// must find.
#include "fileops/textcodec.h"

#include <QByteArray>
#include <QString>
#include <vector>

inline QByteArray bytesOf(const char *s, qsizetype n)
{
    return QByteArray(s, n);
}
#define BYTES(literal) bytesOf(literal, sizeof(literal) - 1)

// Keeps NUL characters inside the literal and a leading U+FEFF (fromUtf16 would drop it).
template <size_t N> QString u(const char16_t (&s)[N])
{
    return QString(reinterpret_cast<const QChar *>(s), N - 1);
}

struct CodecCase {
    const char *name;
    QByteArray bytes;
    TextEncoding encoding;
    LineBreaks breaks;
    QString text; // as the editor gets it
};

inline QByteArray largeFile()
{
    // Long lines (one of 2 MB) with non-ASCII characters, CRLF breaks, no final break.
    QByteArray line;
    for (int i = 0; i < 20000; ++i)
        line += "word\xC3\xA9\xE2\x82\xAC ";
    QByteArray out;
    for (int i = 0; i < 8; ++i)
        out += line + (i == 3 ? line.repeated(7) : QByteArray()) + "\r\n";
    out += "end";
    return out;
}

inline std::vector<CodecCase> codecTable()
{
    const TextFormat platform;
    return {
        {"utf8 LF", BYTES("h\xC3\xA9llo\nw\xC3\xB6rld\n"), TextEncoding::Utf8, LineBreaks::LF,
         u(u"héllo\r\nwörld\r\n")},
        {"utf8 BOM CRLF",
         BYTES("\xEF\xBB\xBF"
               "a\r\nb"),
         TextEncoding::Utf8Bom, LineBreaks::CRLF, u(u"a\r\nb")},
        {"utf8 BOM twice", BYTES("\xEF\xBB\xBF\xEF\xBB\xBFx"), TextEncoding::Utf8Bom, platform.lineBreaks,
         u(u"\uFEFFx")},
        {"utf8 BOM only", BYTES("\xEF\xBB\xBF"), TextEncoding::Utf8Bom, platform.lineBreaks, QString()},
        {"utf8 four-byte", BYTES("\xF0\x9F\x98\x80\n"), TextEncoding::Utf8, LineBreaks::LF, u(u"\U0001F600\r\n")},
        {"utf16 LE",
         BYTES("\xFF\xFE"
               "a\0\xAC\x20\r\0\n\0\x3D\xD8\x00\xDE"),
         TextEncoding::Utf16LE, LineBreaks::CRLF, u(u"a€\r\n\U0001F600")},
        {"utf16 BE", BYTES("\xFE\xFF\0a\0\n\0b"), TextEncoding::Utf16BE, LineBreaks::LF, u(u"a\r\nb")},
        {"utf16 BOM only", BYTES("\xFF\xFE"), TextEncoding::Utf16LE, platform.lineBreaks, QString()},
        {"cp1252", BYTES("caf\xE9 \x80\x81\x8D\x8F\x90\x9D\x9F\r\n"), TextEncoding::CodePage, LineBreaks::CRLF,
         u(u"café €\u0081\u008D\u008F\u0090\u009DŸ\r\n")},
        {"utf16 odd byte count",
         BYTES("\xFF\xFE"
               "a\0b"),
         TextEncoding::CodePage, platform.lineBreaks, u(u"ÿþa\u0000b")},
        {"utf16 lone surrogate",
         BYTES("\xFF\xFE\x3D\xD8"
               "a\0"),
         TextEncoding::CodePage, platform.lineBreaks, u(u"ÿþ=Øa\u0000")},
        {"utf16 BE low surrogate first", BYTES("\xFE\xFF\xDE\x00\xD8\x3D"), TextEncoding::CodePage, platform.lineBreaks,
         u(u"þÿÞ\u0000Ø=")},
        {"utf8 BOM then a broken byte", BYTES("\xEF\xBB\xBF\xE9"), TextEncoding::Utf8Bom, platform.lineBreaks,
         u(u"\xDCE9")},
        {"overlong", BYTES("\xC0\xAF"), TextEncoding::CodePage, platform.lineBreaks, u(u"À¯")},
        {"encoded surrogate", BYTES("\xED\xA0\x80"), TextEncoding::CodePage, platform.lineBreaks, u(u"í\u00A0€")},
        {"above U+10FFFF", BYTES("\xF4\x90\x80\x80"), TextEncoding::CodePage, platform.lineBreaks, u(u"ô\u0090€€")},
        {"cut-off sequence", BYTES("ab\xE2\x82"), TextEncoding::CodePage, platform.lineBreaks, u(u"ab\u00E2\u201A")},
        {"mixed breaks", BYTES("a\r\nb\nc"), TextEncoding::Utf8, LineBreaks::AsIs, u(u"a\r\nb\nc")},
        {"lone CR", BYTES("a\rb\r"), TextEncoding::Utf8, LineBreaks::AsIs, u(u"a\rb\r")},
        {"CR CRLF", BYTES("a\r\r\nb"), TextEncoding::Utf8, LineBreaks::AsIs, u(u"a\r\r\nb")},
        {"LF no final break", BYTES("a\nb"), TextEncoding::Utf8, LineBreaks::LF, u(u"a\r\nb")},
        {"empty", QByteArray(), TextEncoding::Utf8, platform.lineBreaks, QString()},
        {"NUL byte", BYTES("a\0b\n\0"), TextEncoding::Utf8, LineBreaks::LF, u(u"a\0b\r\n\0")},
        {"large", largeFile(), TextEncoding::Utf8, LineBreaks::CRLF, QString::fromUtf8(largeFile())},
    };
}
