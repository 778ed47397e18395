// SPDX-License-Identifier: GPL-3.0-or-later
#include "filedocument.h"
#include "qtprinters.h"
#include "settingsvalues.h"
#include "testenv.h"

#include "app/commandline.h"
#include "platform/files.h"

#include <QFile>
#include <cstdio>
#include <dirent.h>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

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
    add(a, QStringLiteral("a.txt")); // a file open twice is recorded twice
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

// A name that is no UTF-8 (bytes FF FE) keeps its bytes from the command line through a save, the
// settings file and the next start; the user reads U+FFFD where such a byte stands.
TEST_F(OpenFilesTest, NameThatIsNoUtf8KeepsItsBytesThroughSaveSettingsAndRestart)
{
    const QByteArray folder = nameBytes(env->path(QStringLiteral("x"))).chopped(2);
    const QByteArray raw = folder + "/bad\xFF\xFE.txt";
    std::FILE *f = std::fopen(raw.constData(), "wb");
    ASSERT_TRUE(f);
    std::fputs("old", f);
    std::fclose(f);
    const std::unique_ptr<const char, void (*)(const char *)> removed(raw.constData(),
                                                                      [](const char *n) { ::unlink(n); });
    const QString shown = QStringLiteral("bad\uFFFD\uFFFD.txt");
    startProgram();
    const CommandLine line = parseCommandLine({"marquill", nameFromBytes("bad\xFF\xFE.txt")}, nameFromBytes(folder));
    ASSERT_EQ(line.files.size(), 1);
    const QString name = line.files[0];
    EXPECT_EQ(nameBytes(name), raw);
    form().openFiles(line.files);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(captions().back(), shown);
    EXPECT_EQ(current().text(), "old");
    type(current(), QStringLiteral("new "));
    form().PushButton7_Click();
    EXPECT_TRUE(prompts.shown.empty());
    char back[16] = {};
    f = std::fopen(raw.constData(), "rb"); // the same file, and no second one beside it
    ASSERT_TRUE(f);
    EXPECT_EQ(std::fread(back, 1, sizeof back, f), 7u);
    std::fclose(f);
    EXPECT_STREQ(back, "new old");
    int files = 0; // Qt's listing would lose the name
    DIR *dir = ::opendir(folder.constData());
    ASSERT_TRUE(dir);
    while (const dirent *entry = ::readdir(dir))
        files += entry->d_type == DT_REG;
    ::closedir(dir);
    EXPECT_EQ(files, 1);
    form().AddAllRecent();
    form().SaveOpen();
    const QString settings = env->configFolder() + QStringLiteral("/Vortlane.ini");
    EXPECT_TRUE(TempEnv::readFile(settings).contains("/bad\xFF\xFE.txt|")) << TempEnv::readFile(settings).toStdString();

    restartProgram();
    EXPECT_EQ(captions().back(), shown);
    EXPECT_EQ(current().text(), "new old");
    EXPECT_EQ(current().tag(), "0|" + name);
    prompts.menuAnswers = {-1};
    form().PushButton4_Click();
    ASSERT_EQ(prompts.ofKind(ShownPrompt::PopupMenu).size(), 1u);
    const QStringList items = prompts.ofKind(ShownPrompt::PopupMenu)[0].items;
    const qsizetype item = items.indexOf(shownName(name));
    ASSERT_GE(item, 0) << items.join(u'\n').toStdString();
    prompts.menuAnswers = {int(item)};
    form().PushButton4_Click(); // opens it a second time, by its bytes
    EXPECT_EQ(captions().back(), shown);
    EXPECT_EQ(current().text(), "new old");
    EXPECT_TRUE(prompts.reports().empty());
}
