// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/failure.h"
#include "platform/editor.h"
#include "undo/modundos.h"

#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// An editor in memory that logs what a step does to it and can refuse a replacement.
class LogEditor : public Editor {
public:
    QString text() const override { return text_; }
    void setText(const QString &text) override { text_ = text; }
    int textLength() const override { return int(text_.size()); }
    QString textRange(int start, int length) const override { return text_.mid(start, length); }
    void readUtf8(const std::function<void(QByteArrayView)> &take) const override { take(text_.toUtf8()); }
    void readText(int from, const std::function<bool(int, QStringView)> &take) const override
    {
        take(from, QStringView(text_).mid(from));
    }
    void loadUtf8(qint64, const std::function<void(const Append &)> &fill, bool) override
    {
        QByteArray all;
        fill([&](QByteArrayView b) { all.append(b); });
        text_ = QString::fromUtf8(all);
    }
    void release() override { text_.clear(); }
    QByteArray utf8() const override { return text_.toUtf8(); }
    int selStart() const override { return start_; }
    void setSelStart(int start) override
    {
        start_ = std::clamp(start, 0, textLength());
        length_ = 0;
    }
    int selLength() const override { return length_; }
    void setSelLength(int length) override { length_ = std::clamp(length, 0, textLength() - start_); }
    QString selText() const override { return text_.mid(start_, length_); }
    void setSelText(const QString &text) override
    {
        if (refuse)
            throw Failure(QStringLiteral("Invalid property value"));
        text_.replace(start_, length_, text);
        start_ += int(text.size());
        length_ = 0;
    }
    bool isVisible() const override { return true; }
    void setVisible(bool) override {}
    void zOrder() override {}
    void setFocus() override { ++focused; }
    bool hasFocus() const override { return focused > 0; }
    void hideSelection(bool hide) override { log << (hide ? "hide" : "show"); }
    double left() const override { return 0; }
    double top() const override { return 0; }
    double width() const override { return 0; }
    double height() const override { return 0; }
    void setWidth(double) override {}
    void setHeight(double) override {}

    QStringList log;
    bool refuse = false;
    int focused = 0;

private:
    QString text_;
    int start_ = 0, length_ = 0;
};

// The base "ab" with the caret at 2, then "x" typed there.
std::vector<UndoElement> typedX()
{
    return {UndoElement{2, 2, 0, {}, {}, false}, UndoElement{3, 3, 2, {}, QStringLiteral("x"), false}};
}

} // namespace

TEST(ModUndos, OnlyUndoingAnInsertionHidesTheSelectionWhileItWorks)
{
    ModUndos h;
    h.UndoRecording = true;
    h.Undos = typedX();
    LogEditor e;
    e.setText("abx");
    h.Undo(e);
    EXPECT_EQ(e.text(), "ab");
    EXPECT_EQ(e.log, QStringList({"hide", "show"}));
    e.log.clear();
    h.Redo(e);
    EXPECT_EQ(e.text(), "abx");
    EXPECT_TRUE(e.log.isEmpty());
    EXPECT_EQ(e.focused, 2);
}

TEST(ModUndos, AStepTheEditorRefusesMovesNoRecordAndLeavesRecordingOff)
{
    ModUndos h;
    h.UndoRecording = true;
    h.Undos = typedX();
    LogEditor e;
    e.setText("abx");
    e.refuse = true;
    EXPECT_THROW(h.Undo(e), Failure);
    EXPECT_EQ(h.Undos.size(), 2u);
    EXPECT_TRUE(h.Redos.empty());
    EXPECT_FALSE(h.UndoRecording);
    EXPECT_FALSE(h.applying());
    EXPECT_EQ(e.log, QStringList({"hide", "show"}));
    EXPECT_EQ(e.focused, 0);
    // The next call applies nothing; it only switches recording on again.
    e.refuse = false;
    h.Undo(e);
    EXPECT_EQ(e.text(), "abx");
    EXPECT_TRUE(h.UndoRecording);
    EXPECT_EQ(e.focused, 1);
}
