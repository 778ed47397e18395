// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/searcher.h"

#include "platform/failure.h"
#include "platform/rawutf8.h"

#include <QChar>
#include <QCoreApplication>
#include <algorithm>
#include <cctype>
#include <cstring>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

namespace {

const unsigned char *bytesOf(QByteArrayView text)
{
    return reinterpret_cast<const unsigned char *>(text.data());
}

// The character that the valid sequence at `at` stands for, or nothing for a kept byte.
bool decodeAt(QByteArrayView text, qint64 at, char32_t &c)
{
    const unsigned char *s = bytesOf(text) + at;
    const int n = RawUtf8::sequenceAt(s, text.size() - at);
    if (n == 0)
        return false;
    if (n == 1)
        c = s[0];
    else if (n == 2)
        c = (char32_t(s[0] & 0x1F) << 6) | (s[1] & 0x3F);
    else if (n == 3)
        c = (char32_t(s[0] & 0x0F) << 12) | (char32_t(s[1] & 0x3F) << 6) | (s[2] & 0x3F);
    else
        c = (char32_t(s[0] & 0x07) << 18) | (char32_t(s[1] & 0x3F) << 12) | (char32_t(s[2] & 0x3F) << 6) |
            (s[3] & 0x3F);
    return true;
}

// The start of the valid sequence that `pos` lies inside, or `pos` when it starts a character.
qint64 enclosingStart(QByteArrayView text, qint64 pos)
{
    if (pos <= 0 || pos >= text.size())
        return pos;
    const unsigned char *s = bytesOf(text);
    const qint64 start = RawUtf8::characterStart(pos, 0, [s](qsizetype i) { return s[i]; });
    if (start < pos && RawUtf8::sequenceAt(s + start, text.size() - start) > pos - start)
        return start;
    return pos;
}

bool wordBefore(QByteArrayView text, qint64 pos)
{
    if (pos <= 0)
        return false;
    const qint64 start = enclosingStart(text, pos - 1);
    const int n = RawUtf8::sequenceAt(bytesOf(text) + start, text.size() - start);
    char32_t c = 0;
    return n > 0 && start + n == pos && decodeAt(text, start, c) && isWordCharacter(c);
}

bool wordAt(QByteArrayView text, qint64 pos)
{
    char32_t c = 0;
    return pos < text.size() && decodeAt(text, pos, c) && isWordCharacter(c);
}

// The pattern that matches `literal` as it is.
QByteArray escaped(const QByteArray &literal)
{
    QByteArray out;
    out.reserve(literal.size() * 2);
    for (const char ch : literal) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80 && !std::isalnum(b))
            out += '\\';
        out += ch;
    }
    return out;
}

} // namespace

bool isWordCharacter(char32_t c)
{
    return c == U'_' || QChar::isLetterOrNumber(c);
}

qint64 nextCharacterStart(QByteArrayView text, qint64 at)
{
    if (at >= text.size())
        return at + 1;
    const unsigned char *s = bytesOf(text);
    if (s[at] == '\r' && at + 1 < text.size() && s[at + 1] == '\n')
        return at + 2;
    return at + std::max(1, RawUtf8::sequenceAt(s + at, text.size() - at));
}

struct Searcher::Pcre {
    pcre2_code *code = nullptr;
    pcre2_match_data *data = nullptr;
    pcre2_match_context *context = nullptr;
    pcre2_jit_stack *stack = nullptr;
    ~Pcre()
    {
        pcre2_jit_stack_free(stack);
        pcre2_match_context_free(context);
        pcre2_match_data_free(data);
        pcre2_code_free(code);
    }
};

Searcher::Searcher(const SearchOptions &options) : options_(options)
{
    const QByteArray what = RawUtf8::fromText(options.what);
    if (what.isEmpty())
        return;
    // A literal of kept bytes can only be matched byte for byte.
    if (!options.regex && (options.matchCase || !RawUtf8::isValid(what))) {
        needle_ = what;
        return;
    }
    QByteArray pattern = options.regex ? what : escaped(what);
    static const QByteArray WordBefore = "(?<![\\p{L}\\p{N}_])(?:", WordAfter = ")(?![\\p{L}\\p{N}_])";
    if (options.wholeWord)
        pattern = WordBefore + pattern + WordAfter;
    uint32_t flags = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_MULTILINE | PCRE2_UCP;
    if (!options.matchCase)
        flags |= PCRE2_CASELESS;
    pcre2_compile_context *compile = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(compile, PCRE2_NEWLINE_ANYCRLF);
    int code = 0;
    PCRE2_SIZE offset = 0;
    pcre_ = std::make_unique<Pcre>();
    pcre_->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.constData()), pattern.size(), flags, &code,
                                &offset, compile);
    pcre2_compile_context_free(compile);
    if (!pcre_->code) {
        PCRE2_UCHAR message[256];
        pcre2_get_error_message(code, message, sizeof message);
        // The offset counts bytes of the pattern as compiled; the user counts characters of his.
        const qint64 shift = options.wholeWord ? WordBefore.size() : 0;
        const qint64 at = std::clamp<qint64>(qint64(offset) - shift, 0, what.size());
        error_ = QCoreApplication::translate("Failure", "The regular expression is not valid: %1 (at character %2).")
                     .arg(QString::fromUtf8(reinterpret_cast<const char *>(message)))
                     .arg(RawUtf8::units(QByteArrayView(what).first(at)) + 1);
        pcre_.reset();
        return;
    }
    pcre2_jit_compile(pcre_->code, PCRE2_JIT_COMPLETE); // without JIT, the interpreter matches
    pcre_->data = pcre2_match_data_create_from_pattern(pcre_->code, nullptr);
    pcre_->context = pcre2_match_context_create(nullptr);
    pcre_->stack = pcre2_jit_stack_create(32 * 1024, 8 * 1024 * 1024, nullptr);
    if (pcre_->stack)
        pcre2_jit_stack_assign(pcre_->context, nullptr, pcre_->stack);
}

Searcher::~Searcher() = default;

bool Searcher::wordEdges(QByteArrayView text, qint64 start, qint64 end) const
{
    return !wordBefore(text, start) && !wordAt(text, end);
}

ByteMatch Searcher::next(QByteArrayView text, qint64 from) const
{
    last_ = ByteMatch{};
    if (!usable() || from > text.size())
        return last_;
    if (pcre_) {
        // A loop, not a call of itself: an empty match inside every "\r\n" of a long file would
        // otherwise nest a call per line.
        for (;;) {
            const int rc = pcre2_match(pcre_->code, bytesOf(text), text.size(), from, 0, pcre_->data, pcre_->context);
            if (rc == PCRE2_ERROR_NOMATCH)
                return last_;
            if (rc < 0) {
                PCRE2_UCHAR message[256];
                pcre2_get_error_message(rc, message, sizeof message);
                throw Failure(QCoreApplication::translate("Failure", "The search stopped: %1")
                                  .arg(QString::fromUtf8(reinterpret_cast<const char *>(message))));
            }
            const PCRE2_SIZE *ov = pcre2_get_ovector_pointer(pcre_->data);
            const qint64 start = qint64(ov[0]), end = std::max(start, qint64(ov[1]));
            // "\r" alone is a line end too, so "^" or "$" could find the place inside "\r\n".
            if (start == end && start > 0 && start < text.size() && text[start - 1] == '\r' && text[start] == '\n') {
                from = start + 1;
                continue;
            }
            last_ = ByteMatch{start, end};
            return last_;
        }
    }
    const char *base = text.data();
    for (qint64 at = from; at + needle_.size() <= text.size();) {
        const void *hit = memmem(base + at, text.size() - at, needle_.constData(), needle_.size());
        if (!hit)
            break;
        const qint64 start = static_cast<const char *>(hit) - base;
        const qint64 end = start + needle_.size();
        if (enclosingStart(text, start) == start && enclosingStart(text, end) == end &&
            (!options_.wholeWord || wordEdges(text, start, end))) {
            last_ = ByteMatch{start, end};
            break;
        }
        at = start + 1;
    }
    return last_;
}

ByteMatch Searcher::previous(QByteArrayView text, qint64 before) const
{
    before = std::min<qint64>(before, text.size());
    for (qint64 window = 1 << 16;; window *= 4) {
        const qint64 lo = enclosingStart(text, std::max<qint64>(0, before - window));
        ByteMatch best;
        for (qint64 pos = lo; pos <= text.size();) {
            const ByteMatch m = next(text, pos);
            if (!m.found() || m.start >= before)
                break;
            best = m;
            pos = m.end > m.start ? m.end : nextCharacterStart(text, m.end);
        }
        if (best.found() || lo == 0) {
            if (best.found())
                next(text, best.start); // its groups, for a replacement
            return best;
        }
    }
}

ByteMatch Searcher::group(int n) const
{
    if (!last_.found())
        return {};
    if (!pcre_)
        return n == 0 ? last_ : ByteMatch{};
    if (n < 0 || n >= int(pcre2_get_ovector_count(pcre_->data)))
        return {};
    const PCRE2_SIZE *ov = pcre2_get_ovector_pointer(pcre_->data);
    if (ov[2 * n] == PCRE2_UNSET)
        return {};
    return ByteMatch{qint64(ov[2 * n]), std::max(qint64(ov[2 * n]), qint64(ov[2 * n + 1]))};
}

Replacement::Replacement(const QString &with, bool regex, QByteArray lineBreak)
{
    if (!regex) {
        parts_.push_back(Part{RawUtf8::fromText(with), -1});
        return;
    }
    QString literal;
    const auto flush = [&] {
        if (!literal.isEmpty())
            parts_.push_back(Part{RawUtf8::fromText(literal), -1});
        literal.clear();
    };
    for (qsizetype i = 0; i < with.size(); ++i) {
        const QChar c = with[i];
        if (c != QLatin1Char('\\') || i + 1 == with.size()) {
            literal += c;
            continue;
        }
        const QChar e = with[++i];
        if (e >= QLatin1Char('0') && e <= QLatin1Char('9')) {
            flush();
            parts_.push_back(Part{{}, e.unicode() - '0'});
        } else if (e == QLatin1Char('n')) {
            flush();
            parts_.push_back(Part{lineBreak, -1});
        } else if (e == QLatin1Char('t')) {
            literal += QLatin1Char('\t');
        } else if (e == QLatin1Char('\\')) {
            literal += QLatin1Char('\\');
        } else {
            literal += c;
            literal += e;
        }
    }
    flush();
}

void Replacement::appendTo(QByteArray &out, QByteArrayView text, const Searcher &searcher) const
{
    for (const Part &part : parts_) {
        if (part.group < 0) {
            out += part.bytes;
        } else if (const ByteMatch g = searcher.group(part.group); g.found()) {
            out.append(text.data() + g.start, g.end - g.start);
        }
    }
}
