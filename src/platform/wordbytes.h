// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtEndian>
#include <QtGlobal>
#include <cstring>

// Looking at text eight bytes at a time: a word holds bytes 0..7 from its lowest bits up, and
// a flag for a byte is bit 7 of that byte.
namespace WordBytes {

constexpr quint64 HighBits = 0x8080808080808080ULL;

inline quint64 load(const void *s)
{
    quint64 w;
    std::memcpy(&w, s, sizeof w);
    return qFromLittleEndian(w);
}

// A flag for each byte of `x` that equals `c`.
inline quint64 equal(quint64 x, unsigned char c)
{
    const quint64 v = x ^ (0x0101010101010101ULL * c);
    return ~(((v & 0x7F7F7F7F7F7F7F7FULL) + 0x7F7F7F7F7F7F7F7FULL) | v) & HighBits;
}

// The sum of the eight bytes of a word that added up at most 255 flags (shifted to bit 0) per byte.
inline qint64 sum(quint64 acc)
{
    acc = (acc & 0x00FF00FF00FF00FFULL) + ((acc >> 8) & 0x00FF00FF00FF00FFULL);
    return static_cast<qint64>((acc * 0x0001000100010001ULL) >> 48);
}

} // namespace WordBytes
