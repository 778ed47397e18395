// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// Many pieces of a text replaced in one change (Replace All), in bytes of the editor's UTF-8.
// The history keeps what changed, not the text around it: the pieces' old and new bytes and,
// for each, how far it lies from the one before, packed as variable-length numbers.
//
// All pieces lie in the span that starts at `start()`: `spanBefore()` bytes of the text before
// the change, `spanAfter()` bytes of the text after it. Outside it both texts are the same.
class PieceChange {
public:
    explicit PieceChange(qint64 start) : start_(start) {}

    // The next piece: `gap` bytes after the end of the one before (after the span's start, for
    // the first), `removed` became `inserted`.
    void add(qint64 gap, QByteArrayView removed, QByteArrayView inserted);
    // The last piece was added: the record gives back what its growing buffers kept in reserve.
    void finish();

    qint64 start() const { return start_; }
    qint64 spanBefore() const { return spanBefore_; }
    qint64 spanAfter() const { return spanAfter_; }
    qint64 count() const { return count_; }
    qint64 bytesHeld() const { return layout_.size() + removed_.size() + inserted_.size(); }

    // The span as it reads before the change, made from it as it reads after, and back.
    QByteArray before(QByteArrayView after) const { return rebuild(after, false); }
    QByteArray after(QByteArrayView before) const { return rebuild(before, true); }

private:
    QByteArray rebuild(QByteArrayView from, bool forward) const;
    qint64 start_;
    qint64 spanBefore_ = 0, spanAfter_ = 0, count_ = 0;
    QByteArray layout_; // per piece: gap, removed length, inserted length
    QByteArray removed_, inserted_;
};
