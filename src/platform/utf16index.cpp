// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/utf16index.h"

#include "platform/rawutf8.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

const unsigned char *unsignedBytes(const char *s)
{
    return reinterpret_cast<const unsigned char *>(s);
}

} // namespace

void Utf16Index::forget()
{
    checkpoints_.assign(1, Anchor{0, 0});
    for (Anchor &a : anchors_)
        a = Anchor{};
    units_ = 0;
}

void Utf16Index::recount()
{
    forget();
    fillCheckpoints(0);
    units_ = checkpoints_.back().unit + unitsBetween(checkpoints_.back().byte, buffer_.size());
}

void Utf16Index::appended(QByteArrayView block)
{
    const auto *s = unsignedBytes(block.data());
    const long n = block.size();
    const long blockStart = buffer_.size() - n;
    const auto at = [&](qsizetype i) { return s[i - blockStart]; };
    long pos = blockStart;
    for (;;) {
        long next = checkpoints_.back().byte + CheckpointBytes;
        if (next >= blockStart + n) {
            units_ += RawUtf8::validUnits(QByteArrayView(s + (pos - blockStart), blockStart + n - pos));
            return;
        }
        next = RawUtf8::nextCharacter(next, blockStart + n, at);
        units_ += RawUtf8::validUnits(QByteArrayView(s + (pos - blockStart), next - pos));
        checkpoints_.push_back(Anchor{next, units_});
        pos = next;
    }
}

void Utf16Index::wholeCharacters(long &from, long &to) const
{
    const long length = buffer_.size();
    if (from > 0) {
        // A character takes at most four bytes: one that ends before from - 3 stays whole.
        const long first = std::max(0L, from - 6);
        const auto *s = unsignedBytes(buffer_.bytes(first, from - first));
        if (s[from - 1 - first] >= 0x80)
            from = RawUtf8::characterStart(std::max(0L, from - 3), 0, [&](qsizetype i) { return s[i - first]; });
    }
    if (to < length) {
        const long start = to;
        const auto *s = unsignedBytes(buffer_.bytes(start, std::min(3L, length - start)));
        to = RawUtf8::nextCharacter(start, length, [&](qsizetype i) { return s[i - start]; });
    }
}

void Utf16Index::replaced(long start, long end, QByteArrayView removed)
{
    const long oldTo = start + removed.size();
    const long bytesAdded = end - oldTo;
    const long unitsAdded = unitsBetween(start, end) - RawUtf8::units(removed);
    // Positions up to the change keep their place; those it covered are gone; those after it move.
    const auto shift = [&](Anchor &a) {
        if (a.byte <= start)
            return true;
        if (a.byte < oldTo)
            return false;
        a.byte += bytesAdded;
        a.unit += unitsAdded;
        return true;
    };
    std::erase_if(checkpoints_, [&](Anchor &a) { return !shift(a); });
    for (Anchor &a : anchors_) {
        if (!shift(a))
            a = Anchor{};
    }
    units_ += unitsAdded;
}

void Utf16Index::remember(long byte, long unit) const
{
    anchors_[nextAnchor_] = Anchor{byte, unit};
    nextAnchor_ = (nextAnchor_ + 1) % std::size(anchors_);
}

long Utf16Index::unitsBetween(long from, long to) const
{
    return to > from ? RawUtf8::units(QByteArrayView(buffer_.bytes(from, to - from), to - from)) : 0;
}

void Utf16Index::fillCheckpoints(size_t i) const
{
    const long end = i + 1 < checkpoints_.size() ? checkpoints_[i + 1].byte : buffer_.size();
    if (end - checkpoints_[i].byte <= 2 * CheckpointBytes)
        return;
    const long first = checkpoints_[i].byte;
    const auto *text = unsignedBytes(buffer_.bytes(first, end - first));
    const auto at = [&](qsizetype k) { return text[k - first]; };
    std::vector<Anchor> added;
    Anchor point = checkpoints_[i];
    while (end - point.byte > 2 * CheckpointBytes) {
        const long next = RawUtf8::nextCharacter(point.byte + CheckpointBytes, end, at);
        point =
            Anchor{next, point.unit + RawUtf8::units(QByteArrayView(text + (point.byte - first), next - point.byte))};
        added.push_back(point);
    }
    checkpoints_.insert(checkpoints_.begin() + static_cast<long>(i) + 1, added.begin(), added.end());
}

Utf16Index::Anchor Utf16Index::nearest(long Anchor::*measure, long value) const
{
    const auto after = [&] {
        return std::upper_bound(checkpoints_.begin(), checkpoints_.end(), value,
                                [&](long v, const Anchor &a) { return v < a.*measure; });
    };
    auto next = after();
    const size_t i = static_cast<size_t>(next - checkpoints_.begin()) - 1;
    const long gap = (next == checkpoints_.end() ? buffer_.size() : next->byte) - checkpoints_[i].byte;
    if (gap > 2 * CheckpointBytes) {
        fillCheckpoints(i);
        next = after();
    }
    Anchor best = *(next - 1);
    const auto consider = [&](const Anchor &a) {
        if (a.byte >= 0 && std::labs(a.*measure - value) < std::labs(best.*measure - value))
            best = a;
    };
    if (next != checkpoints_.end())
        consider(*next);
    for (const Anchor &a : anchors_)
        consider(a);
    return best;
}

long Utf16Index::characterStart(long byte) const
{
    const long length = buffer_.size();
    if (byte <= 0 || byte >= length)
        return std::clamp(byte, 0L, length);
    const long from = std::max(0L, byte - 3), to = std::min(length, byte + 3);
    const auto *s = unsignedBytes(buffer_.bytes(from, to - from));
    const long q = RawUtf8::characterStart(byte, from, [&](qsizetype k) { return s[k - from]; });
    // Only a valid sequence that reaches the byte holds it.
    return q < byte && RawUtf8::sequenceAt(s + (q - from), to - q) > byte - q ? q : byte;
}

int Utf16Index::toUtf16(long bytePos) const
{
    bytePos = characterStart(bytePos);
    const Anchor from = nearest(&Anchor::byte, bytePos);
    const long unit = from.byte <= bytePos ? from.unit + unitsBetween(from.byte, bytePos)
                                           : from.unit - unitsBetween(bytePos, from.byte);
    if (std::labs(from.byte - bytePos) > 256)
        remember(bytePos, unit);
    return static_cast<int>(unit);
}

long Utf16Index::toBytes(int utf16, int *landed) const
{
    const long length = buffer_.size();
    utf16 = static_cast<int>(std::clamp<long>(utf16, 0, units_));
    if (landed)
        *landed = utf16;
    if (utf16 == 0 || utf16 == units_)
        return utf16 == 0 ? 0 : length;
    const Anchor from = nearest(&Anchor::unit, utf16);
    // A unit takes at most four bytes. Inside a surrogate pair the position is the pair's start.
    qsizetype early = 0;
    long pos;
    if (utf16 >= from.unit) {
        const long span = std::min(4L * (utf16 - from.unit), length - from.byte);
        pos = from.byte +
              RawUtf8::bytesOfUnits(QByteArrayView(buffer_.bytes(from.byte, span), span), utf16 - from.unit, &early);
    } else {
        const long span = std::min(4L * (from.unit - utf16), from.byte);
        pos = from.byte - RawUtf8::bytesOfLastUnits(QByteArrayView(buffer_.bytes(from.byte - span, span), span),
                                                    from.unit - utf16, &early);
    }
    if (landed)
        *landed = utf16 - static_cast<int>(early);
    return pos;
}
