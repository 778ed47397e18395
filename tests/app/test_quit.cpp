// SPDX-License-Identifier: GPL-3.0-or-later
#include "filedocument.h"
#include "qtprinters.h"
#include "settingsvalues.h"
#include "testenv.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class QuitTest : public FormTest {
protected:
    QString file(const QString &name) { return env->writeFile(name, "text of " + name.toUtf8()); }
    void add(const QString &path) { addFileDocument(form(), tabs(), path, QFileInfo(path).fileName()); }
    void mark(int position) { form().markChanged(tabs().itemData(position)); }
    int queryUnload()
    {
        int cancel = 0;
        form().Form_QueryUnload(cancel, 0);
        return cancel;
    }
};

} // namespace

TEST_F(QuitTest, NothingChangedAsksNothingAndRecordsTheOpenFiles)
{
    const QString a = file(QStringLiteral("a.txt"));
    add(a);
    app->timer.setEnabled(true); // as before the first tick
    prompts.clear();
    EXPECT_EQ(queryUnload(), 0);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_FALSE(app->timer.isEnabled());
    EXPECT_EQ(storedSetting(QStringLiteral("OpenFiles")), a + "|");
    EXPECT_EQ(storedSetting(QStringLiteral("RecentFiles")), "");
}

TEST_F(QuitTest, SeveralChangedDocumentsAskOnce)
{
    add(file(QStringLiteral("a.txt")));
    add(file(QStringLiteral("b.txt")));
    mark(0);
    mark(2);
    prompts.clear();
    prompts.msgAnswers = {MsgResult::Yes};
    EXPECT_EQ(queryUnload(), 0);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Exit without saving?");
    EXPECT_EQ(prompts.shown[0].title, "Continue Exit");
    EXPECT_EQ(prompts.shown[0].style, MsgStyle::YesNo + MsgStyle::DefaultButton2 + MsgStyle::Discards);
}

TEST_F(QuitTest, RecordFlagWithoutTheMarkAsksNothing)
{
    const QString a = file(QStringLiteral("a.txt"));
    add(a);
    form().setRecord(form().currentEditorIndex(), DocumentRecord{true, a});
    prompts.clear();
    EXPECT_EQ(queryUnload(), 0);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(storedSetting(QStringLiteral("OpenFiles")), a + "|");
}

TEST_F(QuitTest, AnswerNoKeepsTheWindowButRecordsAllTheSame)
{
    const QString a = file(QStringLiteral("a.txt"));
    const QString b = file(QStringLiteral("b.txt"));
    const QString c = file(QStringLiteral("c.txt"));
    add(a);
    add(b);
    add(c);
    tabs().select(1);
    form().clickButton(Button::PushButton11); // a goes to the recent list
    mark(1);
    const QStringList before = captions();
    prompts.clear();
    prompts.msgAnswers = {MsgResult::No};
    EXPECT_EQ(queryUnload(), 1);
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(captions(), before);
    EXPECT_FALSE(app->timer.isEnabled());
    EXPECT_EQ(storedSetting(QStringLiteral("OpenFiles")), b + "|" + c + "|");
    EXPECT_EQ(storedSetting(QStringLiteral("RecentFiles")), a + "|");

    // Both values are there for the next run.
    restartProgram();
    EXPECT_EQ(form().GetSetting(QStringLiteral("OpenFiles"), QString()), b + "|" + c + "|");
    EXPECT_EQ(form().GetSetting(QStringLiteral("RecentFiles"), QString()), a + "|");
    EXPECT_EQ(form().RecentList, (QStringList{QString(), a}));
}

TEST_F(QuitTest, ClosingTheWindowEndsTheProgramOnlyWhenTheUserAgrees)
{
    bool ended = false;
    app->window.onUnloaded = [&] { ended = true; };
    mark(0);
    prompts.msgAnswers = {MsgResult::No, MsgResult::Yes};
    app->window.close();
    EXPECT_FALSE(ended);
    EXPECT_FALSE(form().quitRequested);
    EXPECT_TRUE(app->window.isVisible());
    app->window.close();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(form().quitRequested);
    EXPECT_EQ(prompts.ofKind(ShownPrompt::MsgBox).size(), 2u);
}
