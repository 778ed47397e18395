// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QRegularExpression>
#include <QString>
#include <QStringView>
#include <functional>

#include "platform/rawutf8.h"

// One change of an editor's text: `removed` at `start` became `inserted`. Positions count
// UTF-16 code units of the text as the editor speaks it.
struct TextChange {
    qint32 start = 0;
    QString removed;
    QString inserted;
    // False for a change made by filling the whole editor (setText, loading, releasing): its
    // texts were not kept, as nobody edits through it.
    bool known = true;
};

// One element of the editor array. Text is spoken with "\r\n" line breaks; positions and
// lengths count UTF-16 code units of that text.
class Editor {
public:
    virtual ~Editor() = default;

    virtual QString text() const = 0; // a whole copy: only for small documents and tests
    virtual void setText(const QString &text) = 0;
    virtual int textLength() const = 0;                         // length of text() without copying it
    virtual QString textRange(int start, int length) const = 0; // clipped to the text
    virtual QByteArray utf8() const = 0; // the text as the buffer holds it: UTF-8 with "\r\n" line breaks

    virtual int selStart() const = 0;
    virtual void setSelStart(int start) = 0; // collapses the selection to a caret
    virtual int selLength() const = 0;
    virtual void setSelLength(int length) = 0; // selects from selStart()
    virtual QString selText() const = 0;
    virtual void setSelText(const QString &text) = 0; // replaces the selection, caret after it

    // The text as the buffer holds it: UTF-8 with "\r\n" line breaks (bytes that are no UTF-8
    // stay as they are). Blocks are handed over in order; none ends inside a character or
    // between "\r" and "\n".
    virtual void readUtf8(const std::function<void(QByteArrayView block)> &take) const = 0;
    // The text from `from` on (from the start of the surrogate pair `from` falls in) in blocks
    // of UTF-16, each with the position of its first unit;
    // no block ends inside a surrogate pair or between "\r" and "\n". `take` returns false to stop.
    virtual void readText(int from, const std::function<bool(int position, QStringView block)> &take) const = 0;

    // The buffer's bytes where they lie, for searching them without decoding. Offsets count
    // bytes of utf8(); the defaults work on a copy, for editors that hold no buffer.
    virtual qint64 utf8Length() const { return utf8().size(); }
    // The byte offset of a position (of the start of the character that it falls in), and back.
    virtual qint64 utf8Offset(int position) const { return RawUtf8::fromText(textRange(0, position)).size(); }
    virtual int positionOfUtf8(qint64 offset) const { return int(RawUtf8::units(utf8().left(offset))); }
    // Hands `take` the bytes from `from` on, at most `length` of them, in one piece.
    virtual void readUtf8At(qint64 from, qint64 length, const std::function<void(QByteArrayView bytes)> &take) const
    {
        take(utf8().mid(from, length));
    }
    // Replaces the whole text with what `fill` hands to its `append` (UTF-8 with "\r\n" line
    // breaks, in blocks that may split characters), as one change; the caret goes to the start.
    // `reserve` is the expected size in bytes; `valid` says that the bytes are known to be
    // valid UTF-8 in blocks of whole characters, which spares checking them again. Throws Failure("Out of memory") when
    // the buffer cannot hold it; the editor is then empty.
    // Replaces bytes [from, to) of utf8() with `bytes` (whole characters) as one change. An
    // editor that holds a buffer reports it without its texts (TextChange::known is false): a
    // change of many pieces at once is recorded by whoever made it. The default goes through
    // the selection, for editors that hold no buffer.
    virtual void replaceUtf8(qint64 from, qint64 to, QByteArrayView bytes)
    {
        const int start = positionOfUtf8(from);
        setSelStart(start);
        setSelLength(positionOfUtf8(to) - start);
        setSelText(RawUtf8::toText(bytes));
    }
    using Append = std::function<void(QByteArrayView block)>;
    virtual void loadUtf8(qint64 reserve, const std::function<void(const Append &append)> &fill, bool valid) = 0;
    void loadUtf8(qint64 reserve, const std::function<void(const Append &append)> &fill)
    {
        loadUtf8(reserve, fill, false);
    }
    // Drops the text and the memory that held it, without a change notification: the
    // editor shows and holds nothing until it is filled again.
    virtual void release() = 0;

    // The document record lives with the editor, as the program's logic expects.
    QString tag() const { return tag_; }
    void setTag(const QString &tag) { tag_ = tag; }

    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void zOrder() = 0; // in front of the other editors
    virtual void setFocus() = 0;
    virtual bool hasFocus() const = 0;
    virtual void hideSelection(bool hide) = 0;
    // What a screen reader calls the editor: its document's caption.
    virtual void setAccessibleName(const QString &) {}
    // The first line shown at the top (0-based), and scrolling so that a line is shown there.
    virtual int firstVisibleLine() const { return 0; }
    virtual void setFirstVisibleLine(int) {}

    // The clipboard commands of the editor's menu. Each edit is one change, reported as typing is.
    virtual void cut() {}
    virtual void copy() {}
    virtual void paste() {}
    virtual void deleteSelection() {}
    virtual bool canPaste() const { return false; } // the clipboard holds text
    // View: the zoom in steps from the designed size, wrapping long lines at words, line numbers.
    virtual int zoom() const { return 0; }
    virtual void setZoom(int) {}
    virtual void setWordWrap(bool) {}
    virtual void setLineNumbers(bool) {}
    // Lines, counted from 0, as the buffer breaks them ("\r\n", a lone "\r" or a lone "\n").
    // The defaults work on a copy of the text, for editors that hold no buffer.
    virtual int lineCount() const { return lineOfPosition(textLength()) + 1; }
    virtual int lineOfPosition(int position) const; // clipped to the text
    virtual int lineStart(int line) const;          // the position where the line starts, clipped
    virtual int caretPosition() const { return selStart() + selLength(); } // the selection's moving end
    // The text's size in percent of the designed font size (100: as designed), as the widget
    // reports its zoom.
    virtual int zoomPercent() const { return 100; }
    // Called at most once per event-loop turn after the caret, the selection or the zoom
    // changed; nothing is watched while no handler is set.
    virtual void setViewHandler(std::function<void()> handler) { onView_ = std::move(handler); }

    // Position and size in twips, relative to the tab strip.
    virtual double left() const = 0;
    virtual double top() const = 0;
    virtual double width() const = 0;
    virtual double height() const = 0;
    virtual void setWidth(double twips) = 0;
    virtual void setHeight(double twips) = 0;

    // Raised synchronously, once per change of the text, before the changing call returns.
    // While it runs, lastChange() says what changed.
    void setChangeHandler(std::function<void()> handler) { onChange_ = std::move(handler); }
    const TextChange &lastChange() const { return change_; }

protected:
    void notifyChanged(TextChange change)
    {
        change_ = std::move(change);
        if (onChange_)
            onChange_();
        change_ = TextChange{};
    }

    std::function<void()> onView_;

private:
    QString tag_;
    std::function<void()> onChange_;
    TextChange change_;
};

// Creates the elements of the editor array. Element 0 is the designed one; every later
// element takes over element 0's font, position and size and starts hidden.
class EditorFactory {
public:
    virtual ~EditorFactory() = default;
    virtual Editor *createElement(int index) = 0; // owned by the factory
    virtual void destroyElement(Editor *editor) = 0;
};

inline int Editor::lineOfPosition(int position) const
{
    const QString t = textRange(0, position);
    int line = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == QLatin1Char('\n') ||
            (t[i] == QLatin1Char('\r') && (i + 1 >= t.size() || t[i + 1] != QLatin1Char('\n'))))
            ++line;
    }
    // A position between "\r" and "\n" belongs to the line that the pair ends.
    if (!t.isEmpty() && t.back() == QLatin1Char('\r') && textRange(position, 1) == QStringLiteral("\n"))
        --line;
    return line;
}

inline int Editor::lineStart(int line) const
{
    const QString t = text();
    int at = 0;
    for (int n = 0; n < line; ++n) {
        const qsizetype next = t.indexOf(QRegularExpression(QStringLiteral("\r\n|\r|\n")), at);
        if (next < 0)
            return at;
        at = int(next) + (t.mid(next, 2) == QStringLiteral("\r\n") ? 2 : 1);
    }
    return at;
}
