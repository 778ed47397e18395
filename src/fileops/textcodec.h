#pragma once

#include <QByteArray>
#include <QString>

// How a document's file is encoded, remembered from reading so that saving gives back the
// same bytes.
enum class TextEncoding {
    Utf8, // no byte-order mark
    Utf8Bom,
    Utf16LE,  // with byte-order mark
    Utf16BE,  // with byte-order mark
    CodePage, // the 8-bit code page (Windows-1252; its five unassigned bytes map to U+0081 ...)
};

enum class LineBreaks {
    CRLF, // every break was "\r\n"
    LF,   // every break was "\n"; the editor holds "\r\n", saving writes "\n"
    AsIs, // mixed or lone "\r": the text is handed over and written back as it is
};

struct TextFormat {
    TextEncoding encoding = TextEncoding::Utf8;
#ifdef Q_OS_WIN
    LineBreaks lineBreaks = LineBreaks::CRLF;
#else
    LineBreaks lineBreaks = LineBreaks::LF;
#endif
    bool operator==(const TextFormat &) const = default;
};

struct DecodedText {
    QString text; // line breaks as the editor holds them ("\r\n" unless lineBreaks is AsIs)
    TextFormat format;
};

// Every byte sequence decodes to a text that encodes back to the same bytes: bytes that are no
// valid UTF-8 read as the code page, which has a character for every byte, and a UTF-16 file
// with an odd byte count or a broken surrogate pair reads as the code page as well.
DecodedText decodeText(const QByteArray &bytes);
// True when every character of the text has a form in the format's encoding (only the code
// page can lack one). Save asks before it lets encodeText change a file's encoding.
bool canHold(QStringView text, const TextFormat &format);
// Encodes the editor's text in the format. A character the code page cannot hold switches the
// format to UTF-8 (format is updated) instead of being dropped or replaced.
QByteArray encodeText(const QString &text, TextFormat &format);

// Reads a whole file; throws Failure with a plain description when it cannot be read.
DecodedText readTextFile(const QString &path);

// Writes the editor's text to the path in the document's format through FileReplacement: a
// failed write leaves the old file as it was. Throws Failure with a plain description.
// Once written, the format may have switched to UTF-8 (see encodeText); a failed write leaves it.
void SaveTextFile(const QString &text, const QString &path, TextFormat &format);
