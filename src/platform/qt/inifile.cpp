// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/inifile.h"

#include "platform/rawutf8.h"

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView s)
{
    while (!s.isEmpty() && isSpace(s.front()))
        s = s.sliced(1);
    while (!s.isEmpty() && (isSpace(s.back()) || s.back() == '\r'))
        s.chop(1);
    return s;
}

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

QByteArray iniEscaped(const QString &value)
{
    // A leading "@" marks QSettings' typed values; a string starting with one gets a second.
    const QString s = value.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + value : value;
    QByteArray out;
    bool quotes = false;
    bool escapeNextIfHex = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s.at(i).unicode();
        if (c == ';' || c == ',' || c == '=')
            quotes = true;
        if (escapeNextIfHex && c < 0x80 && isHex(char(c))) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeNextIfHex = false;
        switch (c) {
        case 0:
            out += "\\0";
            escapeNextIfHex = true;
            break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"':
        case '\\':
            out += '\\';
            out += char(c);
            break;
        default:
            if (c <= 0x1F) {
                out += "\\x" + QByteArray::number(c, 16);
                escapeNextIfHex = true;
            } else if (c < 0x80) {
                out += char(c);
            } else if (c >= 0xDC80 && c <= 0xDCFF) {
                out += char(c - 0xDC00); // a byte of a file name that is no UTF-8, kept as it is
            } else if (QChar::isHighSurrogate(c) && i + 1 < s.size()) {
                out += s.mid(i, 2).toUtf8();
                ++i;
            } else {
                out += QString(QChar(c)).toUtf8();
            }
        }
    }
    if (quotes || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out;
}

QString iniUnescaped(QByteArrayView raw)
{
    QString out;
    qsizetype i = 0;
    while (i < raw.size() && isSpace(raw[i]))
        ++i;
    bool inQuotes = false, quoted = false;
    qsizetype keep = 0; // trailing spaces before here are part of the value
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i >= raw.size())
                break;
            const char e = raw[i++];
            static const char simple[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                             {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                             {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
            bool done = false;
            for (const auto &pair : simple) {
                if (e == pair[0]) {
                    out += QLatin1Char(pair[1]);
                    done = true;
                }
            }
            if (!done && e == 'x') {
                char16_t v = 0;
                while (i < raw.size() && isHex(raw[i])) {
                    const char h = raw[i++];
                    v = char16_t(v * 16 + (h <= '9' ? h - '0' : (h | 0x20) - 'a' + 10));
                }
                out += QChar(v);
            } else if (!done && e >= '0' && e <= '7') {
                char16_t v = char16_t(e - '0');
                while (i < raw.size() && raw[i] >= '0' && raw[i] <= '7')
                    v = char16_t(v * 8 + (raw[i++] - '0'));
                out += QChar(v);
            } else if (!done) {
                // Unknown escapes stay as written: a hand-typed C:\Users keeps its backslash.
                out += QLatin1Char('\\');
                out += RawUtf8::toText(raw.sliced(i - 1, 1));
            }
            keep = out.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            while (!inQuotes && i < raw.size() && isSpace(raw[i]))
                ++i;
            keep = out.size();
        } else if (c == ';' && !inQuotes) {
            break; // the rest of the line is a comment
        } else {
            qsizetype j = i + 1;
            while (j < raw.size() && raw[j] != '\\' && raw[j] != '"' && raw[j] != ';')
                ++j;
            out += RawUtf8::toText(raw.sliced(i, j - i));
            i = j;
        }
    }
    if (!quoted) {
        while (out.size() > keep && (out.back() == QLatin1Char(' ') || out.back() == QLatin1Char('\t')))
            out.chop(1);
    }
    if (out.startsWith(QStringLiteral("@@")))
        out.remove(0, 1);
    return out;
}

IniFile::IniFile(const QByteArray &bytes) : bytes_(bytes)
{
    parse();
}

void IniFile::parse()
{
    entries_.clear();
    sections_.clear();
    parsed_ = !bytes_.contains('\0');
    QByteArray section;
    bool continued = false;
    qsizetype at = bytes_.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (parsed_ && at < bytes_.size()) {
        qsizetype end = bytes_.indexOf('\n', at);
        end = end < 0 ? bytes_.size() : end + 1;
        const QByteArrayView raw = QByteArrayView(bytes_).sliced(at, end - at);
        QByteArrayView content = raw;
        while (!content.isEmpty() && (content.back() == '\n' || content.back() == '\r'))
            content.chop(1);
        const QByteArrayView line = trimmed(content);
        const bool wasContinued = continued;
        // An odd number of backslashes at the end carries the value on to the next line.
        qsizetype backslashes = 0;
        while (backslashes < content.size() && content[content.size() - 1 - backslashes] == '\\')
            ++backslashes;
        continued = backslashes % 2 == 1;
        if (wasContinued) {
            if (!sections_.empty())
                sections_.back().end = end;
        } else if (line.isEmpty() || line.front() == ';' || line.front() == '#') {
            continued = false;
        } else if (line.front() == '[') {
            const qsizetype close = line.indexOf(']');
            if (close < 0) {
                parsed_ = false;
                break;
            }
            section = trimmed(line.sliced(1, close - 1)).toByteArray();
            sections_.push_back({section, end});
            continued = false;
        } else {
            const qsizetype equals = content.indexOf('=');
            if (equals <= 0 || trimmed(content.first(equals)).isEmpty()) {
                parsed_ = false;
                break;
            }
            qsizetype valueStart = at + equals + 1;
            while (valueStart < at + content.size() && isSpace(bytes_[valueStart]))
                ++valueStart;
            entries_.push_back(
                {section, trimmed(content.first(equals)).toByteArray(), valueStart, at + content.size()});
            if (!sections_.empty() && sections_.back().name == section)
                sections_.back().end = end;
        }
        at = end;
    }
    if (!parsed_) {
        entries_.clear();
        sections_.clear();
    }
}

std::optional<QString> IniFile::value(const QString &section, const QString &key) const
{
    const QByteArray s = section.toUtf8(), k = key.toUtf8();
    for (auto e = entries_.rbegin(); e != entries_.rend(); ++e) {
        if (e->section == s && e->key == k)
            return iniUnescaped(QByteArrayView(bytes_).sliced(e->valueStart, e->valueEnd - e->valueStart));
    }
    return std::nullopt;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    if (!parsed_ || this->value(section, key) == value)
        return;
    const QByteArray s = section.toUtf8(), k = key.toUtf8();
    const QByteArray eol = bytes_.contains("\r\n") ? "\r\n" : "\n";
    const QByteArray line = k + '=' + iniEscaped(value);
    for (auto e = entries_.rbegin(); e != entries_.rend(); ++e) {
        if (e->section == s && e->key == k) {
            bytes_.replace(e->valueStart, e->valueEnd - e->valueStart, iniEscaped(value));
            parse();
            return;
        }
    }
    for (auto sec = sections_.rbegin(); sec != sections_.rend(); ++sec) {
        if (sec->name == s) {
            // A last line without its line break gets one before the new line.
            const bool broken = sec->end == bytes_.size() && !bytes_.isEmpty() && !bytes_.endsWith('\n');
            bytes_.insert(sec->end, (broken ? eol : QByteArray()) + line + eol);
            parse();
            return;
        }
    }
    if (!bytes_.isEmpty() && !bytes_.endsWith('\n'))
        bytes_ += eol;
    if (!bytes_.isEmpty())
        bytes_ += eol;
    bytes_ += '[' + s + ']' + eol + line + eol;
    parse();
}
