#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// One element of the editor array. Text is spoken with "\r\n" line breaks; positions and
// lengths count UTF-16 code units of that text.
class Editor {
public:
    virtual ~Editor() = default;

    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
    virtual int textLength() const = 0; // length of text() without copying it
    virtual QByteArray utf8() const = 0; // the text as the buffer holds it: UTF-8 with "\r\n" line breaks

    virtual int selStart() const = 0;
    virtual void setSelStart(int start) = 0; // collapses the selection to a caret
    virtual int selLength() const = 0;
    virtual void setSelLength(int length) = 0; // selects from selStart()
    virtual QString selText() const = 0;
    virtual void setSelText(const QString &text) = 0; // replaces the selection, caret after it

    // The document record lives with the editor, as the program's logic expects.
    QString tag() const { return tag_; }
    void setTag(const QString &tag) { tag_ = tag; }

    virtual bool isVisible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void zOrder() = 0; // in front of the other editors
    virtual void setFocus() = 0;
    virtual bool hasFocus() const = 0;
    virtual void hideSelection(bool hide) = 0;

    // Position and size in twips, relative to the tab strip.
    virtual double left() const = 0;
    virtual double top() const = 0;
    virtual double width() const = 0;
    virtual double height() const = 0;
    virtual void setWidth(double twips) = 0;
    virtual void setHeight(double twips) = 0;

    // Raised synchronously, once per change of the text, before the changing call returns.
    void setChangeHandler(std::function<void()> handler) { onChange_ = std::move(handler); }

protected:
    void notifyChanged()
    {
        if (onChange_)
            onChange_();
    }

private:
    QString tag_;
    std::function<void()> onChange_;
};

// Creates the elements of the editor array. Element 0 is the designed one; every later
// element takes over element 0's font, position and size and starts hidden.
class EditorFactory {
public:
    virtual ~EditorFactory() = default;
    virtual Editor *createElement(int index) = 0; // owned by the factory
    virtual void destroyElement(Editor *editor) = 0;
};
