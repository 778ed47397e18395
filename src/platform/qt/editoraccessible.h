// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

class SciWidget;
class AccessibleOffsets;

// What assistive technology learns of an editor: its text, caret and selection, each answered
// when asked, from the editor's buffer and only for the range asked for, and an event for each
// change and caret move while a screen reader listens.
// Offsets count UTF-16 units of the text as Qt's own text widgets give it: every line break one
// "\n", so a "\r\n" of the buffer counts one. They come from the editor's own counts (UTF-16
// offsets, lines) less the "\r\n" pairs before the position, which are the lines before it but
// for the few line breaks that are no "\r\n" (a lone "\r" of an old Mac file).
class EditorAccessible : public QAccessibleWidget,
                         public QAccessibleTextInterface,
                         public QAccessibleEditableTextInterface {
public:
    explicit EditorAccessible(SciWidget *editor);
    ~EditorAccessible() override;

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                             int *endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                            int *endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                         int *endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    // QAccessibleEditableTextInterface: edits made as typing makes them, so they are recorded.
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

    using QAccessibleWidget::text;

private:
    SciWidget *editor() const;
    long send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
    int toOffset(long bytePos) const;
    long toBytes(int offset) const;
    QString textBetween(long from, long to) const; // "\r\n" as "\n"
    // The unit around a byte position, by bytes; `offsets` receive it as offsets.
    QString unitAt(long bytePos, QAccessible::TextBoundaryType type, long *from, long *to, int *startOffset,
                   int *endOffset) const;
    template <class F> void edit(F &&change);

    AccessibleOffsets *breaks_; // the editor's, shared by every interface made for it
};

// Gives the editors this accessibility object in place of QScintilla's, which counts characters
// from the start of the document on every update. Called once before the first editor is made.
void installEditorAccessibility();
