// SPDX-License-Identifier: GPL-3.0-or-later
#include "undo/piecechange.h"

#include "platform/failure.h"

#include <QCoreApplication>

namespace {

void putNumber(QByteArray &out, quint64 n)
{
    while (n >= 0x80) {
        out += char(0x80 | (n & 0x7F));
        n >>= 7;
    }
    out += char(n);
}

quint64 takeNumber(const char *&p)
{
    quint64 n = 0;
    for (int shift = 0;; shift += 7) {
        const auto b = static_cast<unsigned char>(*p++);
        n |= quint64(b & 0x7F) << shift;
        if (b < 0x80)
            return n;
    }
}

} // namespace

void PieceChange::add(qint64 gap, QByteArrayView removed, QByteArrayView inserted)
{
    putNumber(layout_, quint64(gap));
    putNumber(layout_, quint64(removed.size()));
    putNumber(layout_, quint64(inserted.size()));
    removed_.append(removed);
    inserted_.append(inserted);
    spanBefore_ += gap + removed.size();
    spanAfter_ += gap + inserted.size();
    ++count_;
}

void PieceChange::finish()
{
    layout_.squeeze();
    removed_.squeeze();
    inserted_.squeeze();
}

QByteArray PieceChange::rebuild(QByteArrayView from, bool forward) const
{
    if (from.size() != (forward ? spanBefore_ : spanAfter_))
        throw Failure(QCoreApplication::translate("Failure", "The text no longer holds the replaced pieces"));
    QByteArray out;
    out.reserve(forward ? spanAfter_ : spanBefore_);
    const char *p = layout_.constData();
    const char *const end = p + layout_.size();
    qint64 at = 0, removedAt = 0, insertedAt = 0;
    while (p < end) {
        const auto gap = qint64(takeNumber(p));
        const auto removed = qint64(takeNumber(p));
        const auto inserted = qint64(takeNumber(p));
        out.append(from.data() + at, gap);
        at += gap;
        if (forward) {
            out.append(inserted_.constData() + insertedAt, inserted);
            at += removed;
        } else {
            out.append(removed_.constData() + removedAt, removed);
            at += inserted;
        }
        removedAt += removed;
        insertedAt += inserted;
    }
    return out;
}
