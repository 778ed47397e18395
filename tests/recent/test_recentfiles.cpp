// SPDX-License-Identifier: GPL-3.0-or-later
#include "filedocument.h"
#include "qtprinters.h"
#include "settingsvalues.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class RecentFilesTest : public FormTest {
protected:
    RecentFilesTest() { startOnSetUp = false; }
    QString file(const QString &name) { return env->writeFile(name, "text of " + name.toUtf8()); }
    // Presses Recent Files and returns what it showed.
    ShownPrompt pressRecentFiles()
    {
        prompts.clear();
        form().clickButton(Button::PushButton4);
        EXPECT_EQ(prompts.shown.size(), 1u);
        return prompts.shown.empty() ? ShownPrompt{} : prompts.shown.back();
    }
};

} // namespace

TEST_F(RecentFilesTest, FirstRunHasAnEmptyListAndAnswersNoRecentFiles)
{
    startProgram();
    EXPECT_EQ(form().RecentList, QStringList{QString()});
    EXPECT_FALSE(form().RecentMenuHasItems);
    const ShownPrompt box = pressRecentFiles();
    EXPECT_EQ(box.kind, ShownPrompt::MsgBox);
    EXPECT_EQ(box.text, "No recent files.");
    EXPECT_EQ(box.style, MsgStyle::OkOnly);
    EXPECT_EQ(box.title, "");
}

TEST_F(RecentFilesTest, StoredListLoadsCompactedAndTheMenuShowsTheNewestFirstUnderTheButton)
{
    const QString a = file(QStringLiteral("a.txt"));
    const QString b = file(QStringLiteral("b.txt"));
    storeSetting(QStringLiteral("RecentFiles"), a + "|" + b + "|");
    startProgram();
    EXPECT_EQ(form().RecentList, (QStringList{QString(), a, b}));
    EXPECT_EQ(menuCaptions(), (QStringList{b, a}));
    const ShownPrompt menu = pressRecentFiles();
    EXPECT_EQ(menu.kind, ShownPrompt::PopupMenu);
    EXPECT_EQ(menu.items, (QStringList{b, a}));
    EXPECT_EQ(menu.x, 3720);                                             // the button's left edge
    EXPECT_EQ(menu.y, 120 + 405);                                        // its bottom edge
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt")}); // nothing picked, nothing opened
}

TEST_F(RecentFilesTest, VanishedFilesAreNotLoadedAndNotStoredAgain)
{
    const QString a = file(QStringLiteral("a.txt"));
    const QString b = file(QStringLiteral("b.txt"));
    storeSetting(QStringLiteral("RecentFiles"), a + "|" + env->path(QStringLiteral("gone.txt")) + "|" + b + "|");
    startProgram();
    EXPECT_EQ(form().RecentList, (QStringList{QString(), a, b}));
    // b vanishes while the program runs: it stays in the list but is not stored.
    ASSERT_TRUE(QFile::remove(b));
    form().SaveRecent();
    EXPECT_EQ(storedSetting(QStringLiteral("RecentFiles")), a + "|");
    EXPECT_TRUE(prompts.reports().empty());
}

TEST_F(RecentFilesTest, ReaddedPathMovesToTheEndAndOnlyTheSamePathIsCleared)
{
    const QString notes = file(QStringLiteral("notes.txt"));
    const QString bak = file(QStringLiteral("notes.txt.bak"));
    const QString upper = file(QStringLiteral("NOTES.TXT"));
    startProgram();
    form().AddRecent("0|" + notes, true);
    form().AddRecent("1|" + bak, true);
    form().AddRecent("0|" + upper, true);
    form().AddRecent("0|" + notes, true);
    EXPECT_EQ(form().RecentList, (QStringList{QString(), bak, upper, notes}));
    EXPECT_EQ(menuCaptions(), (QStringList{notes, upper, bak}));
    form().SaveRecent();
    EXPECT_EQ(storedSetting(QStringLiteral("RecentFiles")), bak + "|" + upper + "|" + notes + "|");
}

TEST_F(RecentFilesTest, RecordsThatNameNoStorableFileAddNothingAndLeaveTheMenu)
{
    const QString a = file(QStringLiteral("a.txt"));
    const QString barred = file(QStringLiteral("x|y.txt"));
    storeSetting(QStringLiteral("RecentFiles"), a + "|");
    startProgram();
    ASSERT_EQ(menuCaptions(), QStringList{a});
    // After a is gone a rebuild would empty the menu; none of these may rebuild it.
    ASSERT_TRUE(QFile::remove(a));
    QDir().mkpath(env->path(QStringLiteral("folder")));
    const QStringList before = form().RecentList;
    form().AddRecent(QStringLiteral("0|"), true);
    form().AddRecent("1|" + env->path(QStringLiteral("missing.txt")), true);
    form().AddRecent("0|" + barred, true);
    form().AddRecent("0|" + env->path(QStringLiteral("folder")), true);
    EXPECT_EQ(form().RecentList, before);
    EXPECT_TRUE(form().RecentMenuHasItems);
    EXPECT_EQ(menuCaptions(), QStringList{a});
    EXPECT_TRUE(prompts.reports().empty());

    // A record without a bar is reported and adds nothing.
    form().AddRecent(file(QStringLiteral("plain.txt")), true);
    ASSERT_EQ(prompts.reports().size(), 1u);
    EXPECT_TRUE(prompts.reports()[0].text.contains("in Quorvel2021/08/31.Form1.AddRecent at line 100"));
    EXPECT_EQ(form().RecentList, before);
}

TEST_F(RecentFilesTest, RebuildWithFewerPresentFilesRemovesTheExtraItems)
{
    const QString a = file(QStringLiteral("a.txt"));
    const QString b = file(QStringLiteral("b.txt"));
    const QString c = file(QStringLiteral("c.txt"));
    storeSetting(QStringLiteral("RecentFiles"), a + "|" + b + "|" + c + "|");
    startProgram();
    ASSERT_EQ(menuCaptions(), (QStringList{c, b, a}));
    ASSERT_TRUE(QFile::remove(b));
    ASSERT_TRUE(QFile::remove(c));
    const QString d = file(QStringLiteral("d.txt"));
    form().AddRecent("0|" + d, true);
    EXPECT_EQ(menuCaptions(), (QStringList{d, a}));
    // Vanished paths stay in the list until it is stored.
    EXPECT_EQ(form().RecentList, (QStringList{QString(), a, b, c, d}));
    EXPECT_EQ(pressRecentFiles().items, (QStringList{d, a}));
}

TEST_F(RecentFilesTest, NoPresentFileAtARebuildAnswersNoRecentFilesThoughTheListHoldsIt)
{
    const QString a = file(QStringLiteral("a.txt"));
    storeSetting(QStringLiteral("RecentFiles"), a + "|");
    startProgram();
    ASSERT_TRUE(form().RecentMenuHasItems);
    ASSERT_TRUE(QFile::remove(a));
    form().clickButton(Button::PushButton12); // Close All over the untitled document rebuilds the menu
    EXPECT_FALSE(form().RecentMenuHasItems);
    EXPECT_EQ(form().RecentList, (QStringList{QString(), a}));
    const ShownPrompt box = pressRecentFiles();
    EXPECT_EQ(box.kind, ShownPrompt::MsgBox);
    EXPECT_EQ(box.text, "No recent files.");
}

TEST_F(RecentFilesTest, PickingAnItemOpensItsFileAgainAndLeavesTheList)
{
    const QString a = file(QStringLiteral("a.txt"));
    const QString b = file(QStringLiteral("b.txt"));
    storeSetting(QStringLiteral("RecentFiles"), a + "|" + b + "|");
    startProgram();
    const QStringList list = form().RecentList;
    prompts.menuAnswers = {1, 1};
    form().clickButton(Button::PushButton4);
    form().clickButton(Button::PushButton4);
    EXPECT_EQ(captions(),
              (QStringList{QStringLiteral("Untitled1.txt"), QStringLiteral("a.txt"), QStringLiteral("a.txt")}));
    EXPECT_EQ(current().text(), "text of a.txt");
    EXPECT_EQ(current().tag(), "0|" + a);
    EXPECT_TRUE(current().hasFocus());
    EXPECT_EQ(form().RecentList, list);
    EXPECT_TRUE(prompts.reports().empty());
}
