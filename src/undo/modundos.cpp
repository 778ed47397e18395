#include "undo/modundos.h"

#include "app/failure.h"
#include "platform/editor.h"
#include "undo/stretch.h"

#include <cstdlib>

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

// Replaces `length` characters at `start` with `with`, then places the result: text of
// several characters comes back selected; one character or one line break leaves the caret
// after it.
void replaceStretch(Editor &E, qint32 start, qint32 length, const QString &with)
{
    E.setSelStart(start);
    if (length > 0 || !with.isEmpty()) {
        E.setSelLength(length);
        E.setSelText(with);
        E.setSelStart(start);
    }
    if (with != QLatin1String("\r\n") && with.size() > 1)
        E.setSelLength(static_cast<int>(with.size()));
    else
        E.setSelStart(start + static_cast<qint32>(with.size()));
}

} // namespace

QString ModUndos::ChangedText(const QString &a, const QString &b, qint32 pos)
{
    const QString &L = a.size() > b.size() ? a : b;
    const qsizetype d = std::abs(a.size() - b.size());
    if (pos - d < 1)
        throw Failure(QStringLiteral("Invalid procedure call or argument"));
    return L.mid(pos - d - 1, d);
}

void ModUndos::Undo(Editor &E)
{
    if (Undos.size() >= 2 && UndoRecording) {
        UndoRecording = false;
        // Copies (sharing the texts): the change notifications below run while they are used.
        const UndoElement last = Undos.back();
        const UndoElement prev = Undos[Undos.size() - 2];
        {
            Raised applying(applying_);
            const QString now = E.text();
            // The editor holds the newest record's text, unless something changed it without
            // being recorded; then the text to go back to is all that is sure.
            const Stretch s = now == last.Text ? editStretch(prev.Text, last.Text, last.SelStart)
                                               : commonStretch(prev.Text, now);
            const QString back = s.atCaret && s.removed > 0 ? ChangedText(prev.Text, last.Text, s.start + s.removed + 1)
                                                            : prev.Text.mid(s.start, s.removed);
            SelectionHidden hidden(E, prev.TextLen < last.TextLen);
            replaceStretch(E, s.start, s.inserted, back);
        }
        Redos.push_back(last);
        Undos.pop_back();
    }
    UndoRecording = true;
    E.setFocus();
}

void ModUndos::Redo(Editor &E)
{
    if (!Redos.empty() && UndoRecording) {
        UndoRecording = false;
        const UndoElement x = Redos.back();
        {
            Raised applying(applying_);
            const QString now = E.text();
            const Stretch s = editStretch(now, x.Text, x.SelStart);
            const QString again = s.atCaret && s.inserted > 0 ? ChangedText(now, x.Text, x.SelStart + 1)
                                                              : x.Text.mid(s.start, s.inserted);
            replaceStretch(E, s.start, s.removed, again);
        }
        Undos.push_back(x);
        Redos.pop_back();
    }
    UndoRecording = true;
    E.setFocus();
}

void ModUndos::record(int index, bool holdsDocument, UndoElement after)
{
    Redos.clear();
    if (!holdsDocument || Undos.empty()) {
        // The editor does not report caret moves, so the base's caret is where the edit began.
        UndoElement before = lastSeen(index);
        before.SelStart = editStretch(before.Text, after.Text, after.SelStart).start;
        Undos.clear();
        Undos.push_back(std::move(before));
    }
    Undos.push_back(after);
    see(index, std::move(after));
}

void ModUndos::see(int index, UndoElement state)
{
    if (index < 0)
        return;
    if (index >= static_cast<int>(seen_.size()))
        seen_.resize(index + 1);
    seen_[index] = std::move(state);
}

void ModUndos::forget(int index)
{
    if (index >= 0 && index < static_cast<int>(seen_.size()))
        seen_[index] = UndoElement{};
}

UndoElement ModUndos::lastSeen(int index) const
{
    if (index >= 0 && index < static_cast<int>(seen_.size()))
        return seen_[index];
    return UndoElement{};
}

void ModUndos::clear()
{
    Undos.clear();
    Redos.clear();
}

UndoElement ModUndos::stateOf(const Editor &e)
{
    const QString text = e.text();
    return UndoElement{e.selStart(), static_cast<qint32>(text.size()), text};
}
