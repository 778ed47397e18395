#pragma once

#include "platform/editor.h"

#include <Qsci/qsciscintillabase.h>
#include <QFont>
#include <vector>

// The editing widget: Scintilla with a UTF-8 buffer that holds real "\r\n" line breaks.
// Changes are collected while Scintilla applies them and reported once the outermost event
// or call that made them returns, so the logic sees one synchronous notification per change.
class SciWidget : public QsciScintillaBase {
    Q_OBJECT
public:
    explicit SciWidget(QWidget *parent);

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
    std::function<void()> onChanged;

protected:
    bool event(QEvent *e) override;
    bool viewportEvent(QEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    void flush();
    int depth_ = 0;
    bool pending_ = false;
};

class QtEditor : public Editor {
public:
    QtEditor(QWidget *parent, const QFont &font, double left, double top, double width, double height);
    ~QtEditor() override;

    QString text() const override;
    void setText(const QString &text) override;
    int textLength() const override;
    QByteArray utf8() const override;
    int selStart() const override;
    void setSelStart(int start) override;
    int selLength() const override;
    void setSelLength(int length) override;
    QString selText() const override;
    void setSelText(const QString &text) override;
    bool isVisible() const override;
    void setVisible(bool visible) override;
    void zOrder() override;
    void setFocus() override;
    bool hasFocus() const override;
    void hideSelection(bool hide) override;
    double left() const override { return left_; }
    double top() const override { return top_; }
    double width() const override { return width_; }
    double height() const override { return height_; }
    void setWidth(double twips) override;
    void setHeight(double twips) override;

    SciWidget *widget() const { return sci_; }
    QFont font() const { return font_; }

private:
    long send(unsigned int msg, unsigned long w = 0, long l = 0) const { return sci_->SendScintilla(msg, w, l); }
    int toUtf16(long bytePos) const;
    long toBytes(int utf16) const;
    long snap(long bytePos) const;
    void place();

    SciWidget *sci_;
    QFont font_;
    double left_, top_, width_, height_;
    bool visible_ = false;
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

// Keeps Qt from building QScintilla's own accessibility object, which counts characters from
// the start of the document on every update.
void installEditorAccessibility();
