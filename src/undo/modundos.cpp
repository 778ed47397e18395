// SPDX-License-Identifier: GPL-3.0-or-later
#include "undo/modundos.h"

#include "platform/editor.h"
#include "undo/piecechange.h"
#include "undo/stretch.h"

namespace {

// Keeps a flag set while a step changes the editor, also when the editor throws.
class Raised {
public:
    explicit Raised(bool &flag) : flag_(flag) { flag_ = true; }
    ~Raised() { flag_ = false; }
    Raised(const Raised &) = delete;
    Raised &operator=(const Raised &) = delete;

private:
    bool &flag_;
};

// Hides the selection highlight while a step works, so that the stretch it selects to remove
// does not flash.
class SelectionHidden {
public:
    SelectionHidden(Editor &e, bool hide) : e_(hide ? &e : nullptr)
    {
        if (e_)
            e_->hideSelection(true);
    }
    ~SelectionHidden()
    {
        if (e_)
            e_->hideSelection(false);
    }
    SelectionHidden(const SelectionHidden &) = delete;
    SelectionHidden &operator=(const SelectionHidden &) = delete;

private:
    Editor *e_;
};

// Replaces `length` characters at `start` with `with`, unless a failed step did that already,
// then places the result: text of several characters comes back selected; one character or
// one line break leaves the caret after it.
void replaceStretch(Editor &E, qint32 start, qint32 length, const QString &with, bool &applied)
{
    E.setSelStart(start);
    if (!applied && (length > 0 || !with.isEmpty())) {
        E.setSelLength(length);
        E.setSelText(with);
        applied = true;
        E.setSelStart(start);
    }
    if (with != QLatin1String("\r\n") && with.size() > 1)
        E.setSelLength(static_cast<int>(with.size()));
    else
        E.setSelStart(start + static_cast<qint32>(with.size()));
}

// Gives the span of a change of many pieces its other text in one replacement, unless a failed
// step did that already; the caret goes to the span's start.
void replacePieces(Editor &E, const PieceChange &pieces, bool undo, bool &applied)
{
    if (!applied) {
        QByteArray other;
        E.readUtf8At(pieces.start(), undo ? pieces.spanAfter() : pieces.spanBefore(),
                     [&](QByteArrayView span) { other = undo ? pieces.before(span) : pieces.after(span); });
        const qint64 end = pieces.start() + (undo ? pieces.spanAfter() : pieces.spanBefore());
        E.replaceUtf8(pieces.start(), end, other);
        applied = true;
    }
    E.setSelStart(E.positionOfUtf8(pieces.start()));
}

} // namespace

void ModUndos::Undo(Editor &E)
{
    if (canUndo()) {
        UndoRecording = false;
        UndoElement &last = Undos.back();
        {
            Raised applying(applying_);
            SelectionHidden hidden(E, Undos[Undos.size() - 2].TextLen < last.TextLen);
            if (last.pieces)
                replacePieces(E, *last.pieces, true, last.applied);
            else
                replaceStretch(E, last.start, static_cast<qint32>(last.inserted.size()), last.removed, last.applied);
        }
        last.applied = false;
        Redos.push_back(std::move(last));
        Undos.pop_back();
    }
    UndoRecording = true;
    E.setFocus();
}

void ModUndos::Redo(Editor &E)
{
    if (canRedo()) {
        UndoRecording = false;
        UndoElement &x = Redos.back();
        {
            Raised applying(applying_);
            if (x.pieces)
                replacePieces(E, *x.pieces, false, x.applied);
            else
                replaceStretch(E, x.start, static_cast<qint32>(x.removed.size()), x.inserted, x.applied);
        }
        x.applied = false;
        Undos.push_back(std::move(x));
        Redos.pop_back();
    }
    UndoRecording = true;
    E.setFocus();
}

void ModUndos::record(const Editor &E, bool holdsDocument, const TextChange &change)
{
    UndoElement after;
    after.SelStart = E.selStart();
    after.TextLen = E.textLength();
    const Stretch s = changeStretch(
        change.removed, change.inserted, change.start, after.SelStart, after.TextLen,
        [&E](qint32 from, qint32 length) { return E.textRange(from, length); }, after.removed, after.inserted);
    after.start = s.start;
    Redos.clear();
    if (!holdsDocument || Undos.empty()) {
        // The editor does not report caret moves, so the base's caret is where the edit began.
        Undos.clear();
        Undos.push_back(UndoElement{s.start, after.TextLen - s.inserted + s.removed, 0, {}, {}, false});
    }
    Undos.push_back(std::move(after));
}

void ModUndos::recordPieces(const Editor &E, bool holdsDocument, std::shared_ptr<const PieceChange> pieces,
                            qint32 selStartBefore, qint32 textLenBefore)
{
    UndoElement after;
    after.SelStart = E.selStart();
    after.TextLen = E.textLength();
    after.start = E.positionOfUtf8(pieces->start());
    after.pieces = std::move(pieces);
    Redos.clear();
    if (!holdsDocument || Undos.empty()) {
        Undos.clear();
        Undos.push_back(UndoElement{selStartBefore, textLenBefore, 0, {}, {}, false});
    }
    Undos.push_back(std::move(after));
}

void ModUndos::clear()
{
    Undos.clear();
    Redos.clear();
}
