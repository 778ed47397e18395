// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rawutf8.h"
#include "platform/utf16index.h"

#include <QString>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

struct ByteBuffer : Utf16Index::Buffer {
    QByteArray data;
    long size() const override { return data.size(); }
    const char *bytes(long position, long length) const override
    {
        EXPECT_TRUE(position >= 0 && length >= 0 && position + length <= data.size()) << position << "+" << length;
        return data.constData() + position;
    }
};

// What the index must answer, read off the text the buffer stands for, one unit at a time.
struct Expected {
    std::vector<int> unitOfByte;  // a byte inside a character: the character's first unit
    std::vector<long> byteOfUnit; // the second unit of a pair: the pair's first byte
    std::vector<bool> secondOfPair;

    explicit Expected(const QByteArray &bytes)
    {
        const QString text = RawUtf8::toText(bytes);
        const char16_t *t = reinterpret_cast<const char16_t *>(text.constData());
        const qsizetype n = text.size();
        unitOfByte.assign(bytes.size() + 1, -1);
        byteOfUnit.assign(n + 1, -1);
        secondOfPair.assign(n + 1, false);
        int *unit = unitOfByte.data();
        long *byte = byteOfUnit.data();
        long b = 0;
        for (qsizetype u = 0; u < n && b < bytes.size(); ++u) {
            const char16_t c = t[u];
            const bool pair = QChar::isHighSurrogate(c) && u + 1 < n && QChar::isLowSurrogate(t[u + 1]);
            const int length = pair ? 4 : (c >= 0xDC80 && c <= 0xDCFF) || c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
            byte[u] = b;
            if (pair) {
                byte[u + 1] = b;
                secondOfPair[u + 1] = true;
            }
            for (int k = 0; k < length && b < bytes.size(); ++k)
                unit[b++] = static_cast<int>(u);
            u += pair ? 1 : 0;
        }
        EXPECT_EQ(b, bytes.size()) << "the model misread the bytes";
        unit[bytes.size()] = static_cast<int>(n);
        byte[n] = bytes.size();
    }
    int units() const { return static_cast<int>(byteOfUnit.size()) - 1; }
};

// Text of every kind the buffer holds: ASCII, two-, three- and four-byte characters, bytes that
// are no UTF-8 (alone, or a lead that a later insertion may complete or split).
class Pieces {
public:
    explicit Pieces(unsigned seed) : random_(seed) {}
    QByteArray make(qsizetype atLeast, bool valid)
    {
        static const char *const characters[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xF0\x9F\x92\xA9",
                                                 "\r\n",     "\xED\x9F\xBF", "\xF4\x8F\xBF\xBF"};
        static const char *const broken[] = {"\xF0\x9F", "\xE2\x82", "\x98\x80", "\xC3", "\xED\xA0\x80", "\xC0\xAF"};
        QByteArray out;
        while (out.size() < atLeast) {
            const int kind = pick(10);
            if (kind < 4) {
                out.append(QByteArray(1 + pick(40), char('a' + pick(26))));
            } else if (kind < 8 || valid) {
                out.append(characters[pick(std::size(characters))]);
            } else if (kind == 8) {
                out.append(char(0x80 + pick(0x80)));
            } else {
                out.append(broken[pick(std::size(broken))]);
            }
        }
        return out;
    }
    int pick(qsizetype n) { return std::uniform_int_distribution<int>(0, static_cast<int>(n) - 1)(random_); }

private:
    std::mt19937 random_;
};

class IndexModel {
public:
    explicit IndexModel(unsigned seed) : pieces(seed) {}

    // Loads valid UTF-8 in blocks that end on whole characters, as a file is read in.
    void load(const QByteArray &bytes)
    {
        buffer.data.clear();
        index.forget();
        for (qsizetype at = 0; at < bytes.size();) {
            qsizetype n = std::min<qsizetype>(5000 + pieces.pick(20000), bytes.size() - at);
            n -= RawUtf8::cutOffBytes(QByteArrayView(bytes).sliced(at, n));
            buffer.data.append(bytes.sliced(at, n));
            index.appended(QByteArrayView(bytes).sliced(at, n));
            at += n;
        }
    }
    // Replaces the buffer with any bytes at all, counted afresh.
    void refill(const QByteArray &bytes)
    {
        buffer.data = bytes;
        index.recount();
    }
    // Replaces `length` bytes at `position` as the editor reports a change: over whole characters.
    void replace(long position, long length, const QByteArray &inserted)
    {
        const QByteArray removed = buffer.data.mid(position, length);
        buffer.data.replace(position, length, inserted);
        const long insertedEnd = position + inserted.size();
        long from = position, to = insertedEnd;
        index.wholeCharacters(from, to);
        const QByteArray before =
            buffer.data.mid(from, position - from) + removed + buffer.data.mid(insertedEnd, to - insertedEnd);
        index.replaced(from, to, before);
    }
    // Asks the index about positions near `around` and anywhere, in an order that leaves known
    // positions behind it, and compares each answer with the text.
    void check(long around)
    {
        const Expected expected(buffer.data);
        ASSERT_EQ(index.length(), expected.units());
        const long bytes = buffer.data.size();
        std::vector<long> bytePositions = {0, bytes, around - 1, around, around + 1, around + 4};
        for (int k = 0; k < 16; ++k)
            bytePositions.push_back(pieces.pick(bytes + 1));
        for (const long b : bytePositions) {
            if (b < 0 || b > bytes)
                continue;
            ASSERT_EQ(index.toUtf16(b), expected.unitOfByte[b]) << "byte " << b << " of " << bytes;
        }
        const int units = expected.units();
        const int aroundUnit = expected.unitOfByte[std::clamp(around, 0L, bytes)];
        std::vector<int> unitPositions = {0, units, aroundUnit - 1, aroundUnit, aroundUnit + 1, aroundUnit + 2};
        for (int k = 0; k < 16; ++k)
            unitPositions.push_back(pieces.pick(units + 1));
        for (const int u : unitPositions) {
            if (u < 0 || u > units)
                continue;
            int landed = -1;
            ASSERT_EQ(index.toBytes(u, &landed), expected.byteOfUnit[u]) << "unit " << u << " of " << units;
            ASSERT_EQ(landed, expected.secondOfPair[u] ? u - 1 : u) << "unit " << u;
        }
    }

    Pieces pieces;
    ByteBuffer buffer;
    Utf16Index index{buffer};
};

} // namespace

// Typing, deleting and pasting at random places of long lines of mixed text, loaded whole or
// kept byte for byte: after every change each position asked for agrees with the text.
TEST(Utf16Index, AgreesWithTheTextAfterEveryChange)
{
    for (unsigned seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        IndexModel model(seed);
        Pieces &p = model.pieces;
        if (seed % 2)
            model.load(p.make(60000, true));
        else
            model.refill(p.make(60000, false));
        ASSERT_NO_FATAL_FAILURE(model.check(0));
        for (int step = 0; step < 60; ++step) {
            SCOPED_TRACE(step);
            const long size = model.buffer.data.size();
            const long at = p.pick(size + 1);
            const int kind = p.pick(10);
            if (kind < 4) { // typing
                model.replace(at, 0, p.make(1, false).left(1 + p.pick(4)));
            } else if (kind < 7) { // deleting, a little or much
                model.replace(at, std::min<long>(size - at, kind == 6 ? p.pick(30000) : 1 + p.pick(6)), {});
            } else if (kind < 9) { // pasting, long enough to leave room for several checkpoints
                model.replace(at, std::min<long>(size - at, p.pick(20)),
                              p.make(kind == 8 ? 34000 + p.pick(20000) : 100, false));
            } else { // replacing a character by another
                model.replace(at, std::min<long>(size - at, 4), p.make(1, false));
            }
            ASSERT_NO_FATAL_FAILURE(model.check(at));
        }
    }
}

// A file loaded in blocks and then changed: the positions counted while loading are shifted by
// an edit in front of them.
TEST(Utf16Index, CountsWhatIsLoadedAndShiftsItOnAChange)
{
    IndexModel model(7);
    QByteArray text;
    for (int i = 0; i < 20000; ++i)
        text.append(i % 3 ? "ab\xF0\x9F\x98\x80" : "\xE2\x82\xAC");
    model.load(text);
    ASSERT_NO_FATAL_FAILURE(model.check(static_cast<long>(text.size()) - 10));
    // A kept byte in front turns into a character with the bytes behind it, and back.
    model.replace(0, 0, "\xF0");
    ASSERT_NO_FATAL_FAILURE(model.check(0));
    model.replace(1, 0, "\x9F\x98\x80");
    ASSERT_NO_FATAL_FAILURE(model.check(text.size() / 2));
    model.replace(2, 1, {});
    ASSERT_NO_FATAL_FAILURE(model.check(text.size()));
    EXPECT_EQ(model.index.toUtf16(2), 2); // the "F0 9F" before it stand alone, one unit each
}
