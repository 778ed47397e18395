#include "fileops/textcodec.h"

#include "app/failure.h"
#include "fileops/filewriter.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>
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

// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF, no sequence cut off at
// the end), or false. A leading U+FEFF stays in the text: QString::fromUtf8 would drop it.
bool decodeUtf8(const char *data, qsizetype size, QString &out)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    out = decoder.decode(QByteArrayView(data, size));
    return !decoder.hasError();
}

QString decodeCodePage(const char *data, qsizetype size)
{
    QString out(size, Qt::Uninitialized);
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    const auto *src = reinterpret_cast<const unsigned char *>(data);
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char b = src[i];
        dst[i] = (b >= 0x80 && b < 0xA0) ? Cp1252High[b - 0x80] : char16_t(b);
    }
    return out;
}

// False when a character has no byte in the code page.
bool encodeCodePage(QStringView text, QByteArray &out)
{
    out.resize(text.size());
    char *dst = out.data();
    const char16_t *src = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = codePageByte(src[i]);
        if (b < 0)
            return false;
        dst[i] = char(b);
    }
    return true;
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

bool detectLineBreaks(QStringView text, LineBreaks &breaks)
{
    qsizetype cr = 0, lf = 0, pairs = 0;
    const char16_t *s = text.utf16();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (s[i] > u'\r')
            continue;
        if (s[i] == u'\n') {
            ++lf;
            if (i > 0 && s[i - 1] == u'\r')
                ++pairs;
        } else if (s[i] == u'\r') {
            ++cr;
        }
    }
    if (cr == 0 && lf == 0)
        return false;
    if (cr == 0)
        breaks = LineBreaks::LF;
    else if (cr == pairs && lf == pairs)
        breaks = LineBreaks::CRLF;
    else
        breaks = LineBreaks::AsIs;
    return true;
}

QString lfToCrlf(const QString &text)
{
    const qsizetype lf = text.count(QLatin1Char('\n'));
    QString out(text.size() + lf, Qt::Uninitialized);
    QChar *dst = out.data();
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(QLatin1Char('\n')); at >= 0; at = text.indexOf(QLatin1Char('\n'), from)) {
        std::memcpy(dst, text.constData() + from, (at - from) * sizeof(QChar));
        dst += at - from;
        *dst++ = QLatin1Char('\r');
        *dst++ = QLatin1Char('\n');
        from = at + 1;
    }
    std::memcpy(dst, text.constData() + from, (text.size() - from) * sizeof(QChar));
    return out;
}

QString crlfToLf(const QString &text)
{
    QString out(text.size(), Qt::Uninitialized);
    const QChar *src = text.constData();
    QChar *dst = out.data();
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(QLatin1Char('\n')); at >= 0; at = text.indexOf(QLatin1Char('\n'), at + 1)) {
        if (at == 0 || src[at - 1] != QLatin1Char('\r'))
            continue;
        std::memcpy(dst, src + from, (at - 1 - from) * sizeof(QChar));
        dst += at - 1 - from;
        *dst++ = QLatin1Char('\n');
        from = at + 1;
    }
    std::memcpy(dst, src + from, (text.size() - from) * sizeof(QChar));
    out.truncate(dst + (text.size() - from) - out.constData());
    return out;
}

} // namespace

DecodedText decodeText(const QByteArray &bytes)
{
    DecodedText d;
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    bool decoded = false;
    if (n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF && decodeUtf8(bytes.constData() + 3, n - 3, d.text)) {
        d.format.encoding = TextEncoding::Utf8Bom;
        decoded = true;
    } else if (n >= 2 && ((s[0] == 0xFF && s[1] == 0xFE) || (s[0] == 0xFE && s[1] == 0xFF))) {
        const bool bigEndian = s[0] == 0xFE;
        if (decodeUtf16(s + 2, n - 2, bigEndian, d.text)) {
            d.format.encoding = bigEndian ? TextEncoding::Utf16BE : TextEncoding::Utf16LE;
            decoded = true;
        }
    }
    if (!decoded) {
        if (decodeUtf8(bytes.constData(), n, d.text)) {
            d.format.encoding = TextEncoding::Utf8;
        } else {
            d.format.encoding = TextEncoding::CodePage;
            d.text = decodeCodePage(bytes.constData(), n);
        }
    }
    if (detectLineBreaks(d.text, d.format.lineBreaks) && d.format.lineBreaks == LineBreaks::LF)
        d.text = lfToCrlf(d.text);
    return d;
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

QByteArray encodeText(const QString &text, TextFormat &format)
{
    const QString body = format.lineBreaks == LineBreaks::LF ? crlfToLf(text) : text;
    switch (format.encoding) {
    case TextEncoding::Utf8: return body.toUtf8();
    case TextEncoding::Utf8Bom: return QByteArray("\xEF\xBB\xBF") + body.toUtf8();
    case TextEncoding::Utf16LE: return encodeUtf16(body, false);
    case TextEncoding::Utf16BE: return encodeUtf16(body, true);
    case TextEncoding::CodePage: {
        QByteArray out;
        if (encodeCodePage(body, out))
            return out;
        // Dropping or replacing the character would lose text; UTF-8 holds every character.
        format.encoding = TextEncoding::Utf8;
        return body.toUtf8();
    }
    }
    return body.toUtf8();
}

DecodedText readTextFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Failure(QStringLiteral("File not found"));
    // Folders, pipes and devices are no text files (a pipe would block the window forever).
    if (!info.isFile())
        throw Failure(QStringLiteral("Path/File access error"));
    QFile f(path);
    errno = 0;
    if (!f.open(QIODevice::ReadOnly)) {
        const int error = errno;
        throw Failure(error == ENOENT ? QStringLiteral("File not found") : describeErrno(error, f.errorString()));
    }
    errno = 0;
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw Failure(describeErrno(errno, f.errorString()));
    return decodeText(bytes);
}

void SaveTextFile(const QString &text, const QString &path, TextFormat &format)
{
    TextFormat written = format;
    const QByteArray bytes = encodeText(text, written);
    FileReplacement file(path);
    file.write(bytes);
    file.commit();
    format = written;
}
