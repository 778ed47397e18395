// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <vector>

// Byte positions of a UTF-8 buffer (as RawUtf8 reads it: a byte that is no UTF-8 is a unit of its
// own) and UTF-16 offsets of its text, both ways, counted from the nearest known position:
// checkpoints every few kilobytes, in byte order, and the positions asked for last. A change
// shifts those after it and drops those it touched; checkpoints missing after a long insertion
// are filled in when a position near them is asked for.
class Utf16Index {
public:
    // The buffer the index counts in, as its owner holds it.
    class Buffer {
    public:
        virtual long size() const = 0;
        // A pointer to `length` bytes at `position`, valid until the buffer changes.
        virtual const char *bytes(long position, long length) const = 0;

    protected:
        ~Buffer() = default;
    };

    explicit Utf16Index(const Buffer &buffer) : buffer_(buffer) {}

    // A position inside a character counts as the character's start.
    int toUtf16(long bytePos) const;
    // `landed` (if given) receives the position of the byte offset returned: one less than
    // `utf16` inside a surrogate pair.
    long toBytes(int utf16, int *landed = nullptr) const;
    int length() const { return static_cast<int>(units_); }

    // The buffer is empty again: no position known so far holds.
    void forget();
    // The buffer was replaced: counts it afresh.
    void recount();
    // `block` was appended to the buffer: valid UTF-8 in whole characters, counted while it is
    // in the cache.
    void appended(QByteArrayView block);
    // Grows the stretch [from, to) of the buffer to take in the characters at its edges: a byte
    // kept alone can join the bytes across a change into one character, or a character can fall
    // apart.
    void wholeCharacters(long &from, long &to) const;
    // `removed` stood at `start` and the bytes from `start` to `end` took its place; the stretch
    // covers whole characters before and after the change (see wholeCharacters).
    void replaced(long start, long end, QByteArrayView removed);

private:
    static constexpr long CheckpointBytes = 16384;
    struct Anchor {
        long byte = -1;
        long unit = 0;
    };
    // The known position nearest to `value`, measured in bytes or in units.
    Anchor nearest(long Anchor::*measure, long value) const;
    // Adds checkpoints between checkpoint i and the next where they lie far apart.
    void fillCheckpoints(size_t i) const;
    void remember(long byte, long unit) const;
    long unitsBetween(long from, long to) const;
    long characterStart(long byte) const;

    const Buffer &buffer_;
    mutable std::vector<Anchor> checkpoints_{Anchor{0, 0}};
    mutable Anchor anchors_[4];
    mutable int nextAnchor_ = 0;
    long units_ = 0;
};
