// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/textsearch.h"

#include "app/failure.h"
#include "platform/editor.h"

#include <QChar>
#include <QCoreApplication>
#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

namespace {

// For each case folding, the other characters that fold to it.
const std::unordered_map<char32_t, std::vector<char32_t>> &foldedFrom()
{
    static const auto map = [] {
        std::unordered_map<char32_t, std::vector<char32_t>> m;
        for (char32_t c = 0; c <= 0x10FFFF; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            const char32_t f = QChar::toCaseFolded(c);
            if (f != c)
                m[f].push_back(c);
        }
        return m;
    }();
    return map;
}

// The UTF-8 forms of the characters that a case-insensitive comparison takes as one needle character.
using Forms = std::vector<QByteArray>;

QByteArray utf8Of(char32_t c)
{
    return QString::fromUcs4(&c, 1).toUtf8();
}

// The needle character by character, or nothing when it holds a lone surrogate (a kept byte),
// which only the search through text follows.
std::optional<std::vector<Forms>> formsOf(const QString &find)
{
    std::vector<Forms> out;
    for (qsizetype i = 0; i < find.size(); ++i) {
        char32_t c = find[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < find.size() && find[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(find[i].unicode(), find[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(c))
            return std::nullopt;
        const char32_t f = QChar::toCaseFolded(c);
        Forms forms;
        if (QChar::toCaseFolded(f) == f)
            forms.push_back(utf8Of(f));
        if (const auto it = foldedFrom().find(f); it != foldedFrom().end()) {
            for (const char32_t other : it->second)
                forms.push_back(utf8Of(other));
        }
        if (forms.empty())
            return std::nullopt;
        out.push_back(std::move(forms));
    }
    return out;
}

// How often a byte is likely to occur in text, roughly: the needle is looked for by its
// rarest character.
int frequency(unsigned char b)
{
    static const char *const letters = "etaoinshrdlcumwfgypbvkjxqz";
    if (b >= 'A' && b <= 'Z')
        b = static_cast<unsigned char>(b - 'A' + 'a');
    if (const char *at = b >= 'a' && b <= 'z' ? std::strchr(letters, b) : nullptr)
        return 130 - 5 * static_cast<int>(at - letters);
    if (b == ' ')
        return 200;
    return b < 0x80 ? 30 : 20;
}

// Whether the needle matches at `s`.
bool matchesAt(const char *s, const char *end, const std::vector<Forms> &needle)
{
    const char *p = s;
    for (const Forms &forms : needle) {
        const auto it = std::find_if(forms.begin(), forms.end(), [&](const QByteArray &f) {
            return end - p >= f.size() && std::memcmp(p, f.constData(), f.size()) == 0;
        });
        if (it == forms.end())
            return false;
        p += it->size();
    }
    return true;
}

// The byte offset of the first match at or after `startByte`, or -1. The bytes of the buffer
// are searched where they lie, by the needle's rarest character; each form of a character is
// whole UTF-8, so a match found in the bytes is one in the text.
qint64 searchBytes(const Editor &editor, const std::vector<Forms> &needle, qint64 startByte)
{
    // The anchor: the rarest character, unless the bytes before it could take too many lengths.
    size_t anchor = 0;
    int rarest = INT_MAX;
    std::set<qsizetype> prefixes{0}, anchorPrefixes{0};
    for (size_t i = 0; i < needle.size() && prefixes.size() <= 8; ++i) {
        std::set<unsigned char> firsts;
        for (const QByteArray &f : needle[i])
            firsts.insert(static_cast<unsigned char>(f[0]));
        int score = 0;
        for (const unsigned char b : firsts)
            score += frequency(b);
        if (score < rarest) {
            rarest = score;
            anchor = i;
            anchorPrefixes = prefixes;
        }
        std::set<qsizetype> next;
        for (const qsizetype p : prefixes) {
            for (const QByteArray &f : needle[i])
                next.insert(p + f.size());
        }
        prefixes = std::move(next);
    }
    std::set<char> firsts;
    for (const QByteArray &f : needle[anchor])
        firsts.insert(f[0]);
    qsizetype longest = 0;
    for (const Forms &forms : needle) {
        longest += std::max_element(forms.begin(), forms.end(), [](const QByteArray &a, const QByteArray &b) {
                       return a.size() < b.size();
                   })->size();
    }
    const qsizetype maxPrefix = *anchorPrefixes.rbegin();

    constexpr qint64 Window = 1 << 20;
    const qint64 total = editor.utf8Length();
    qint64 found = -1;
    for (qint64 w = startByte; w < total && found < 0; w += Window) {
        editor.readUtf8At(w, Window + longest, [&](QByteArrayView bytes) {
            const char *base = bytes.data(), *end = base + bytes.size();
            const qsizetype starts = std::min<qsizetype>(Window, bytes.size()); // matches start in this window
            qsizetype best = -1;
            for (const char b : firsts) {
                const char *stop = base + std::min<qsizetype>(bytes.size(), starts + maxPrefix);
                for (const char *p = base; p < stop; ++p) {
                    p = static_cast<const char *>(std::memchr(p, b, stop - p));
                    if (!p || (best >= 0 && p - base - maxPrefix >= best))
                        break;
                    for (const qsizetype before : anchorPrefixes) {
                        const qsizetype s = p - base - before;
                        if (s >= 0 && s < starts && (best < 0 || s < best) && matchesAt(base + s, end, needle))
                            best = s;
                    }
                }
            }
            if (best >= 0)
                found = w + best;
        });
    }
    return found;
}

} // namespace

int searchText(const Editor &editor, const QString &find, int start)
{
    if (start < 1)
        throw Failure(QCoreApplication::translate("Failure", "Invalid procedure call or argument"));
    if (find.isEmpty() || start > editor.textLength())
        return 0;
    if (const auto needle = formsOf(find)) {
        qint64 from = editor.utf8Offset(start - 1);
        if (editor.positionOfUtf8(from) < start - 1) // inside a surrogate pair: from the next character
            from = editor.utf8Offset(start);
        const qint64 at = searchBytes(editor, *needle, from);
        return at < 0 ? 0 : editor.positionOfUtf8(at) + 1;
    }
    // A match across a block boundary is looked for in the carried end of the block before
    // joined to the start of this one; then the block itself is searched where it lies. The
    // carried end starts on a whole character: folding a low surrogate depends on the high one
    // before it.
    QString carried;
    int carriedAt = start - 1;
    int found = 0;
    editor.readText(start - 1, [&](int position, QStringView block) {
        if (!carried.isEmpty()) {
            const QString joint = carried + block.left(find.size()).toString();
            const qsizetype at = joint.indexOf(find, 0, Qt::CaseInsensitive);
            if (at >= 0 && at < carried.size()) {
                found = carriedAt + static_cast<int>(at) + 1;
                return false;
            }
        }
        // The first block may start one unit early, with the surrogate pair `start` falls in.
        const qsizetype at = block.indexOf(find, std::max(0, start - 1 - position), Qt::CaseInsensitive);
        if (at >= 0) {
            found = position + static_cast<int>(at) + 1;
            return false;
        }
        const QString window =
            block.size() >= find.size() + 1 ? block.right(find.size() + 1).toString() : carried + block.toString();
        qsizetype keep = std::min(window.size(), find.size());
        if (keep < window.size() && window[window.size() - keep].isLowSurrogate())
            ++keep;
        carried = window.right(keep);
        carriedAt = position + static_cast<int>(block.size()) - static_cast<int>(keep);
        return true;
    });
    return found;
}
