// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/draftjournal.h"

#include "platform/editor.h"
#include "platform/rawutf8.h"

#include <cstring>

namespace {

constexpr char Tag = 'R';
constexpr qsizetype Fixed = 1 + 3 * 8; // the tag and the three numbers

void putNumber(QByteArray &out, quint64 v)
{
    char b[8];
    for (int i = 0; i < 8; ++i)
        b[i] = char((v >> (8 * i)) & 0xff);
    out.append(b, 8);
}

quint64 getNumber(const char *p)
{
    quint64 v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | quint64(static_cast<unsigned char>(p[i]));
    return v;
}

// FNV-1a: stable across runs and machines, unlike Qt's seeded hashes.
constexpr quint64 Seed = 0xcbf29ce484222325ull;
quint64 checksum(const char *p, qsizetype n, quint64 h = Seed)
{
    for (qsizetype i = 0; i < n; ++i) {
        h ^= static_cast<unsigned char>(p[i]);
        h *= 0x100000001b3ull;
    }
    return h;
}

} // namespace

QByteArray recordHead(const JournalRecord &record)
{
    QByteArray out;
    out.append(Tag);
    putNumber(out, quint64(record.start));
    putNumber(out, quint64(record.removed));
    putNumber(out, quint64(record.inserted.size()));
    return out;
}

QByteArray recordTail(const QByteArray &head, QByteArrayView inserted)
{
    quint64 h = checksum(head.constData(), head.size(), Seed);
    h = checksum(inserted.data(), inserted.size(), h);
    QByteArray out;
    putNumber(out, h);
    return out;
}

qint64 encodedSize(const JournalRecord &record)
{
    return Fixed + record.inserted.size() + 8;
}

QByteArray encodeRecord(const JournalRecord &record)
{
    const QByteArray head = recordHead(record);
    return head + record.inserted + recordTail(head, record.inserted);
}

std::vector<JournalRecord> decodeRecords(QByteArrayView bytes)
{
    std::vector<JournalRecord> out;
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left >= Fixed + 8 && p[0] == Tag) {
        const quint64 start = getNumber(p + 1), removed = getNumber(p + 9), length = getNumber(p + 17);
        if (start > quint64(1) << 62 || removed > quint64(1) << 62 || length > quint64(left - Fixed - 8))
            break;
        const qsizetype size = Fixed + qsizetype(length);
        if (getNumber(p + size) != checksum(p, size))
            break;
        out.push_back({qint64(start), qint64(removed), QByteArray(p + Fixed, qsizetype(length))});
        p += size + 8;
        left -= size + 8;
    }
    return out;
}

size_t applyRecords(Editor &editor, const std::vector<JournalRecord> &records)
{
    size_t applied = 0;
    for (const JournalRecord &r : records) {
        const qint64 length = editor.utf8Length();
        if (r.start < 0 || r.removed < 0 || r.start > length || r.removed > length - r.start)
            break;
        const int from = editor.positionOfUtf8(r.start), to = editor.positionOfUtf8(r.start + r.removed);
        // A position that does not come back to the same byte lies inside a character: the
        // record was not taken against this text.
        if (editor.utf8Offset(from) != r.start || editor.utf8Offset(to) != r.start + r.removed)
            break;
        editor.setSelStart(from);
        editor.setSelLength(to - from);
        editor.setSelText(RawUtf8::toText(r.inserted));
        ++applied;
    }
    return applied;
}

void DraftJournal::startOnFile()
{
    wholeTextDue = false;
    onFile = true;
    started = false;
    written = 0;
    pendingBytes = 0;
    pending.clear();
}

void DraftJournal::note(const Editor &editor, const TextChange &change)
{
    if (!change.known) {
        wholeTextDue = true;
        pending.clear();
        pendingBytes = 0;
        return;
    }
    if (wholeTextDue)
        return; // the whole text goes at the next write anyway
    JournalRecord r{editor.utf8Offset(change.start), RawUtf8::fromText(change.removed).size(),
                    RawUtf8::fromText(change.inserted)};
    // Typing: a character right after the last one typed joins its record.
    if (!pending.empty() && r.removed == 0) {
        JournalRecord &last = pending.back();
        if (r.start == last.start + last.inserted.size()) {
            last.inserted += r.inserted;
            pendingBytes += r.inserted.size();
            return;
        }
    }
    pendingBytes += encodedSize(r);
    pending.push_back(std::move(r));
}
