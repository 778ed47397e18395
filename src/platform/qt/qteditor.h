// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/editor.h"
#include "platform/utf16index.h"

#include <QFont>
#include <Qsci/qsciscintillabase.h>
#include <vector>

// What one change did to the buffer, in bytes: `removed` stood at `start` and the bytes from
// `start` to `end` took its place. The stretch covers whole characters of the text before and
// after the change.
struct ByteChange {
    long start = 0;
    long end = 0;
    QByteArray removed;
    bool known = true;  // false: a refill whose bytes were not kept
    bool valid = false; // of a refill: its bytes are known to be valid UTF-8
};

// The editing widget: Scintilla with a UTF-8 buffer that holds real "\r\n" line breaks.
// Changes are collected while Scintilla applies them and reported once the outermost event
// or call that made them returns, so the logic sees one synchronous notification per change.
class SciWidget : public QsciScintillaBase {
    Q_OBJECT
public:
    explicit SciWidget(QWidget *parent);

    // A pointer to `length` bytes at `position`; moves the buffer's gap only when the range
    // spans it.
    const char *rangePointer(long position, long length) const;
    // The next change replaces the whole text and keeps none of it.
    // `valid`: the refill appends valid UTF-8 in whole characters, counted as it comes.
    void refillStarts(bool valid = false);
    void countAppended(QByteArrayView block);

    // Byte positions of the buffer and UTF-16 offsets of the text, both ways (see Utf16Index).
    int toUtf16(long bytePos) const { return index_.toUtf16(bytePos); }
    long toBytes(int utf16, int *landed = nullptr) const { return index_.toBytes(utf16, landed); }
    int utf16Length() const { return index_.length(); }
    QString textBetween(long from, long to) const; // bytes clipped to the buffer
    // Where the caret is, in pixels of the widget (the bottom left of its line): the editor's
    // menu opens there when asked for by a key.
    QPoint caretPoint() const;
    // The buffer was replaced: no position known so far holds.
    void forgetPositions()
    {
        index_.forget();
        if (onAccessibleChange)
            onAccessibleChange(nullptr);
    }

    // Runs f as one change: a notification follows if f changed the text.
    template <class F> void asOneChange(F &&f)
    {
        ++depth_;
        try {
            f();
        } catch (...) {
            --depth_;
            flush();
            throw;
        }
        --depth_;
        flush();
    }
    std::function<void(const ByteChange &)> onChanged;
    // For assistive technology: each change as it is reported, before onChanged, with the
    // positions already counted; nullptr when the buffer was replaced without a change.
    std::function<void(const ByteChange *)> onAccessibleChange;

protected:
    bool event(QEvent *e) override;
    bool viewportEvent(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void changeEvent(QEvent *e) override;
    // Copy and paste within Marquill keep the bytes of broken characters: the buffer's own bytes
    // travel in a private format beside the text that other programs receive.
    QMimeData *toMimeData(const QByteArray &text, bool rectangular) const override;
    QByteArray fromMimeData(const QMimeData *source, bool &rectangular) const override;

private:
    void before(bool insertion, long position, long length);
    void flush();
    void widen(ByteChange &change) const;
    static constexpr long LongLine = 256 * 1024; // bytes: the caret does not blink on a longer line
    int depth_ = 0;
    bool pending_ = false;
    ByteChange change_;

    struct Buffer : Utf16Index::Buffer {
        explicit Buffer(const SciWidget &sci) : sci(sci) {}
        long size() const override { return sci.SendScintilla(SCI_GETLENGTH); }
        const char *bytes(long position, long length) const override { return sci.rangePointer(position, length); }
        const SciWidget &sci;
    };
    Buffer buffer_{*this};
    Utf16Index index_{buffer_};
};

class QtEditor : public Editor {
public:
    QtEditor(QWidget *parent, const QFont &font, double left, double top, double width, double height);
    ~QtEditor() override;

    QString text() const override;
    void setText(const QString &text) override;
    int textLength() const override;
    QString textRange(int start, int length) const override;
    QByteArray utf8() const override;
    int selStart() const override;
    int firstVisibleLine() const override;
    void setFirstVisibleLine(int line) override;
    void setSelStart(int start) override;
    int selLength() const override;
    void setSelLength(int length) override;
    QString selText() const override;
    void setSelText(const QString &text) override;
    void readUtf8(const std::function<void(QByteArrayView block)> &take) const override;
    void readText(int from, const std::function<bool(int position, QStringView block)> &take) const override;
    qint64 utf8Length() const override;
    qint64 utf8Offset(int position) const override { return toBytes(position); }
    int positionOfUtf8(qint64 offset) const override { return toUtf16(offset); }
    void readUtf8At(qint64 from, qint64 length, const std::function<void(QByteArrayView bytes)> &take) const override;
    using Editor::loadUtf8;
    void loadUtf8(qint64 reserve, const std::function<void(const Append &append)> &fill, bool valid) override;
    void release() override;
    void replaceUtf8(qint64 from, qint64 to, QByteArrayView bytes) override;
    int lineCount() const override;
    int lineOfPosition(int position) const override;
    int lineStart(int line) const override;
    int caretPosition() const override;
    int zoom() const override;
    void setViewHandler(std::function<void()> handler) override;
    bool isVisible() const override;
    void setVisible(bool visible) override;
    void zOrder() override;
    void setFocus() override;
    bool hasFocus() const override;
    void hideSelection(bool hide) override;
    void setAccessibleName(const QString &name) override;
    double left() const override { return left_; }
    double top() const override { return top_; }
    double width() const override { return width_; }
    double height() const override { return height_; }
    void setWidth(double twips) override;
    void setHeight(double twips) override;
    void cut() override;
    void copy() override;
    void paste() override;
    void deleteSelection() override;
    bool canPaste() const override;
    int zoomPercent() const override;
    void setZoom(int steps) override;
    void setWordWrap(bool on) override;
    void setLineNumbers(bool on) override;
    bool lineNumbers() const { return numbers_; }

    SciWidget *widget() const { return sci_; }
    QFont font() const { return font_; }

private:
    long send(unsigned int msg, unsigned long w = 0, long l = 0) const { return sci_->SendScintilla(msg, w, l); }
    int toUtf16(long bytePos) const { return sci_->toUtf16(bytePos); }
    long toBytes(int utf16) const { return sci_->toBytes(utf16); }
    long snap(long bytePos) const;
    void place();
    void newDocument();
    void changed(const ByteChange &change);
    void fitLineNumbers(bool always); // the number margin to the digits of the line count
    void fitWrap();                   // wraps, when asked to, unless the document is large
    // Hands the bytes from `from` to the end over in blocks that end on whole characters.
    void readBlocks(long from, const std::function<bool(long position, QByteArrayView block)> &take) const;

    SciWidget *sci_;
    QFont font_;
    double left_, top_, width_, height_;
    bool visible_ = false;
    bool bulk_ = false;                         // the change under way is reported without its texts
    static constexpr long WrapLimit = 1L << 20; // bytes: a larger document is not wrapped
    bool wrap_ = false;
    bool numbers_ = false;
    int numberDigits_ = 0;     // digits the number margin is wide for
    long textGap_ = 1;         // the widget's own gap before the text, while there are no numbers
    bool viewPending_ = false; // a view notification waits for the event loop
    QMetaObject::Connection viewUpdates_, viewZoom_;
};

class QtEditorFactory : public EditorFactory {
public:
    explicit QtEditorFactory(QWidget *parent) : parent_(parent) {}
    Editor *createElement(int index) override;
    void destroyElement(Editor *editor) override;
    std::vector<QtEditor *> elements() const;

private:
    QWidget *parent_;
    std::vector<std::unique_ptr<QtEditor>> owned_;
    QtEditor *element0_ = nullptr;
};
