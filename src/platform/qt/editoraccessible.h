// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

class SciWidget;

// What assistive technology learns of an editor: its text, caret and selection, each answered
// when asked, from the editor's buffer and only for the range asked for. Nothing is counted or
// copied while the text changes, which keeps typing in large documents as fast as without it.
// Positions are UTF-16 offsets of the text as the editor holds it ("\r\n" counts two).
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
    SciWidget *editor() const; // positions and text come from the widget's own conversions
    long send(unsigned int message, unsigned long wParam = 0, long lParam = 0) const;
    void unitAt(long bytePos, QAccessible::TextBoundaryType type, long *from, long *to) const;
    template <class F> void edit(F &&change);
};

// Gives the editors this accessibility object in place of QScintilla's, which counts characters
// from the start of the document on every update. Called once before the first editor is made.
void installEditorAccessibility();
