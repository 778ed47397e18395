// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/twips.h"
#include "testenv.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <gtest/gtest.h>

class DocumentSet : public FormTest {};

TEST_F(DocumentSet, StartsWithOneUntitledDocumentOverEditorZero)
{
    EXPECT_EQ(app->window.caption(), "Marquill");
    EXPECT_EQ(app->window.applicationTitle(), "Marquill");
    EXPECT_EQ(captions(), QStringList{"Untitled1.txt"});
    EXPECT_EQ(tabs().selectedPosition(), 0);
    EXPECT_EQ(form().currentEditorIndex(), 0);
    EXPECT_EQ(editorAt(0).tag(), "0|");
    EXPECT_EQ(editorAt(0).text(), "");
    EXPECT_TRUE(editorAt(0).isVisible());
    EXPECT_TRUE(editorAt(0).hasFocus());
    EXPECT_EQ(form().EditorCount, 1);
    EXPECT_FALSE(form().Busy);
    EXPECT_FALSE(app->window.findNextAvailable());
    EXPECT_TRUE(app->timer.isEnabled());
    EXPECT_EQ(app->timer.interval(), 10);
    EXPECT_TRUE(app->undos.UndoRecording);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(DocumentSet, WindowAndButtonsHaveTheirDesignedPixelSizes)
{
    // 15 twips a pixel at 96 DPI: 807 x 611, where the screen holds that (offscreen it is smaller).
    const QRect screen = app->window.screen()->availableGeometry();
    const int frameWidth = app->window.frameGeometry().width() - app->window.width();
    EXPECT_EQ(app->window.width(), std::min(807, screen.width() - frameWidth));
    EXPECT_LE(app->window.height(), 611);
    EXPECT_TRUE(screen.contains(app->window.frameGeometry())) << "the window does not fit on the screen";
    const QPushButton *saveAs = app->window.button(Button::PushButton14);
    EXPECT_EQ(saveAs->text(), "Save As (Ctrl+A)");
    EXPECT_EQ(saveAs->geometry(), QRect(472, 8, 128, 27));
    const QPushButton *closeAll = app->window.button(Button::PushButton12);
    EXPECT_EQ(closeAll->text(), "Close All");
    EXPECT_EQ(closeAll->geometry(), QRect(568, 42, 88, 27));
}

TEST_F(DocumentSet, NewAddsNumberedUntitledDocumentsAfterTheOthers)
{
    form().PushButton2_Click();
    form().PushButton2_Click();
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "Untitled2.txt", "Untitled3.txt"}));
    EXPECT_EQ(tabs().selectedPosition(), 2);
    EXPECT_EQ(form().EditorCount, 3);
    EXPECT_EQ(form().currentEditorIndex(), 2);
    QtEditor &newest = editorAt(2);
    EXPECT_EQ(newest.tag(), "0|");
    EXPECT_EQ(newest.text(), "");
    EXPECT_TRUE(newest.isVisible());
    EXPECT_TRUE(newest.hasFocus());
    EXPECT_FALSE(form().Busy);
    // New hides nothing: the newest editor lies in front of the others.
    EXPECT_TRUE(editorAt(0).isVisible());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(DocumentSet, NumbersCountOnAfterATabIsRemoved)
{
    form().PushButton2_Click();
    form().PushButton2_Click();
    tabs().removeTab(2);
    form().PushButton2_Click();
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "Untitled2.txt", "Untitled4.txt"}));
    EXPECT_EQ(form().currentEditorIndex(), 3);
}

TEST_F(DocumentSet, TabSwitchingUsesTheStoredIndexNotThePosition)
{
    form().PushButton2_Click();
    current().setText(QStringLiteral("second"));
    form().PushButton2_Click();
    current().setText(QStringLiteral("third"));
    tabs().removeTab(1); // the document of editor 1 is gone; editor 2 is now at position 1
    tabs().select(0);
    tabs().select(1);
    EXPECT_EQ(form().currentEditorIndex(), 2);
    EXPECT_EQ(current().text(), "third");
    EXPECT_TRUE(editorAt(2).isVisible());
    EXPECT_TRUE(editorAt(2).hasFocus());
    EXPECT_FALSE(editorAt(1).isVisible());
    EXPECT_FALSE(editorAt(0).isVisible());
}

TEST_F(DocumentSet, ClickingATabShowsItsDocument)
{
    form().PushButton2_Click();
    app->tabs.bar()->setCurrentIndex(0); // as a user's click arrives
    EXPECT_TRUE(editorAt(0).isVisible());
    EXPECT_TRUE(editorAt(0).hasFocus());
    EXPECT_FALSE(editorAt(1).isVisible());
}

TEST_F(DocumentSet, BusyKeepsTheSelectionHandlerOut)
{
    form().PushButton2_Click();
    form().Busy = true;
    tabs().select(0);
    EXPECT_TRUE(editorAt(1).isVisible());
    EXPECT_TRUE(editorAt(0).isVisible());
    form().Busy = false;
}

TEST_F(DocumentSet, SelectAllSelectsTheCurrentDocumentsText)
{
    form().PushButton5_Click();
    EXPECT_EQ(current().selStart(), 0);
    EXPECT_EQ(current().selLength(), 0);

    editorAt(0).setText(QStringLiteral("editor zero"));
    form().PushButton2_Click();
    current().setText(QStringLiteral("line one\r\nline two"));
    form().PushButton5_Click();
    EXPECT_EQ(editorAt(1).selStart(), 0);
    EXPECT_EQ(editorAt(1).selLength(), 18);
    EXPECT_EQ(editorAt(1).selText(), "line one\r\nline two");
    EXPECT_EQ(editorAt(0).selLength(), 0);
    EXPECT_TRUE(editorAt(1).hasFocus());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(DocumentSet, NewAtTheLimitReportsOverflowAndTouchesNoDocument)
{
    form().PushButton2_Click();
    current().setText(QStringLiteral("keep me"));
    const QStringList before = captions();
    form().EditorCount = 32767;
    prompts.clear();
    form().PushButton2_Click();
    ASSERT_EQ(prompts.reports().size(), 1u);
    EXPECT_EQ(prompts.reports()[0].text.section(QStringLiteral("\r\n"), 0, 0), "Overflow");
    EXPECT_TRUE(prompts.reports()[0].text.contains("PushButton2_Click at line 102"));
    EXPECT_EQ(form().EditorCount, 32767);
    EXPECT_EQ(captions(), before);
    EXPECT_EQ(captions().size(), 2);
    EXPECT_EQ(editorAt(1).text(), "keep me");
    EXPECT_EQ(form().loadedEditorCount(), 2);
    EXPECT_FALSE(form().Busy);
}
