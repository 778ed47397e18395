// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files.h"

#include <QByteArray>
#include <QString>
#include <functional>

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

class Editor;

struct DecodedText {
    QString text; // line breaks as the editor holds them ("\r\n" unless lineBreaks is AsIs)
    TextFormat format;
};

// Every byte sequence decodes to a text that encodes back to the same bytes: bytes that are no
// valid UTF-8 read as the code page, which has a character for every byte, and a UTF-16 file
// with an odd byte count or a broken surrogate pair reads as the code page as well.
//
// Decoding works on bytes handed over in blocks: `ByteBlocks` calls its argument with each
// block of the file in order, and can be called again to read the file from the start.
using ByteBlocks = std::function<void(const std::function<void(QByteArrayView block)> &)>;
using Utf8Sink = std::function<void(QByteArrayView block)>;

struct ScannedFormat {
    TextFormat format;
    qint64 utf8Bytes = 0;  // the size of the text in the editor's UTF-8
    bool validUtf8 = true; // false: the editor keeps bytes that are no UTF-8
    QString utf16Text;     // a UTF-16 file, decoded whole while checking it
};
ScannedFormat scanFormat(const ByteBlocks &blocks);
// Hands the text to `sink` as the editor holds it: UTF-8 with "\r\n" line breaks (unless
// they stay as they are), in blocks that end on whole characters.
void decodeBlocks(const ByteBlocks &blocks, const ScannedFormat &scanned, const Utf8Sink &sink);

// Turns the editor's UTF-8 (handed over in blocks that end on whole characters and never
// between "\r" and "\n") into the bytes of a format.
class TextEncoder {
public:
    explicit TextEncoder(const TextFormat &format);
    QByteArray header() const; // the byte-order mark, if the format has one
    // The block's bytes, in `utf8` itself or in `scratch`. `ok` turns false when the code page
    // cannot hold a character of the block; the result is then empty.
    QByteArrayView encode(QByteArrayView utf8, QByteArray &scratch, bool &ok);

private:
    TextFormat format_;
    QByteArray lfScratch_;
};

// Whole-text forms of the same codec.
DecodedText decodeText(const QByteArray &bytes);
// True when every character of the text has a form in the format's encoding (only the code
// page can lack one). Save asks before it lets encodeText change a file's encoding.
bool canHold(QStringView text, const TextFormat &format);
bool canHold(const Editor &editor, const TextFormat &format);
// Encodes the editor's text in the format. A character the code page cannot hold switches the
// format to UTF-8 (format is updated) instead of being dropped or replaced.
QByteArray encodeText(const QString &text, TextFormat &format);

// Reads a whole file; throws Failure with a plain description when it cannot be read.
DecodedText readTextFile(const QString &path);
// Reads a file into the editor, in blocks, without a whole copy of it; returns its format.
// Throws Failure with a plain description when it cannot be read or held.
TextFormat loadTextFile(const QString &path, Editor &editor);
// The same for bytes already read (standard input's text, say).
TextFormat loadTextBytes(const QByteArray &bytes, Editor &editor);

// Writes the editor's text to the path in the document's format through FileReplacement: a
// failed write leaves the old file as it was. Throws Failure with a plain description.
// Once written, the format may have switched to UTF-8 (see encodeText); a failed write leaves it.
void SaveTextFile(const QString &text, const QString &path, TextFormat &format);
// The same, encoding the editor's buffer block by block.
void SaveTextFile(const Editor &editor, const QString &path, TextFormat &format);
// The same, to a name resolved earlier; throws FileChanged when it no longer holds the file expected.
void SaveTextFile(const Editor &editor, const WriteTarget &target, TextFormat &format);
