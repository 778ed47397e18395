// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// UTF-8 as an editor's buffer holds it: bytes that are no UTF-8 are kept as they are. A valid
// sequence is one character (two UTF-16 units when it takes four bytes); every other byte is a
// character of its own, spoken in UTF-16 as the lone low surrogate U+DC00 + byte (U+DC80 to
// U+DCFF). Any byte string thus becomes text and comes back unchanged, and a position counts
// the same units as the editor widget's own line index.
namespace RawUtf8 {

// Character boundaries, found by looking at a few bytes: `at(i)` gives byte i of the buffer.
inline bool isTrailing(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}
// How many bytes the character takes by its lead byte alone; 1 for a byte that leads none.
inline int leadLength(unsigned char lead)
{
    return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}
// Where the character that holds byte `pos` starts: back over at most three trailing bytes, and
// not before `floor`, which counts as a start. A byte with more trailing bytes before it stands
// alone: `pos`. A lead byte found is not checked (see sequenceAt).
template <class At> qsizetype characterStart(qsizetype pos, qsizetype floor, At &&at)
{
    qsizetype p = pos;
    for (int k = 0; k < 3 && p > floor && isTrailing(at(p)); ++k)
        --p;
    return p > floor && isTrailing(at(p)) ? pos : p;
}
// Where the next character starts from byte `pos` on: past at most three trailing bytes, and
// not beyond `ceiling`.
template <class At> qsizetype nextCharacter(qsizetype pos, qsizetype ceiling, At &&at)
{
    for (int k = 0; k < 3 && pos < ceiling && isTrailing(at(pos)); ++k)
        ++pos;
    return pos;
}
// The bytes at the end that begin a character the end cuts off, by its lead byte; 0 when the
// bytes end on a whole character.
inline qsizetype cutOffBytes(QByteArrayView bytes)
{
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    if (n == 0)
        return 0;
    const qsizetype start = characterStart(n - 1, 0, [s](qsizetype i) { return s[i]; });
    return leadLength(s[start]) > n - start ? n - start : 0;
}

// The length of the valid sequence that starts s[0], or 0 when s[0] is a byte of its own.
// `n` bytes are available.
int sequenceAt(const unsigned char *s, qsizetype n);

// Whether the bytes are valid UTF-8 (32 bytes at a time where the processor can).
bool isValid(QByteArrayView bytes);

// UTF-16 units of the text the bytes stand for.
qsizetype units(QByteArrayView bytes);
qsizetype validUnits(QByteArrayView bytes); // of bytes known to be valid UTF-8
// How many bytes the first `count` units take; stops before a four-byte character that the
// count would split, and at the end of the bytes.
// `early` (if given) receives how many units short of `count` it stopped: 1 before a split pair.
qsizetype bytesOfUnits(QByteArrayView bytes, qsizetype count, qsizetype *early = nullptr);
// How many bytes the last `count` units take, counted back from the end, which must not lie
// inside a character; a four-byte character that the count would split is taken whole.
// `early` (if given) receives how many units more than `count` it took: 1 for a split pair.
qsizetype bytesOfLastUnits(QByteArrayView bytes, qsizetype count, qsizetype *early = nullptr);

QString toText(QByteArrayView bytes);
// A lone surrogate that stands for no byte becomes U+FFFD.
QByteArray fromText(QStringView text);

// What a scan of bytes found, for deciding whether they are UTF-8. Feed it pieces that do not
// split a valid sequence (a cut-off one at the end of a piece counts as broken).
struct Census {
    qint64 characters = 0; // valid sequences of two to four bytes
    qint64 brokenRuns = 0; // runs of adjacent bytes that are no UTF-8, each counted once
    qint64 highBytes = 0;  // bytes from 0x80 up
    // Whether valid stretches are counted too; without it, a scan finds only whether the bytes
    // are valid (and the counts hold only for the damaged pieces).
    bool counting = false;
    bool inRun = false;
    void add(QByteArrayView bytes);
    // Valid sequences at least as many as broken runs: the text is UTF-8 with a few damaged
    // places, not text in a code page.
    bool mostlyUtf8() const { return brokenRuns == 0 || characters >= brokenRuns; }

private:
    void addMixed(const unsigned char *s, qsizetype n);
};

} // namespace RawUtf8
