// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/rawutf8.h"

#include "platform/wordbytes.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cstring>

namespace RawUtf8 {

namespace {

using WordBytes::HighBits;

quint64 load8(const unsigned char *s)
{
    return WordBytes::load(s);
}

// A unit of the text: `bytes` long, `units` UTF-16 units, `code` its character (or the byte's
// stand-in).
struct Unit {
    int bytes;
    int units;
    char32_t code;
};

Unit unitAt(const unsigned char *s, qsizetype n)
{
    const int len = sequenceAt(s, n);
    switch (len) {
    case 1: return {1, 1, s[0]};
    case 2: return {2, 1, char32_t((s[0] & 0x1F) << 6 | (s[1] & 0x3F))};
    case 3: return {3, 1, char32_t((s[0] & 0x0F) << 12 | (s[1] & 0x3F) << 6 | (s[2] & 0x3F))};
    case 4: return {4, 2, char32_t((s[0] & 0x07) << 18 | (s[1] & 0x3F) << 12 | (s[2] & 0x3F) << 6 | (s[3] & 0x3F))};
    default: return {1, 1, char32_t(0xDC00 + s[0])};
    }
}

const unsigned char *bytesOf(QByteArrayView b)
{
    return reinterpret_cast<const unsigned char *>(b.data());
}

// Units of valid UTF-8: one per byte that starts a character, one more per four-byte one.
// Flags are added up byte by byte, 255 words at a time.
qsizetype validUnits(const unsigned char *s, qsizetype n)
{
    qsizetype i = 0;
    qint64 trailing = 0, fourByte = 0;
    while (i + 8 <= n) {
        quint64 t = 0, f = 0;
        for (int w = 0; w < 255 && i + 8 <= n; ++w, i += 8) {
            const quint64 x = load8(s + i);
            t += (x & ~(x << 1) & HighBits) >> 7;
            f += (x & (x << 1) & (x << 2) & (x << 3) & HighBits) >> 7;
        }
        trailing += WordBytes::sum(t);
        fourByte += WordBytes::sum(f);
    }
    qsizetype count = i - trailing + fourByte;
    for (; i < n; ++i)
        count += isTrailing(s[i]) ? 0 : (s[i] >= 0xF0 ? 2 : 1);
    return count;
}

qsizetype mixedUnits(const unsigned char *s, qsizetype n)
{
    qsizetype i = 0, count = 0;
    while (i < n) {
        if (i + 8 <= n && (load8(s + i) & HighBits) == 0) {
            i += 8;
            count += 8;
            continue;
        }
        const Unit u = unitAt(s + i, n - i);
        i += u.bytes;
        count += u.units;
    }
    return count;
}

// Lead bytes and bytes from 0x80 up.
void countHigh(const unsigned char *s, qsizetype n, qint64 &leads, qint64 &high)
{
    qsizetype i = 0;
    while (i + 8 <= n) {
        quint64 l = 0, h = 0;
        for (int w = 0; w < 255 && i + 8 <= n; ++w, i += 8) {
            const quint64 x = load8(s + i);
            l += (x & (x << 1) & HighBits) >> 7;
            h += (x & HighBits) >> 7;
        }
        leads += WordBytes::sum(l);
        high += WordBytes::sum(h);
    }
    for (; i < n; ++i) {
        leads += s[i] >= 0xC0;
        high += s[i] >= 0x80;
    }
}

// Hands the bytes over in pieces of about 16 KB that end before a byte that starts a character
// (or after three trailing bytes in a row), so that each piece is checked and counted while it
// is in the cache.
template <class F> void inPieces(const unsigned char *s, qsizetype n, F &&f)
{
    constexpr qsizetype Piece = 16384;
    qsizetype at = 0;
    while (n - at > Piece) {
        const qsizetype cut = characterStart(at + Piece, at, [s](qsizetype i) { return s[i]; });
        f(s + at, cut - at);
        at = cut;
    }
    f(s + at, n - at);
}

#if defined(__x86_64__) && defined(__GNUC__)
#define RAWUTF8_AVX2 1

// The check of "Validating UTF-8 In Less Than One Instruction Per Byte" (Keiser and Lemire):
// each byte is classified by the high and low nibble of the byte before it and the high nibble
// of its own, through three lookup tables whose bits name the errors they allow.
__attribute__((target("avx2"))) bool validAvx2(const unsigned char *s, qsizetype n)
{
    constexpr char TooShort = 1 << 0, TooLong = 1 << 1, Overlong3 = 1 << 2, TooLarge = 1 << 3, Surrogate = 1 << 4,
                   Overlong2 = 1 << 5, TooLarge1000 = 1 << 6, Overlong4 = 1 << 6;
    constexpr char TwoConts = char(1 << 7);
    constexpr char Carry = TooShort | TooLong | TwoConts;
#define RAWUTF8_TABLE(...) _mm256_setr_epi8(__VA_ARGS__, __VA_ARGS__)
    const __m256i byte1High =
        RAWUTF8_TABLE(TooLong, TooLong, TooLong, TooLong, TooLong, TooLong, TooLong, TooLong, TwoConts, TwoConts,
                      TwoConts, TwoConts, TooShort | Overlong2, TooShort, TooShort | Overlong3 | Surrogate,
                      TooShort | TooLarge | TooLarge1000 | Overlong4);
    const __m256i byte1Low = RAWUTF8_TABLE(
        Carry | Overlong3 | Overlong2 | Overlong4, Carry | Overlong2, Carry, Carry, Carry | TooLarge,
        Carry | TooLarge | TooLarge1000, Carry | TooLarge | TooLarge1000, Carry | TooLarge | TooLarge1000,
        Carry | TooLarge | TooLarge1000, Carry | TooLarge | TooLarge1000, Carry | TooLarge | TooLarge1000,
        Carry | TooLarge | TooLarge1000, Carry | TooLarge | TooLarge1000, Carry | TooLarge | TooLarge1000 | Surrogate,
        Carry | TooLarge | TooLarge1000, Carry | TooLarge | TooLarge1000);
    const __m256i byte2High = RAWUTF8_TABLE(
        TooShort, TooShort, TooShort, TooShort, TooShort, TooShort, TooShort, TooShort,
        TooLong | Overlong2 | TwoConts | Overlong3 | TooLarge1000 | Overlong4,
        TooLong | Overlong2 | TwoConts | Overlong3 | TooLarge, TooLong | Overlong2 | TwoConts | Surrogate | TooLarge,
        TooLong | Overlong2 | TwoConts | Surrogate | TooLarge, TooShort, TooShort, TooShort, TooShort);
#undef RAWUTF8_TABLE
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    // A lead byte among the last three that needs more bytes than the block has left.
    const __m256i maxTail =
        _mm256_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                         -1, -1, -1, -1, -1, char(0xF0 - 1), char(0xE0 - 1), char(0xC0 - 1));
    __m256i error = _mm256_setzero_si256(), previous = _mm256_setzero_si256(), incomplete = _mm256_setzero_si256();
    alignas(32) unsigned char last[32] = {};
    for (qsizetype i = 0;; i += 32) {
        const unsigned char *block = s + i;
        if (i + 32 > n) { // the rest, with zeros after the end: an open sequence fails
            if (n > i)
                std::memcpy(last, s + i, n - i);
            block = last;
        }
        const __m256i input = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(block));
        if (_mm256_movemask_epi8(input) == 0) {
            error = _mm256_or_si256(error, incomplete);
        } else {
            const __m256i carried = _mm256_permute2x128_si256(previous, input, 0x21);
            const __m256i prev1 = _mm256_alignr_epi8(input, carried, 15);
            const __m256i prev2 = _mm256_alignr_epi8(input, carried, 14);
            const __m256i prev3 = _mm256_alignr_epi8(input, carried, 13);
            const __m256i special = _mm256_and_si256(
                _mm256_and_si256(_mm256_shuffle_epi8(byte1High, _mm256_and_si256(_mm256_srli_epi16(prev1, 4), nibble)),
                                 _mm256_shuffle_epi8(byte1Low, _mm256_and_si256(prev1, nibble))),
                _mm256_shuffle_epi8(byte2High, _mm256_and_si256(_mm256_srli_epi16(input, 4), nibble)));
            const __m256i third = _mm256_subs_epu8(prev2, _mm256_set1_epi8(char(0xE0 - 0x80)));
            const __m256i fourth = _mm256_subs_epu8(prev3, _mm256_set1_epi8(char(0xF0 - 0x80)));
            const __m256i must = _mm256_and_si256(_mm256_or_si256(third, fourth), _mm256_set1_epi8(char(0x80)));
            error = _mm256_or_si256(error, _mm256_xor_si256(must, special));
        }
        incomplete = _mm256_subs_epu8(input, maxTail);
        previous = input;
        if (block == last)
            break;
    }
    return _mm256_testz_si256(error, error);
}
#endif
} // namespace

bool isValid(QByteArrayView bytes)
{
#ifdef RAWUTF8_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        return validAvx2(bytesOf(bytes), bytes.size());
#endif
    return bytes.isValidUtf8();
}

int sequenceAt(const unsigned char *s, qsizetype n)
{
    if (n <= 0)
        return 0;
    const unsigned char c = s[0];
    if (c < 0x80)
        return 1;
    if (c < 0xC2 || c > 0xF4)
        return 0;
    if (c < 0xE0)
        return n >= 2 && isTrailing(s[1]) ? 2 : 0;
    if (c < 0xF0) {
        if (n < 3 || !isTrailing(s[1]) || !isTrailing(s[2]))
            return 0;
        if ((c == 0xE0 && s[1] < 0xA0) || (c == 0xED && s[1] > 0x9F)) // overlong; surrogate
            return 0;
        return 3;
    }
    if (n < 4 || !isTrailing(s[1]) || !isTrailing(s[2]) || !isTrailing(s[3]))
        return 0;
    if ((c == 0xF0 && s[1] < 0x90) || (c == 0xF4 && s[1] > 0x8F)) // overlong; beyond U+10FFFF
        return 0;
    return 4;
}

qsizetype validUnits(QByteArrayView bytes)
{
    return validUnits(bytesOf(bytes), bytes.size());
}

qsizetype units(QByteArrayView bytes)
{
    qsizetype count = 0;
    inPieces(bytesOf(bytes), bytes.size(), [&](const unsigned char *s, qsizetype n) {
        count += isValid(QByteArrayView(s, n)) ? validUnits(s, n) : mixedUnits(s, n);
    });
    return count;
}

qsizetype bytesOfUnits(QByteArrayView bytes, qsizetype count, qsizetype *early)
{
    const unsigned char *s = bytesOf(bytes);
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (count > 0 && i < n) {
        if (count >= 8 && i + 8 <= n && (load8(s + i) & HighBits) == 0) {
            i += 8;
            count -= 8;
            continue;
        }
        const Unit u = unitAt(s + i, n - i);
        if (u.units > count)
            break;
        i += u.bytes;
        count -= u.units;
    }
    if (early)
        *early = count;
    return i;
}

qsizetype bytesOfLastUnits(QByteArrayView bytes, qsizetype count, qsizetype *early)
{
    qsizetype over = 0;
    const unsigned char *s = bytesOf(bytes);
    qsizetype p = bytes.size();
    while (count > 0 && p > 0) {
        if (count >= 8 && p >= 8 && (load8(s + p - 8) & HighBits) == 0) {
            p -= 8;
            count -= 8;
            continue;
        }
        // The unit that ends at p: a valid sequence ending exactly there, else the byte alone.
        int bytesBack = 1, unitsBack = 1;
        for (int len = 2; len <= 4 && len <= p; ++len) {
            if (sequenceAt(s + p - len, len) == len) {
                bytesBack = len;
                unitsBack = len == 4 ? 2 : 1;
                break;
            }
        }
        p -= bytesBack; // a pair that the count would split is taken whole
        over = unitsBack - std::min<qsizetype>(count, unitsBack);
        count -= std::min<qsizetype>(count, unitsBack);
    }
    if (early)
        *early = over;
    return bytes.size() - p;
}

QString toText(QByteArrayView bytes)
{
    const unsigned char *s = bytesOf(bytes);
    const qsizetype n = bytes.size();
    QString out(n, Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    char16_t *const first = d;
    qsizetype i = 0;
    while (i < n) {
        if (s[i] < 0x80) {
            *d++ = s[i++];
            continue;
        }
        const Unit u = unitAt(s + i, n - i);
        i += u.bytes;
        if (u.units == 2) {
            *d++ = char16_t(0xD7C0 + (u.code >> 10));
            *d++ = char16_t(0xDC00 | (u.code & 0x3FF));
        } else {
            *d++ = char16_t(u.code);
        }
    }
    out.truncate(d - first);
    return out;
}

QByteArray fromText(QStringView text)
{
    QByteArray out(text.size() * 3, Qt::Uninitialized);
    char *d = out.data();
    char *const first = d;
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = s[i];
        if (c < 0x80) {
            *d++ = char(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
            *d++ = char(0xF0 | (c >> 18));
            *d++ = char(0x80 | ((c >> 12) & 0x3F));
            *d++ = char(0x80 | ((c >> 6) & 0x3F));
            *d++ = char(0x80 | (c & 0x3F));
            continue;
        }
        if (c >= 0xDC80 && c <= 0xDCFF) { // a kept byte
            *d++ = char(c - 0xDC00);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        if (c < 0x800) {
            *d++ = char(0xC0 | (c >> 6));
        } else {
            *d++ = char(0xE0 | (c >> 12));
            *d++ = char(0x80 | ((c >> 6) & 0x3F));
        }
        *d++ = char(0x80 | (c & 0x3F));
    }
    out.truncate(d - first);
    return out;
}

void Census::add(QByteArrayView bytes)
{
    inPieces(bytesOf(bytes), bytes.size(), [&](const unsigned char *s, qsizetype n) {
        if (n > 0 && isValid(QByteArrayView(s, n))) {
            if (counting)
                countHigh(s, n, characters, highBytes);
            inRun = false;
        } else {
            addMixed(s, n);
        }
    });
}

void Census::addMixed(const unsigned char *s, qsizetype n)
{
    qsizetype i = 0;
    while (i < n) {
        if (i + 8 <= n) {
            const quint64 w = load8(s + i);
            if ((w & HighBits) == 0) {
                i += 8;
                inRun = false;
                continue;
            }
        }
        const int len = sequenceAt(s + i, n - i);
        highBytes += s[i] >= 0x80 ? std::max(len, 1) : 0;
        if (len == 0) {
            brokenRuns += inRun ? 0 : 1;
            inRun = true;
            ++i;
            continue;
        }
        characters += len > 1 ? 1 : 0;
        inRun = false;
        i += len;
    }
}

} // namespace RawUtf8
