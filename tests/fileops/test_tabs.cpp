// SPDX-License-Identifier: GPL-3.0-or-later
// The tab strip as the user handles it: tabs dragged into another order, closed by their close
// button, a middle click or their menu, the list of all tabs; and where Save As's dialog opens.
#include "platform/files.h"
#include "platform/qt/doctabbar.h"
#include "testenv.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QTabBar>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString SaveQuestion = QStringLiteral("File has been changed. \r\nDo you want to save changes?");

// Scripted prompts that can act at the moment a question or a save dialog comes up, as a user
// could meanwhile.
class HookedPrompts : public ScriptedPrompts {
public:
    std::function<void()> onQuestion, onSaveDialog;
    int msgBox(const QString &text, int style, const QString &title) override
    {
        if (onQuestion)
            onQuestion();
        return ScriptedPrompts::msgBox(text, style, title);
    }
    QString showSave(const QString &title, const QString &filter) override
    {
        if (onSaveDialog)
            onSaveDialog();
        return ScriptedPrompts::showSave(title, filter);
    }
};

class TabsTest : public FormTest {
protected:
    TabsTest() { startOnSetUp = false; }

    void SetUp() override
    {
        FormTest::SetUp();
        app = std::make_unique<QtApplication>(&dialogs, env->programFolder());
        app->start();
        QApplication::processEvents();
    }

    QTabBar &bar() { return *app->tabs.bar(); }
    // Opens a file of that name with that text, as Open does; its tab comes last and is selected.
    int open(const QString &name, const QByteArray &text = "text")
    {
        form().OpenFile(env->writeFile(name, text), false);
        return form().currentEditorIndex();
    }
    void edit(int index, const QString &text)
    {
        form().RichTextBox(index).setText(text);
        form().markChanged(index);
    }
    void middleClick(int position)
    {
        const QPointF at = bar().tabRect(position).center();
        const QPointF global = bar().mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::MiddleButton, Qt::MiddleButton, {});
        QApplication::sendEvent(&bar(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::MiddleButton, {}, {});
        QApplication::sendEvent(&bar(), &release);
    }
    QString selectedCaption() { return tabs().caption(tabs().selectedPosition()); }
    // The close button of a tab, on whichever side the style puts it.
    QAbstractButton *closeButton(int position)
    {
        QWidget *w = bar().tabButton(position, QTabBar::RightSide);
        if (!w)
            w = bar().tabButton(position, QTabBar::LeftSide);
        return qobject_cast<QAbstractButton *>(w);
    }

    HookedPrompts dialogs;
};

} // namespace

TEST_F(TabsTest, DraggedTabsKeepTheirDocumentsAndTheOpenFilesRecordKeepsTheNewOrder)
{
    const int a = open(QStringLiteral("a.txt"), "A");
    open(QStringLiteral("b.txt"), "B");
    const int c = open(QStringLiteral("c.txt"), "C");
    ASSERT_EQ(captions(), (QStringList{"Untitled1.txt", "a.txt", "b.txt", "c.txt"}));

    bar().moveTab(3, 1); // where a drag of c's tab before a's ends
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "c.txt", "a.txt", "b.txt"}));
    EXPECT_EQ(form().currentEditorIndex(), c);
    EXPECT_EQ(form().currentEditor().text(), "C");
    EXPECT_TRUE(form().tabToolTip(1).startsWith(env->path(QStringLiteral("c.txt")) + "\n"));
    edit(a, QStringLiteral("A2"));
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "c.txt", "a.txt*", "b.txt"}));
    tabs().select(2);
    EXPECT_EQ(form().currentEditor().text(), "A2");

    form().SaveOpen();
    EXPECT_EQ(form().GetSetting(QStringLiteral("OpenFiles"), QString()),
              env->path("c.txt") + "|" + env->path("a.txt") + "|" + env->path("b.txt") + "|");
    restartProgram();
    EXPECT_EQ(captions(), (QStringList{"c.txt", "a.txt", "b.txt"}));
    EXPECT_TRUE(dialogs.reports().empty());
}

// Save All asks for each untitled document's path in turn; a tab dragged while the dialog is open
// must not make it write one document's text under another's name, skip one or save one twice.
TEST_F(TabsTest, SaveAllWritesEachDocumentToItsOwnPathWhenATabIsDraggedDuringItsDialog)
{
    edit(form().currentEditorIndex(), QStringLiteral("first"));
    form().PushButton2_Click();
    edit(form().currentEditorIndex(), QStringLiteral("second"));
    int dialogsShown = 0;
    dialogs.onSaveDialog = [&] {
        if (dialogsShown++ == 0)
            bar().moveTab(0, 1); // the first document's tab goes behind the second's
    };
    const QString one = env->path(QStringLiteral("one.txt")), two = env->path(QStringLiteral("two.txt"));
    dialogs.fileAnswers = {one, two};
    form().clickButton(Button::PushButton8);
    EXPECT_EQ(dialogsShown, 2);
    EXPECT_EQ(TempEnv::readFile(one), "first");
    EXPECT_EQ(TempEnv::readFile(two), "second");
    EXPECT_EQ(captions(), (QStringList{"two.txt", "one.txt"}));
    EXPECT_TRUE(dialogs.reports().empty());
}

// A tab's close button and a middle click run Close for that tab: the question comes with that
// document shown, and the selection goes back to the tab the user had selected.
TEST_F(TabsTest, CloseButtonAndMiddleClickOnAnUnsavedTabBesideTheSelectedOneAskFirst)
{
    const int a = open(QStringLiteral("a.txt"));
    open(QStringLiteral("b.txt"));
    edit(a, QStringLiteral("unsaved"));
    ASSERT_EQ(selectedCaption(), "b.txt");
    QString shownWhenAsked;
    dialogs.onQuestion = [&] { shownWhenAsked = form().RichTextBox(form().currentEditorIndex()).text(); };

    // Closed without an answer: the document stays as it was, and so does the selection.
    dialogs.msgAnswers = {MsgResult::Cancel};
    middleClick(1);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, SaveQuestion);
    EXPECT_EQ(dialogs.shown[0].title, "Save Changes");
    EXPECT_EQ(shownWhenAsked, "unsaved");
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "a.txt*", "b.txt"}));
    EXPECT_EQ(selectedCaption(), "b.txt");
    EXPECT_TRUE(form().RichTextBox(tabs().itemData(2)).isVisible());

    // No: it closes unwritten; b stays selected.
    dialogs.clear();
    dialogs.msgAnswers = {MsgResult::No};
    QAbstractButton *button = closeButton(1);
    ASSERT_TRUE(button);
    button->click();
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "b.txt"}));
    EXPECT_EQ(selectedCaption(), "b.txt");
    EXPECT_EQ(TempEnv::readFile(env->path(QStringLiteral("a.txt"))), "text");
    EXPECT_TRUE(dialogs.reports().empty());
}

// Close Others asks for each unsaved tab as Close does; the first Cancel stops it.
TEST_F(TabsTest, CloseOthersClosesTheOtherTabsUntilACancel)
{
    const int a = open(QStringLiteral("a.txt"));
    open(QStringLiteral("b.txt"));
    const int c = open(QStringLiteral("c.txt"));
    const int d = open(QStringLiteral("d.txt"));
    edit(a, QStringLiteral("a changed"));
    edit(c, QStringLiteral("c changed"));
    edit(d, QStringLiteral("d changed"));
    QStringList asked;
    dialogs.onQuestion = [&] { asked << selectedCaption(); };
    dialogs.msgAnswers = {MsgResult::No, MsgResult::Cancel};
    form().closeOtherTabs(2); // b's tab
    EXPECT_EQ(asked, (QStringList{"a.txt*", "c.txt*"}));
    EXPECT_EQ(captions(), (QStringList{"b.txt", "c.txt*", "d.txt*"}));
    EXPECT_EQ(selectedCaption(), "b.txt");
    EXPECT_EQ(form().RichTextBox(d).text(), "d changed");

    dialogs.msgAnswers = {MsgResult::No, MsgResult::No};
    form().closeOtherTabs(0);
    EXPECT_EQ(captions(), QStringList{"b.txt"});
    EXPECT_TRUE(dialogs.reports().empty());
}

TEST_F(TabsTest, ManyTabsBringTheListButtonInsideTheStripAndItSelectsTheTabPicked)
{
    const QRect frame = app->tabs.frame()->geometry();
    QToolButton *list = app->tabs.listButton();
    EXPECT_FALSE(list->isVisible());
    open(QStringLiteral("a name long enough to be shortened in the middle of its tab.txt"));
    const int longTab = tabs().selectedPosition();
    EXPECT_LT(bar().tabRect(longTab).width(), bar().fontMetrics().horizontalAdvance(tabs().caption(longTab)));
    for (int i = 0; i < 30; ++i)
        form().PushButton2_Click();
    QApplication::processEvents();
    EXPECT_EQ(app->tabs.frame()->geometry(), frame);
    ASSERT_TRUE(list->isVisible());
    EXPECT_TRUE(app->tabs.frame()->rect().contains(list->geometry()));
    EXPECT_FALSE(list->geometry().intersects(bar().geometry()));

    QMenu *menu = app->tabs.listMenu();
    emit menu->aboutToShow();
    ASSERT_EQ(menu->actions().size(), tabs().count());
    EXPECT_EQ(menu->actions()[longTab]->text(), tabs().caption(longTab)); // whole, not shortened
    menu->actions()[longTab]->trigger();
    EXPECT_EQ(tabs().selectedPosition(), longTab);
    EXPECT_TRUE(form().currentEditor().isVisible());
}

TEST_F(TabsTest, TabMenuOffersPathAndFolderOnlyForADocumentWithAFile)
{
    // A byte that is no UTF-8 reaches the clipboard as the user reads it, not as half a pair.
    copyPathToClipboard(nameFromBytes("/home/me/bad\xFF.txt"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("/home/me/bad\uFFFD.txt"));

    for (const QString &path : {QStringLiteral("/home/me/a.txt"), QString()}) {
        QMenu menu;
        fillTabMenu(menu, path, false);
        QStringList enabled;
        for (const QAction *action : menu.actions()) {
            if (!action->isSeparator() && action->isEnabled())
                enabled << action->text();
        }
        EXPECT_EQ(enabled, path.isEmpty() ? QStringList{"Close"}
                                          : (QStringList{"Close", "Copy Path", "Open Containing Folder"}));
    }
}

// Save As opens at the document's file; an untitled document's dialog opens in the folder of the
// last file Open or a save dialog gave, and before any, where the dialog opens by itself.
TEST_F(TabsTest, SaveAsOpensAtTheDocumentsFileOrTheLastFolderUsed)
{
    const auto saveAs = [&](const QString &answer) {
        dialogs.fileAnswers = {answer};
        form().clickButton(Button::PushButton14);
        return dialogs.saveStarts.takeLast();
    };
    EXPECT_EQ(saveAs(QString()), "");
    EXPECT_EQ(form().CommonDialog1.FileName, ""); // a cancelled dialog gives no name

    const QString file = env->writeFile(QStringLiteral("docs/a.txt"), "A");
    dialogs.fileAnswers = {file};
    form().clickButton(Button::PushButton1);
    EXPECT_EQ(saveAs(QString()), file);
    form().PushButton2_Click();
    EXPECT_EQ(saveAs(QString()), env->path(QStringLiteral("docs/")));

    // Saved elsewhere: that folder is the next untitled document's, and the saved one's own file.
    QDir().mkpath(env->path(QStringLiteral("other")));
    const QString saved = env->path(QStringLiteral("other/b.txt"));
    EXPECT_EQ(saveAs(saved), env->path(QStringLiteral("docs/")));
    EXPECT_EQ(saveAs(QString()), saved);
    form().PushButton2_Click();
    EXPECT_EQ(saveAs(QString()), env->path(QStringLiteral("other/")));
    EXPECT_TRUE(dialogs.reports().empty());
}
