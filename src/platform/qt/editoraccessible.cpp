// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/editoraccessible.h"

#include "platform/rawutf8.h"

#include "platform/qt/qteditor.h"

#include <Qsci/qsciscintillabase.h>
#include <algorithm>
#include <cstring>
#include <vector>

using Sci = QsciScintillaBase;

// The line breaks of one editor's buffer that are no "\r\n" (a lone "\r" or "\n"), by position,
// for counting the "\r\n" pairs before a position from the editor's line index; and the events
// that tell a listening screen reader of each change and caret move. A child of the editor.
class AccessibleOffsets : public QObject {
public:
    static constexpr const char *Name = "marquillAccessibleOffsets";
    explicit AccessibleOffsets(SciWidget *editor);

    int toOffset(long bytePos);
    long toBytes(int offset);
    int length();
    static QString flat(QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String("\n")); }

private:
    long pairsBefore(long bytePos); // "\r\n" pairs whose "\r" lies before the position
    const std::vector<long> &odd();
    char at(long pos) const { return static_cast<char>(sci_->SendScintilla(Sci::SCI_GETCHARAT, pos)); }
    void scan(long from, long to, std::vector<long> &found) const;
    void changed(const ByteChange *change);
    void update(const ByteChange &change);
    void announce(const ByteChange &change);
    void reportCaret();

    SciWidget *sci_;
    std::vector<long> odd_;
    // Whether odd_ holds for the buffer: found when first asked for (a screen reader asks),
    // then kept up to date with each change.
    bool known_ = false;
    long caret_ = -1, anchor_ = -1; // as last reported
};

namespace {

QAccessibleInterface *editorAccessible(const QString &, QObject *object)
{
    if (auto editor = qobject_cast<SciWidget *>(object))
        return new EditorAccessible(editor);
    return nullptr;
}

// A change larger than this (in bytes) is announced without its text, as one update.
constexpr long AnnouncedBytes = 64 * 1024;

} // namespace

AccessibleOffsets::AccessibleOffsets(SciWidget *editor) : QObject(editor), sci_(editor)
{
    setObjectName(QLatin1String(Name));
    sci_->onAccessibleChange = [this](const ByteChange *change) { changed(change); };
    // Reached from every update of the editor's view: nothing happens unless a screen reader
    // or the like is listening and the caret moved.
    connect(sci_, &Sci::SCN_UPDATEUI, this, [this](int) { reportCaret(); });
}

void AccessibleOffsets::scan(long from, long to, std::vector<long> &found) const
{
    const long length = sci_->SendScintilla(Sci::SCI_GETLENGTH);
    from = std::max(0L, from);
    to = std::min(to, length);
    const long gap = sci_->SendScintilla(Sci::SCI_GETGAPPOSITION);
    while (from < to) {
        // Each side of the gap where it lies, without moving the text.
        const long end = from < gap && gap < to ? gap : to;
        const char *s = sci_->rangePointer(from, end - from);
        const long n = end - from;
        const auto next = [&](char c, long i) {
            const void *p = i < n ? std::memchr(s + i, c, static_cast<size_t>(n - i)) : nullptr;
            return p ? static_cast<long>(static_cast<const char *>(p) - s) : n;
        };
        // From one "\r" or "\n" to the next, as fast as memchr finds them.
        long cr = next('\r', 0), lf = next('\n', 0);
        while (cr < n || lf < n) {
            if (cr < lf) {
                if ((cr + 1 < n ? s[cr + 1] : at(from + cr + 1)) != '\n')
                    found.push_back(from + cr);
                cr = next('\r', cr + 1);
            } else {
                if ((lf > 0 ? s[lf - 1] : at(from + lf - 1)) != '\r')
                    found.push_back(from + lf);
                lf = next('\n', lf + 1);
            }
        }
        from = end;
    }
}

const std::vector<long> &AccessibleOffsets::odd()
{
    if (!known_) {
        odd_.clear();
        scan(0, sci_->SendScintilla(Sci::SCI_GETLENGTH), odd_);
        known_ = true;
    }
    return odd_;
}

long AccessibleOffsets::pairsBefore(long bytePos)
{
    const long line = sci_->SendScintilla(Sci::SCI_LINEFROMPOSITION, bytePos);
    const long lineStart = sci_->SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    const bool inPair = bytePos > lineStart && at(bytePos - 1) == '\r' && at(bytePos) == '\n';
    if (line == 0) // the start of a file just opened, say: no need to find the odd breaks yet
        return inPair ? 1 : 0;
    const std::vector<long> &o = odd();
    // Every line before this one ends in a line break: a pair unless it is an odd one.
    const long pairs = line - (std::lower_bound(o.begin(), o.end(), lineStart) - o.begin());
    return inPair ? pairs + 1 : pairs; // between the "\r" and the "\n" of this line's break
}

int AccessibleOffsets::toOffset(long bytePos)
{
    bytePos = std::clamp(bytePos, 0L, static_cast<long>(sci_->SendScintilla(Sci::SCI_GETLENGTH)));
    return sci_->toUtf16(bytePos) - static_cast<int>(pairsBefore(bytePos));
}

long AccessibleOffsets::toBytes(int offset)
{
    // The first position whose UTF-16 offset is `offset` plus the pairs before it: each step
    // adds the pairs passed since the last, so the steps only grow and end on that position
    // (never between "\r" and "\n": the "\r" before it answers first).
    offset = std::clamp(offset, 0, length());
    long pos = sci_->toBytes(offset);
    for (int step = 0; step < 64; ++step) {
        const long next = sci_->toBytes(offset + static_cast<int>(pairsBefore(pos)));
        if (next == pos)
            break;
        pos = next;
    }
    return pos;
}

int AccessibleOffsets::length()
{
    const long lineBreaks = sci_->SendScintilla(Sci::SCI_GETLINECOUNT) - 1;
    return sci_->utf16Length() - static_cast<int>(lineBreaks - static_cast<long>(odd().size()));
}

void AccessibleOffsets::changed(const ByteChange *change)
{
    // Nobody asked since the last refill: nothing to keep up to date, the typing path pays a test.
    if (!change || !change->known)
        known_ = false; // found again when next asked for
    else if (known_)
        update(*change);
    if (change && QAccessible::isActive()) {
        announce(*change);
        reportCaret();
    }
}

// The odd line breaks after a change: those it touched are found again, those after it move.
// A change can make or break a pair at each of its edges, so the bytes on either side count too.
void AccessibleOffsets::update(const ByteChange &change)
{
    const long oldEnd = change.start + static_cast<long>(change.removed.size());
    const long moved = change.end - oldEnd;
    auto first = std::lower_bound(odd_.begin(), odd_.end(), change.start - 1);
    auto last = std::upper_bound(first, odd_.end(), oldEnd);
    const auto at = odd_.erase(first, last) - odd_.begin();
    for (auto i = odd_.begin() + at; i != odd_.end(); ++i)
        *i += moved;
    std::vector<long> found;
    scan(change.start - 1, change.end + 1, found);
    odd_.insert(odd_.begin() + at, found.begin(), found.end());
}

void AccessibleOffsets::announce(const ByteChange &change)
{
    if (!change.known || static_cast<long>(change.removed.size()) > AnnouncedBytes ||
        change.end - change.start > AnnouncedBytes) {
        // Loading a file, Replace All: the text is not handed over, only that it changed.
        QAccessibleTextUpdateEvent event(sci_, change.known ? toOffset(change.start) : 0, QString(), QString());
        QAccessible::updateAccessibility(&event);
        return;
    }
    // Whole line breaks on both sides, so that each side reads as the screen reader counts it.
    long from = change.start, to = change.end;
    QByteArray removed = change.removed;
    if (from > 0 && at(from - 1) == '\r') {
        --from;
        removed.prepend('\r');
    }
    if (at(to) == '\n' && to < sci_->SendScintilla(Sci::SCI_GETLENGTH)) {
        ++to;
        removed.append('\n');
    }
    QString before = flat(RawUtf8::toText(removed));
    QString after = flat(sci_->textBetween(from, to));
    int offset = toOffset(from);
    // Only what differs, never splitting a surrogate pair.
    qsizetype head = 0;
    const qsizetype shorter = std::min(before.size(), after.size());
    while (head < shorter && before[head] == after[head])
        ++head;
    if (head > 0 && before[head - 1].isHighSurrogate())
        --head;
    qsizetype tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    if (tail > 0 && before[before.size() - tail].isLowSurrogate())
        --tail;
    before = before.mid(head, before.size() - head - tail);
    after = after.mid(head, after.size() - head - tail);
    offset += static_cast<int>(head);
    if (before.isEmpty() && after.isEmpty())
        return;
    // A replacement as a removal and an insertion, as the desktop's bridge tells it either way
    // (some Qt versions' bridges pass on no text of an update).
    if (!before.isEmpty()) {
        QAccessibleTextRemoveEvent event(sci_, offset, before);
        QAccessible::updateAccessibility(&event);
    }
    if (!after.isEmpty()) {
        QAccessibleTextInsertEvent event(sci_, offset, after);
        QAccessible::updateAccessibility(&event);
    }
}

// Tells assistive technology where the caret went, typed characters included.
void AccessibleOffsets::reportCaret()
{
    if (!QAccessible::isActive())
        return;
    const long caret = sci_->SendScintilla(Sci::SCI_GETCURRENTPOS);
    const long anchor = sci_->SendScintilla(Sci::SCI_GETANCHOR);
    if (caret == caret_ && anchor == anchor_)
        return;
    caret_ = caret;
    anchor_ = anchor;
    const int offset = toOffset(caret);
    if (caret != anchor) {
        const int other = toOffset(anchor);
        QAccessibleTextSelectionEvent selection(sci_, std::min(offset, other), std::max(offset, other));
        QAccessible::updateAccessibility(&selection);
    }
    QAccessibleTextCursorEvent cursor(sci_, offset);
    QAccessible::updateAccessibility(&cursor);
}

void installEditorAccessibility()
{
    static bool installed = false;
    if (!installed) {
        QAccessible::installFactory(editorAccessible);
        installed = true;
    }
}

EditorAccessible::EditorAccessible(SciWidget *editor) : QAccessibleWidget(editor, QAccessible::EditableText)
{
    // Qt may make more than one interface for the editor over its life; they share its breaks.
    breaks_ = static_cast<AccessibleOffsets *>(
        editor->findChild<QObject *>(QLatin1String(AccessibleOffsets::Name), Qt::FindDirectChildrenOnly));
    if (!breaks_)
        breaks_ = new AccessibleOffsets(editor);
}

EditorAccessible::~EditorAccessible() = default;

void *EditorAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State EditorAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = true;
    s.multiLine = true;
    s.selectableText = true;
    s.focusable = true;
    return s;
}

SciWidget *EditorAccessible::editor() const
{
    return static_cast<SciWidget *>(widget());
}

long EditorAccessible::send(unsigned int message, unsigned long wParam, long lParam) const
{
    return editor()->SendScintilla(message, wParam, lParam);
}

int EditorAccessible::toOffset(long bytePos) const
{
    return breaks_->toOffset(bytePos);
}

long EditorAccessible::toBytes(int offset) const
{
    return breaks_->toBytes(offset);
}

QString EditorAccessible::textBetween(long from, long to) const
{
    return AccessibleOffsets::flat(editor()->textBetween(from, to));
}

void EditorAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    const long from = send(Sci::SCI_GETSELECTIONSTART), to = send(Sci::SCI_GETSELECTIONEND);
    if (selectionIndex != 0 || from == to)
        return;
    *startOffset = toOffset(from);
    *endOffset = toOffset(to);
}

int EditorAccessible::selectionCount() const
{
    return send(Sci::SCI_GETSELECTIONSTART) == send(Sci::SCI_GETSELECTIONEND) ? 0 : 1;
}

void EditorAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void EditorAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        send(Sci::SCI_SETEMPTYSELECTION, send(Sci::SCI_GETCURRENTPOS));
}

void EditorAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        send(Sci::SCI_SETSEL, toBytes(startOffset), toBytes(endOffset));
}

int EditorAccessible::cursorPosition() const
{
    return toOffset(send(Sci::SCI_GETCURRENTPOS));
}

void EditorAccessible::setCursorPosition(int position)
{
    send(Sci::SCI_GOTOPOS, toBytes(position));
}

QString EditorAccessible::text(int startOffset, int endOffset) const
{
    return textBetween(toBytes(startOffset), toBytes(endOffset));
}

QString EditorAccessible::unitAt(long bytePos, QAccessible::TextBoundaryType type, long *from, long *to,
                                 int *startOffset, int *endOffset) const
{
    const long length = send(Sci::SCI_GETLENGTH);
    switch (type) {
    case QAccessible::CharBoundary:
        *from = bytePos;
        *to = send(Sci::SCI_POSITIONAFTER, bytePos); // a whole character, "\r\n" as one
        break;
    case QAccessible::WordBoundary:
        *from = send(Sci::SCI_WORDSTARTPOSITION, bytePos, 0);
        *to = send(Sci::SCI_WORDENDPOSITION, bytePos, 0);
        break;
    case QAccessible::NoBoundary:
        *from = 0;
        *to = length;
        break;
    default: { // sentence, paragraph, line: the line with its line break
        const long line = send(Sci::SCI_LINEFROMPOSITION, bytePos);
        *from = send(Sci::SCI_POSITIONFROMLINE, line);
        *to = send(Sci::SCI_POSITIONFROMLINE, line + 1);
        if (*to < *from)
            *to = length;
        break;
    }
    }
    *startOffset = toOffset(*from);
    *endOffset = toOffset(*to);
    return textBetween(*from, *to);
}

QString EditorAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                       int *endOffset) const
{
    long from = 0, to = 0;
    return unitAt(toBytes(offset), boundaryType, &from, &to, startOffset, endOffset);
}

QString EditorAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                           int *endOffset) const
{
    long from = 0, to = 0;
    unitAt(toBytes(offset), boundaryType, &from, &to, startOffset, endOffset);
    if (from == 0) {
        *startOffset = *endOffset = 0;
        return QString();
    }
    return unitAt(send(Sci::SCI_POSITIONBEFORE, from), boundaryType, &from, &to, startOffset, endOffset);
}

QString EditorAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                          int *endOffset) const
{
    long from = 0, to = 0;
    unitAt(toBytes(offset), boundaryType, &from, &to, startOffset, endOffset);
    if (to >= send(Sci::SCI_GETLENGTH)) {
        *startOffset = *endOffset = characterCount();
        return QString();
    }
    return unitAt(to, boundaryType, &from, &to, startOffset, endOffset);
}

int EditorAccessible::characterCount() const
{
    return breaks_->length();
}

QRect EditorAccessible::characterRect(int offset) const
{
    const long pos = toBytes(offset);
    const long next = send(Sci::SCI_POSITIONAFTER, pos);
    const int x = static_cast<int>(send(Sci::SCI_POINTXFROMPOSITION, 0, pos));
    const int y = static_cast<int>(send(Sci::SCI_POINTYFROMPOSITION, 0, pos));
    const int height = static_cast<int>(send(Sci::SCI_TEXTHEIGHT, send(Sci::SCI_LINEFROMPOSITION, pos)));
    int width = static_cast<int>(send(Sci::SCI_POINTXFROMPOSITION, 0, next)) - x;
    if (width <= 0 || send(Sci::SCI_POINTYFROMPOSITION, 0, next) != y) // a line break or the end
        width = static_cast<int>(editor()->SendScintilla(Sci::SCI_TEXTWIDTH, 0UL, " "));
    return QRect(editor()->viewport()->mapToGlobal(QPoint(x, y)), QSize(width, height));
}

int EditorAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = editor()->viewport()->mapFromGlobal(point);
    const long pos = send(Sci::SCI_POSITIONFROMPOINTCLOSE, local.x(), local.y());
    if (pos >= 0)
        return toOffset(pos);
    // Past the end of a line: its line break, where characterRect shows it.
    const int offset = toOffset(send(Sci::SCI_POSITIONFROMPOINT, local.x(), local.y()));
    return characterRect(offset).contains(point) ? offset : -1;
}

void EditorAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    send(Sci::SCI_SCROLLRANGE, toBytes(endIndex), toBytes(startIndex));
}

QString EditorAccessible::attributes(int, int *startOffset, int *endOffset) const
{
    // Plain text: one run without attributes.
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

template <class F> void EditorAccessible::edit(F &&change)
{
    // Through the editor's own change reporting, so an edit made by assistive technology is
    // recorded and marks the document changed as typing does.
    editor()->asOneChange(change);
}

namespace {

// Text from assistive technology breaks its lines with "\n"; the buffer holds "\r\n".
QByteArray bufferBytes(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return RawUtf8::fromText(text);
}

} // namespace

void EditorAccessible::deleteText(int startOffset, int endOffset)
{
    const long from = toBytes(startOffset), to = toBytes(endOffset);
    if (to > from)
        edit([&] { send(Sci::SCI_DELETERANGE, from, to - from); });
}

void EditorAccessible::insertText(int offset, const QString &text)
{
    const QByteArray bytes = bufferBytes(text);
    const long at = toBytes(offset);
    edit([&] { editor()->SendScintilla(Sci::SCI_INSERTTEXT, static_cast<uintptr_t>(at), bytes.constData()); });
}

void EditorAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    const QByteArray bytes = bufferBytes(text);
    const long from = toBytes(startOffset), to = toBytes(endOffset);
    edit([&] {
        send(Sci::SCI_SETTARGETRANGE, from, to);
        editor()->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()), bytes.constData());
    });
}
