// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/editoraccessible.h"

#include "platform/rawutf8.h"

#include "platform/qt/qteditor.h"

#include <Qsci/qsciscintillabase.h>
#include <algorithm>

namespace {

using Sci = QsciScintillaBase;

QAccessibleInterface *editorAccessible(const QString &, QObject *object)
{
    if (auto editor = qobject_cast<SciWidget *>(object))
        return new EditorAccessible(editor);
    return nullptr;
}

// Tells assistive technology where the caret went. Reached from every update of the editor's
// view, so it does nothing at all unless a screen reader or the like is listening.
void caretMoved(Sci *editor, int updated)
{
    if (!(updated & Sci::SC_UPDATE_SELECTION) || !QAccessible::isActive())
        return;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(editor);
    QAccessibleTextInterface *text = iface ? iface->textInterface() : nullptr;
    if (!text)
        return;
    int start = 0, end = 0;
    text->selection(0, &start, &end);
    if (start != end) {
        QAccessibleTextSelectionEvent selection(editor, start, end);
        QAccessible::updateAccessibility(&selection);
    }
    QAccessibleTextCursorEvent cursor(editor, text->cursorPosition());
    QAccessible::updateAccessibility(&cursor);
}

} // namespace

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
    // Qt keeps one interface per widget; the property keeps a second one from connecting again.
    if (!editor->property("marquillAccessible").toBool()) {
        editor->setProperty("marquillAccessible", true);
        QObject::connect(editor, &Sci::SCN_UPDATEUI, editor, [editor](int updated) { caretMoved(editor, updated); });
    }
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

void EditorAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    const long from = send(Sci::SCI_GETSELECTIONSTART), to = send(Sci::SCI_GETSELECTIONEND);
    if (selectionIndex != 0 || from == to)
        return;
    *startOffset = editor()->toUtf16(from);
    *endOffset = editor()->toUtf16(to);
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
        send(Sci::SCI_SETSEL, editor()->toBytes(startOffset), editor()->toBytes(endOffset));
}

int EditorAccessible::cursorPosition() const
{
    return editor()->toUtf16(send(Sci::SCI_GETCURRENTPOS));
}

void EditorAccessible::setCursorPosition(int position)
{
    send(Sci::SCI_GOTOPOS, editor()->toBytes(position));
}

QString EditorAccessible::text(int startOffset, int endOffset) const
{
    return editor()->textBetween(editor()->toBytes(startOffset), editor()->toBytes(endOffset));
}

void EditorAccessible::unitAt(long bytePos, QAccessible::TextBoundaryType type, long *from, long *to) const
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
}

QString EditorAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                       int *endOffset) const
{
    long from = 0, to = 0;
    unitAt(editor()->toBytes(offset), boundaryType, &from, &to);
    *startOffset = editor()->toUtf16(from);
    *endOffset = editor()->toUtf16(to);
    return editor()->textBetween(from, to);
}

QString EditorAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                           int *endOffset) const
{
    long from = 0, to = 0;
    unitAt(editor()->toBytes(offset), boundaryType, &from, &to);
    if (from == 0) {
        *startOffset = *endOffset = 0;
        return QString();
    }
    unitAt(send(Sci::SCI_POSITIONBEFORE, from), boundaryType, &from, &to);
    *startOffset = editor()->toUtf16(from);
    *endOffset = editor()->toUtf16(to);
    return editor()->textBetween(from, to);
}

QString EditorAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                          int *endOffset) const
{
    long from = 0, to = 0;
    unitAt(editor()->toBytes(offset), boundaryType, &from, &to);
    if (to >= send(Sci::SCI_GETLENGTH)) {
        *startOffset = *endOffset = characterCount();
        return QString();
    }
    unitAt(to, boundaryType, &from, &to);
    *startOffset = editor()->toUtf16(from);
    *endOffset = editor()->toUtf16(to);
    return editor()->textBetween(from, to);
}

int EditorAccessible::characterCount() const
{
    return editor()->utf16Length();
}

QRect EditorAccessible::characterRect(int offset) const
{
    const long pos = editor()->toBytes(offset);
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
    return pos < 0 ? -1 : editor()->toUtf16(pos);
}

void EditorAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    send(Sci::SCI_SCROLLRANGE, editor()->toBytes(endIndex), editor()->toBytes(startIndex));
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
    if (auto sci = qobject_cast<SciWidget *>(editor()))
        sci->asOneChange(change);
    else
        change();
}

void EditorAccessible::deleteText(int startOffset, int endOffset)
{
    const long from = editor()->toBytes(startOffset), to = editor()->toBytes(endOffset);
    if (to > from)
        edit([&] { send(Sci::SCI_DELETERANGE, from, to - from); });
}

void EditorAccessible::insertText(int offset, const QString &text)
{
    const QByteArray bytes = RawUtf8::fromText(text);
    const long at = editor()->toBytes(offset);
    edit([&] { editor()->SendScintilla(Sci::SCI_INSERTTEXT, static_cast<uintptr_t>(at), bytes.constData()); });
}

void EditorAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    const QByteArray bytes = RawUtf8::fromText(text);
    const long from = editor()->toBytes(startOffset), to = editor()->toBytes(endOffset);
    edit([&] {
        send(Sci::SCI_SETTARGETRANGE, from, to);
        editor()->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(bytes.size()), bytes.constData());
    });
}
