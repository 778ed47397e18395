// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileops/textcodec.h"

#include "app/failure.h"
#include "platform/editor.h"
#include "platform/files.h"
#include "platform/rawutf8.h"
#include "platform/wordbytes.h"

#include <QCoreApplication>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

namespace {

// Windows-1252 from 0x80 to 0x9F. The five bytes it leaves unassigned stand for the C1 control
// of the same value, so that every byte has a character of its own and comes back unchanged.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte that holds the character in the code page, or -1.
int codePageByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (Cp1252High[i] == c)
            return 0x80 + i;
    }
    return -1;
}

// UTF-16 after the byte-order mark. Fails on an odd byte count or a surrogate without its pair:
// such a file could not come back byte for byte through the editor.
bool decodeUtf16(const unsigned char *s, qsizetype n, bool bigEndian, QString &out)
{
    if (n % 2)
        return false;
    const qsizetype units = n / 2;
    out = QString(units, Qt::Uninitialized);
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    if (units == 0)
        return true;
    if (bigEndian)
        qFromBigEndian<char16_t>(s, units, dst);
    else
        qFromLittleEndian<char16_t>(s, units, dst);
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t c = dst[i];
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= units || dst[i + 1] < 0xDC00 || dst[i + 1] > 0xDFFF)
                return false;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

QByteArray encodeUtf16(QStringView text, bool bigEndian)
{
    QByteArray out(2 + 2 * text.size(), Qt::Uninitialized);
    auto *dst = reinterpret_cast<unsigned char *>(out.data());
    if (bigEndian)
        qToBigEndian<char16_t>(0xFEFF, dst);
    else
        qToLittleEndian<char16_t>(0xFEFF, dst);
    if (text.isEmpty()) // the array forms would hand a null pointer to memcpy
        return out;
    if (bigEndian)
        qToBigEndian<char16_t>(text.utf16(), text.size(), dst + 2);
    else
        qToLittleEndian<char16_t>(text.utf16(), text.size(), dst + 2);
    return out;
}

// Breaks counted across block boundaries: on the units of a UTF-16 file, or on the bytes of a
// file read as UTF-8 or the code page ("\r" and "\n" are the same bytes in both), eight bytes
// at a time.
struct BreakCount {
    qint64 cr = 0, lf = 0, pairs = 0;
    bool lastCr = false;
    void add(QByteArrayView b) { add(b.data(), b.size()); }
    void add(QStringView t) { add(t.utf16(), t.size()); }
    template <class C> void add(const C *s, qsizetype n)
    {
        qsizetype i = 0;
        if constexpr (sizeof(C) == 1) {
            while (i + 8 <= n) {
                quint64 c = 0, l = 0, p = 0;
                for (int w = 0; w < 255 && i + 8 <= n; ++w, i += 8) {
                    const quint64 x = WordBytes::load(s + i);
                    const quint64 crs = WordBytes::equal(x, '\r'), lfs = WordBytes::equal(x, '\n');
                    if ((crs | lfs) == 0) {
                        lastCr = false;
                        continue;
                    }
                    c += crs >> 7;
                    l += lfs >> 7;
                    p += (lfs & ((crs << 8) | (lastCr ? 0x80 : 0))) >> 7;
                    lastCr = (crs >> 63) != 0;
                }
                cr += WordBytes::sum(c);
                lf += WordBytes::sum(l);
                pairs += WordBytes::sum(p);
            }
        }
        for (; i < n; ++i) {
            cr += s[i] == '\r';
            lf += s[i] == '\n';
            pairs += s[i] == '\n' && lastCr;
            lastCr = s[i] == '\r';
        }
    }
    bool any() const { return cr > 0 || lf > 0; }
    LineBreaks breaks() const
    {
        if (cr == 0)
            return LineBreaks::LF;
        return cr == pairs && lf == pairs ? LineBreaks::CRLF : LineBreaks::AsIs;
    }
};

// Cuts blocks of UTF-8 into pieces that end on whole characters, carrying a character that a
// block boundary splits over to the next block. Bytes that are no UTF-8 pass through as they are.
class Utf8Pieces {
public:
    template <class F> void feed(QByteArrayView block, F &&piece)
    {
        if (!carry_.isEmpty()) {
            const qsizetype need = RawUtf8::leadLength(static_cast<unsigned char>(carry_[0])) - carry_.size();
            const qsizetype take = std::min(need, block.size());
            carry_.append(block.first(take));
            block = block.sliced(take);
            if (take < need)
                return;
            piece(QByteArrayView(carry_));
            carry_.clear();
        }
        const qsizetype cut = block.size() - RawUtf8::cutOffBytes(block);
        if (cut > 0)
            piece(block.first(cut));
        carry_ = block.sliced(cut).toByteArray();
    }
    // The bytes of a character that the end of the text cut off.
    QByteArray rest() const { return carry_; }

private:
    QByteArray carry_;
};

constexpr qsizetype BlockBytes = 4 << 20;
constexpr qsizetype CachePiece = 256 << 10;

// "\n" becomes "\r\n", from `n` units at `p` to `dst`, which has room for their count and that
// of "\n"; returns the end. Bytes go eight at a time: words without a "\n" are copied whole.
template <class C> C *withCrlf(const C *p, qsizetype n, C *dst)
{
    qsizetype i = 0;
    if constexpr (sizeof(C) == 1) {
        for (; i + 8 <= n; i += 8) {
            quint64 lfs = WordBytes::equal(WordBytes::load(p + i), '\n');
            int from = 0;
            while (lfs) {
                const int at = std::countr_zero(lfs) / 8;
                std::memcpy(dst, p + i + from, at - from);
                dst += at - from;
                *dst++ = '\r';
                *dst++ = '\n';
                from = at + 1;
                lfs &= lfs - 1;
            }
            std::memcpy(dst, p + i + from, 8 - from);
            dst += 8 - from;
        }
    }
    for (; i < n; ++i) {
        if (p[i] == '\n')
            *dst++ = '\r';
        *dst++ = p[i];
    }
    return dst;
}

void withCrlf(QByteArrayView in, QByteArray &out)
{
    out.resize(2 * in.size());
    out.resize(withCrlf(in.data(), in.size(), out.data()) - out.constData());
}

// "\r\n" becomes "\n"; the input never ends between the two.
QByteArrayView withLf(QByteArrayView in, QByteArray &scratch)
{
    if (!in.contains('\r'))
        return in;
    scratch.resize(in.size());
    char *dst = scratch.data();
    const char *s = in.data();
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (s[i] == '\r' && i + 1 < in.size() && s[i + 1] == '\n')
            continue;
        *dst++ = s[i];
    }
    return QByteArrayView(scratch.constData(), dst - scratch.constData());
}

void appendCodePageAsUtf8(QByteArrayView in, bool crlf, QByteArray &out)
{
    for (const char ch : in) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            if (b == '\n' && crlf)
                out.append('\r');
            out.append(ch);
            continue;
        }
        const char16_t c = (b < 0xA0) ? Cp1252High[b - 0x80] : char16_t(b);
        if (c < 0x800) {
            out.append(char(0xC0 | (c >> 6)));
        } else {
            out.append(char(0xE0 | (c >> 12)));
            out.append(char(0x80 | ((c >> 6) & 0x3F)));
        }
        out.append(char(0x80 | (c & 0x3F)));
    }
}

bool startsWith(QByteArrayView b, const char *prefix, qsizetype n)
{
    return b.size() >= n && std::memcmp(b.data(), prefix, n) == 0;
}

// A file read in blocks, from its start each time it is called.
class FileBlocks {
public:
    explicit FileBlocks(const QString &path)
    {
        const NameStatus status = nameStatus(path);
        if (!status.exists)
            throw Failure(QCoreApplication::translate("Failure", "File not found"));
        // Folders, pipes and devices are no text files (a pipe would block the window forever).
        if (!status.file)
            throw Failure(QCoreApplication::translate("Failure", "Path/File access error"));
        errno = 0;
        if (!openForReading(file_, path)) {
            const int error = errno;
            throw Failure(error == ENOENT ? QCoreApplication::translate("Failure", "File not found")
                                          : describeErrno(error, file_.errorString()));
        }
    }
    void operator()(const std::function<void(QByteArrayView)> &take)
    {
        if (!file_.seek(0))
            throw Failure(describeErrno(errno, file_.errorString()));
        QByteArray buffer(BlockBytes, Qt::Uninitialized);
        for (;;) {
            errno = 0;
            const qint64 n = file_.read(buffer.data(), buffer.size());
            if (n < 0)
                throw Failure(describeErrno(errno, file_.errorString()));
            if (n == 0)
                return;
            take(QByteArrayView(buffer.constData(), n));
        }
    }

private:
    QFile file_;
};

ByteBlocks blocksOf(const QByteArray &bytes)
{
    return [&bytes](const std::function<void(QByteArrayView)> &take) {
        for (qsizetype at = 0; at < bytes.size(); at += BlockBytes)
            take(QByteArrayView(bytes).sliced(at, std::min(BlockBytes, bytes.size() - at)));
    };
}

// Writes what `produce` hands to its argument to the path, replacing the file all or nothing.
void replaceFile(const WriteTarget &target,
                 const std::function<void(const std::function<void(QByteArrayView)> &)> &produce)
{
    FileReplacement file(target.file, target.expected);
    produce([&](QByteArrayView block) { file.write(block); });
    file.commit();
}

} // namespace

ScannedFormat scanFormat(const ByteBlocks &blocks)
{
    ScannedFormat s;
    // A UTF-16 file is checked whole: only a valid one reads as UTF-16.
    QByteArray head;
    blocks([&](QByteArrayView b) {
        if (head.size() < 3)
            head.append(b.first(std::min<qsizetype>(3 - head.size(), b.size())));
    });
    if (startsWith(head, "\xFF\xFE", 2) || startsWith(head, "\xFE\xFF", 2)) {
        QByteArray all;
        blocks([&](QByteArrayView b) { all.append(b); });
        const bool bigEndian = head[0] == '\xFE';
        const auto *u = reinterpret_cast<const unsigned char *>(all.constData());
        if (decodeUtf16(u + 2, all.size() - 2, bigEndian, s.utf16Text)) {
            s.format.encoding = bigEndian ? TextEncoding::Utf16BE : TextEncoding::Utf16LE;
            BreakCount breaks;
            breaks.add(QStringView(s.utf16Text));
            if (breaks.any())
                s.format.lineBreaks = breaks.breaks();
            if (breaks.any() && s.format.lineBreaks == LineBreaks::LF) {
                QString text(s.utf16Text.size() + breaks.lf, Qt::Uninitialized);
                withCrlf(reinterpret_cast<const char16_t *>(s.utf16Text.constData()), s.utf16Text.size(),
                         reinterpret_cast<char16_t *>(text.data()));
                s.utf16Text = std::move(text);
            }
            s.utf8Bytes = s.utf16Text.size() * 3 / 2;
            return s;
        }
        s.utf16Text.clear();
    }
    Utf8Pieces pieces;
    RawUtf8::Census census;
    BreakCount breaks;
    qint64 size = 0;
    blocks([&](QByteArrayView b) {
        size += b.size();
        // In pieces that stay in the cache while both passes look at them.
        for (qsizetype at = 0; at < b.size(); at += CachePiece) {
            const QByteArrayView piece = b.sliced(at, std::min(CachePiece, b.size() - at));
            breaks.add(piece);
            pieces.feed(piece, [&](QByteArrayView whole) { census.add(whole); });
        }
    });
    census.add(pieces.rest());
    if (census.brokenRuns > 0) {
        // Damaged or not UTF-8 at all: now the valid stretches count too.
        Utf8Pieces again;
        census = RawUtf8::Census{};
        census.counting = true;
        blocks([&](QByteArrayView b) { again.feed(b, [&](QByteArrayView whole) { census.add(whole); }); });
        census.add(again.rest());
    }
    const bool bom = startsWith(head, "\xEF\xBB\xBF", 3);
    if (bom || census.mostlyUtf8()) {
        s.format.encoding = bom ? TextEncoding::Utf8Bom : TextEncoding::Utf8;
        s.utf8Bytes = size - (bom ? 3 : 0);
        s.validUtf8 = census.brokenRuns == 0;
    } else {
        s.format.encoding = TextEncoding::CodePage;
        s.utf8Bytes = size + 2 * census.highBytes;
    }
    if (breaks.any())
        s.format.lineBreaks = breaks.breaks();
    if (s.format.lineBreaks == LineBreaks::LF)
        s.utf8Bytes += breaks.lf;
    return s;
}

void decodeBlocks(const ByteBlocks &blocks, const ScannedFormat &scanned, const Utf8Sink &sink)
{
    const bool crlf = scanned.format.lineBreaks == LineBreaks::LF;
    QByteArray out;
    switch (scanned.format.encoding) {
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const QString &text = scanned.utf16Text;
        for (qsizetype at = 0; at < text.size();) {
            qsizetype n = std::min<qsizetype>(BlockBytes / 2, text.size() - at);
            if (at + n < text.size() && text[at + n - 1].isHighSurrogate())
                --n;
            sink(QStringView(text).sliced(at, n).toUtf8());
            at += n;
        }
        return;
    }
    case TextEncoding::CodePage:
        blocks([&](QByteArrayView b) {
            out.clear();
            appendCodePageAsUtf8(b, crlf, out);
            sink(out);
        });
        return;
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom: {
        Utf8Pieces pieces;
        qsizetype skip = scanned.format.encoding == TextEncoding::Utf8Bom ? 3 : 0;
        blocks([&](QByteArrayView b) {
            const qsizetype n = std::min(skip, b.size());
            skip -= n;
            b = b.sliced(n);
            for (qsizetype at = 0; at < b.size(); at += CachePiece) {
                pieces.feed(b.sliced(at, std::min(CachePiece, b.size() - at)), [&](QByteArrayView piece) {
                    if (!crlf)
                        return sink(piece);
                    withCrlf(piece, out);
                    sink(out);
                });
            }
        });
        if (!pieces.rest().isEmpty()) // a character cut off by the end of the file, kept as it is
            sink(pieces.rest());
        return;
    }
    }
}

TextEncoder::TextEncoder(const TextFormat &format) : format_(format)
{
}

QByteArray TextEncoder::header() const
{
    switch (format_.encoding) {
    case TextEncoding::Utf8Bom: return QByteArray("\xEF\xBB\xBF");
    case TextEncoding::Utf16LE: return QByteArray("\xFF\xFE");
    case TextEncoding::Utf16BE: return QByteArray("\xFE\xFF");
    default: return QByteArray();
    }
}

QByteArrayView TextEncoder::encode(QByteArrayView utf8, QByteArray &scratch, bool &ok)
{
    ok = true;
    const QByteArrayView body = format_.lineBreaks == LineBreaks::LF ? withLf(utf8, lfScratch_) : utf8;
    switch (format_.encoding) {
    case TextEncoding::Utf8:
    case TextEncoding::Utf8Bom: return body;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        scratch = encodeUtf16(RawUtf8::toText(body), format_.encoding == TextEncoding::Utf16BE).sliced(2);
        return scratch;
    case TextEncoding::CodePage: {
        const QString text = RawUtf8::toText(body);
        scratch.resize(text.size());
        char *dst = scratch.data();
        for (const QChar c : text) {
            const int b = codePageByte(c.unicode());
            if (b < 0) {
                ok = false;
                return {};
            }
            *dst++ = char(b);
        }
        return scratch;
    }
    }
    return body;
}

bool canHold(QStringView text, const TextFormat &format)
{
    if (format.encoding != TextEncoding::CodePage)
        return true;
    const char16_t *s = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (s[i] >= 0x80 && codePageByte(s[i]) < 0)
            return false;
    }
    return true;
}

bool canHold(const Editor &editor, const TextFormat &format)
{
    if (format.encoding != TextEncoding::CodePage)
        return true;
    TextEncoder check(format);
    QByteArray scratch;
    bool ok = true;
    editor.readUtf8([&](QByteArrayView block) {
        if (ok)
            check.encode(block, scratch, ok);
    });
    return ok;
}

DecodedText decodeText(const QByteArray &bytes)
{
    const ByteBlocks blocks = blocksOf(bytes);
    const ScannedFormat scanned = scanFormat(blocks);
    QByteArray utf8;
    utf8.reserve(scanned.utf8Bytes);
    decodeBlocks(blocks, scanned, [&](QByteArrayView b) { utf8.append(b); });
    return DecodedText{RawUtf8::toText(utf8), scanned.format};
}

QByteArray encodeText(const QString &text, TextFormat &format)
{
    const QByteArray utf8 = RawUtf8::fromText(text);
    for (;;) {
        TextEncoder encoder(format);
        QByteArray scratch;
        bool ok = false;
        const QByteArrayView body = encoder.encode(utf8, scratch, ok);
        if (ok)
            return encoder.header() + body.toByteArray();
        // Dropping or replacing the character would lose text; UTF-8 holds every character.
        format.encoding = TextEncoding::Utf8;
    }
}

DecodedText readTextFile(const QString &path)
{
    FileBlocks file(path);
    const ByteBlocks blocks = std::ref(file);
    const ScannedFormat scanned = scanFormat(blocks);
    QByteArray utf8;
    decodeBlocks(blocks, scanned, [&](QByteArrayView b) { utf8.append(b); });
    return DecodedText{RawUtf8::toText(utf8), scanned.format};
}

static TextFormat loadText(const ByteBlocks &blocks, Editor &editor)
{
    const ScannedFormat scanned = scanFormat(blocks);
    editor.loadUtf8(
        scanned.utf8Bytes, [&](const Editor::Append &append) { decodeBlocks(blocks, scanned, append); },
        scanned.validUtf8);
    return scanned.format;
}

TextFormat loadTextFile(const QString &path, Editor &editor)
{
    FileBlocks file(path);
    return loadText(std::ref(file), editor);
}

TextFormat loadTextBytes(const QByteArray &bytes, Editor &editor)
{
    return loadText(blocksOf(bytes), editor);
}

void SaveTextFile(const QString &text, const QString &path, TextFormat &format)
{
    TextFormat written = format;
    const QByteArray bytes = encodeText(text, written);
    replaceFile({resolveLinks(path), std::nullopt}, [&](const auto &write) { write(bytes); });
    format = written;
}

void SaveTextFile(const Editor &editor, const QString &path, TextFormat &format)
{
    SaveTextFile(editor, WriteTarget{resolveLinks(path), std::nullopt}, format);
}

void SaveTextFile(const Editor &editor, const WriteTarget &target, TextFormat &format)
{
    // One pass: a character the code page cannot hold abandons the new file (the old one stays)
    // and the text is written again as UTF-8, rather than dropping or replacing the character.
    struct CannotHold {};
    TextFormat written = format;
    QByteArray scratch;
    for (;;) {
        try {
            replaceFile(target, [&](const auto &write) {
                TextEncoder encoder(written);
                write(encoder.header());
                bool ok = true;
                editor.readUtf8([&](QByteArrayView block) {
                    const QByteArrayView bytes = ok ? encoder.encode(block, scratch, ok) : QByteArrayView();
                    if (ok)
                        write(bytes);
                });
                if (!ok)
                    throw CannotHold{};
            });
            format = written;
            return;
        } catch (const CannotHold &) {
            written.encoding = TextEncoding::Utf8;
        }
    }
}
