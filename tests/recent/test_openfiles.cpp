#include "qtprinters.h"
#include "filedocument.h"
#include "settingsvalues.h"
#include "testenv.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class OpenFilesTest : public FormTest {
protected:
    OpenFilesTest() { startOnSetUp = false; }
    QString file(const QString &name) { return env->writeFile(name, "text of " + name.toUtf8()); }
    void add(const QString &path, const QString &caption) { addFileDocument(form(), tabs(), path, caption); }
};

} // namespace

TEST_F(OpenFilesTest, RecordedFilesComeBackInOrderWithoutTheDeletedOnes)
{
    const QString a = file(QStringLiteral("a.txt"));
    const QString b = file(QStringLiteral("b.txt"));
    const QString c = file(QStringLiteral("c.txt"));
    storeSetting(QStringLiteral("OpenFiles"), a + "|" + env->path(QStringLiteral("gone.txt")) + "|" + b + "|");
    storeSetting(QStringLiteral("RecentFiles"), c + "|");
    startProgram();
    EXPECT_EQ(captions(), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    EXPECT_EQ(tabs().selectedPosition(), 1);
    EXPECT_EQ(form().EditorCount, 3); // editor 0 stays without a tab
    EXPECT_EQ(editorAt(1).tag(), "0|" + a);
    EXPECT_EQ(editorAt(2).tag(), "0|" + b);
    EXPECT_EQ(editorAt(1).text(), "text of a.txt");
    EXPECT_EQ(current().text(), "text of b.txt");
    EXPECT_FALSE(form().Busy);
    EXPECT_TRUE(prompts.shown.empty());
    // The recent list is loaded after the files.
    EXPECT_EQ(form().RecentList, (QStringList{QString(), c}));
}

TEST_F(OpenFilesTest, NothingLeftToReopenStartsWithUntitled1)
{
    storeSetting(QStringLiteral("OpenFiles"),
                 env->path(QStringLiteral("gone1.txt")) + "|" + env->path(QStringLiteral("gone2.txt")) + "|");
    startProgram();
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt")});
    EXPECT_EQ(form().EditorCount, 1);
    EXPECT_EQ(editorAt(0).tag(), "0|");
    EXPECT_FALSE(form().Busy);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(OpenFilesTest, ReopenedFilesDoNotTakeTheFocus)
{
    const QString a = file(QStringLiteral("a.txt"));
    const QString b = file(QStringLiteral("b.txt"));
    startProgram();
    ASSERT_TRUE(editorAt(0).hasFocus());
    form().SaveSetting(QStringLiteral("OpenFiles"), a + "|" + b + "|");
    bool anyReopened = false;
    form().WasOpenRecent(anyReopened);
    EXPECT_TRUE(anyReopened);
    ASSERT_EQ(captions(),
              (QStringList{QStringLiteral("Untitled1.txt"), QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    EXPECT_EQ(tabs().selectedPosition(), 2);
    EXPECT_TRUE(editorAt(0).hasFocus());
    EXPECT_FALSE(editorAt(1).hasFocus());
    EXPECT_FALSE(editorAt(2).hasFocus());
}

TEST_F(OpenFilesTest, RecordHoldsTheOpenPathsInTabOrderAndSurvivesARestart)
{
    const QString a = file(QStringLiteral("a.txt"));
    const QString b = file(QStringLiteral("b.txt"));
    const QString barred = file(QStringLiteral("x|y.txt"));
    startProgram();
    add(a, QStringLiteral("a.txt"));
    form().clickButton(Button::PushButton2); // an untitled document in between is not recorded
    add(barred, QStringLiteral("x|y.txt"));  // nor a path the record cannot hold
    add(b, QStringLiteral("b.txt"));
    add(a, QStringLiteral("a.txt"));        // a file open twice is recorded twice
    form().SaveOpen();
    const QString expected = a + "|" + b + "|" + a + "|";
    EXPECT_EQ(storedSetting(QStringLiteral("OpenFiles")), expected);
    restartProgram();
    EXPECT_EQ(form().GetSetting(QStringLiteral("OpenFiles"), QString()), expected);
}

TEST_F(OpenFilesTest, OnlyUntitledDocumentsStoreAnEmptyRecord)
{
    storeSetting(QStringLiteral("OpenFiles"), QStringLiteral("stale|"));
    startProgram();
    form().clickButton(Button::PushButton2);
    form().SaveOpen();
    EXPECT_EQ(storedSetting(QStringLiteral("OpenFiles")), "");
    EXPECT_TRUE(prompts.reports().empty());
}
