// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtprinters.h"
#include "testenv.h"

#include "platform/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString changedQuestion(const QString &path)
{
    return path + QStringLiteral(" was changed by another program since it was opened. Overwrite it?");
}

// Documents opened the way the Open command does, typed into as a user would.
class ProtectTest : public FormTest {
protected:
    QString open(const QString &name, const QByteArray &bytes)
    {
        const QString path = env->writeFile(name, bytes);
        form().OpenFile(path, false);
        return path;
    }
    std::vector<ShownPrompt> questions() const { return prompts.ofKind(ShownPrompt::MsgBox); }
    void save() { form().clickButton(Button::PushButton7); }
};

} // namespace

TEST_F(ProtectTest, ChangedOnDiskAsksBeforeSaveAndNoKeepsFileAndDocument)
{
    const QString path = open(QStringLiteral("a.txt"), "mine\n");
    type(current(), QStringLiteral("x"));
    env->writeFile(QStringLiteral("a.txt"), "theirs\n");

    prompts.msgAnswers = {MsgResult::No};
    save();
    ASSERT_EQ(questions().size(), 1u);
    EXPECT_EQ(questions()[0].text, changedQuestion(path));
    EXPECT_EQ(questions()[0].style,
              MsgStyle::YesNo + MsgStyle::Exclamation + MsgStyle::DefaultButton2 + MsgStyle::Discards);
    EXPECT_EQ(TempEnv::readFile(path), "theirs\n");
    EXPECT_EQ(captions().last(), "a.txt*");

    // Escape answers nothing: nothing is written either.
    prompts.msgAnswers = {MsgResult::Cancel};
    save();
    EXPECT_EQ(TempEnv::readFile(path), "theirs\n");
    EXPECT_EQ(captions().last(), "a.txt*");

    prompts.msgAnswers = {MsgResult::Yes};
    save();
    EXPECT_EQ(TempEnv::readFile(path), "xmine\n");
    EXPECT_EQ(captions().last(), "a.txt");
    // Written by this document now: the next save asks nothing.
    prompts.clear();
    type(current(), QStringLiteral("y"));
    save();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(TempEnv::readFile(path), "xymine\n");
}

TEST_F(ProtectTest, SameBytesWrittenAgainOrATouchAsksNothing)
{
    const QString path = open(QStringLiteral("a.txt"), "same\n");
    type(current(), QStringLiteral("x"));
    // Replaced by another file with the same bytes: another identity, the same content.
    QFile::remove(path);
    env->writeFile(QStringLiteral("a.txt"), "same\n");
    save();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(TempEnv::readFile(path), "xsame\n");
}

TEST_F(ProtectTest, RemovedFileAsksAndYesWritesItAgain)
{
    const QString path = open(QStringLiteral("gone.txt"), "text\n");
    type(current(), QStringLiteral("x"));
    QFile::remove(path);
    prompts.msgAnswers = {MsgResult::Yes};
    save();
    ASSERT_EQ(questions().size(), 1u);
    EXPECT_EQ(questions()[0].text, changedQuestion(path));
    EXPECT_EQ(TempEnv::readFile(path), "xtext\n");
}

TEST_F(ProtectTest, SecondTabOfTheSameFileAsksBeforeItsSaveAllWrite)
{
    const QString path = open(QStringLiteral("a.txt"), "base\n");
    type(current(), QStringLiteral("1"));
    form().OpenFile(path, false);
    type(current(), QStringLiteral("2"));
    tabs().select(1);
    save(); // the first tab: the file is as it read it
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(TempEnv::readFile(path), "1base\n");

    prompts.msgAnswers = {MsgResult::No};
    form().clickButton(Button::PushButton8);
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_EQ(TempEnv::readFile(path), "1base\n");
    EXPECT_EQ(captions().last(), "a.txt*");

    // Save As onto its own file is the same write.
    tabs().select(2);
    prompts.clear();
    prompts.fileAnswers = {path};
    prompts.msgAnswers = {MsgResult::Yes};
    form().clickButton(Button::PushButton14);
    EXPECT_EQ(questions().size(), 1u);
    EXPECT_EQ(TempEnv::readFile(path), "2base\n");
}

TEST_F(ProtectTest, StarInAFileNameIsNoChangeMark)
{
    const QString path = open(QStringLiteral("a*b&c.txt"), "one\n");
    EXPECT_EQ(captions().last(), "a*b&c.txt");
    EXPECT_FALSE(form().isChanged(tabs().selectedPosition()));
    type(current(), QStringLiteral("x"));
    EXPECT_EQ(captions().last(), "a*b&c.txt*");
    save();
    EXPECT_EQ(captions().last(), "a*b&c.txt");
    EXPECT_EQ(TempEnv::readFile(path), "xone\n");
    // Unchanged again: closing asks nothing, and the file enters the recent list.
    form().clickButton(Button::PushButton11);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(form().RecentList.last(), path);
    EXPECT_EQ(menuCaptions(), QStringList{path});
}

TEST_F(ProtectTest, QuestionsClosedWithoutAnAnswerKeepTheText)
{
    open(QStringLiteral("a.txt"), "text\n");
    type(current(), QStringLiteral("x"));

    // Close: the document stays open, unsaved.
    prompts.msgAnswers = {MsgResult::Cancel};
    form().clickButton(Button::PushButton11);
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "a.txt*"}));
    EXPECT_EQ(current().text(), "xtext\r\n");

    // Close All: nothing closes.
    prompts.msgAnswers = {MsgResult::Cancel};
    form().clickButton(Button::PushButton12);
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "a.txt*"}));

    // Quitting: the window stays.
    prompts.msgAnswers = {MsgResult::Cancel};
    int cancel = 0;
    form().Form_QueryUnload(cancel, 0);
    EXPECT_EQ(cancel, 1);
    EXPECT_EQ(questions().size(), 3u);
    EXPECT_EQ(questions()[0].style,
              MsgStyle::YesNo + MsgStyle::Discards); // Save Changes: Yes, which saves, stays the default
}

TEST_F(ProtectTest, ALinkSwappedInAfterTheCheckIsTheChangedFileQuestionAndNeverFollowed)
{
    const QString secret = env->writeFile(QStringLiteral("private/secret.txt"), "secret\n");
    const QString path = open(QStringLiteral("d/a.txt"), "mine\n");
    // A second hard link: the save writes in place.
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(path + QStringLiteral("2")).constData()),
              0);
    type(current(), QStringLiteral("x"));
    int swaps = 0;
    FileReplacement::afterCheck() = [&] {
        if (swaps++ == 0) {
            QFile::rename(path, path + QStringLiteral(".old"));
            QFile::link(secret, path);
        }
    };
    prompts.msgAnswers = {MsgResult::No};
    save();
    ASSERT_EQ(questions().size(), 1u);
    EXPECT_EQ(questions()[0].text, changedQuestion(path));
    EXPECT_EQ(TempEnv::readFile(secret), "secret\n");
    EXPECT_EQ(captions().last(), "a.txt*");

    // Yes replaces whatever holds the name now, the link itself.
    prompts.msgAnswers = {MsgResult::Yes};
    save();
    FileReplacement::afterCheck() = nullptr;
    EXPECT_EQ(TempEnv::readFile(secret), "secret\n");
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_EQ(TempEnv::readFile(path), "xmine\n");
    EXPECT_EQ(captions().last(), "a.txt");

    // A link put there between two saves: the name is not resolved again, so even Yes writes
    // only that name.
    QFile::remove(path);
    QFile::link(secret, path);
    type(current(), QStringLiteral("y"));
    prompts.msgAnswers = {MsgResult::Yes};
    save();
    EXPECT_EQ(questions().size(), 3u);
    EXPECT_EQ(TempEnv::readFile(secret), "secret\n");
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_EQ(TempEnv::readFile(path), "xymine\n");
}

TEST_F(ProtectTest, StartPutsBackAFileWhoseSaveInPlaceWasKilled)
{
    const QString path = env->writeFile(QStringLiteral("d/a.txt"), "old text\n");
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(path + QStringLiteral("2")).constData()),
              0);
    const pid_t child = ::fork();
    if (child == 0) {
        FileReplacement file(path);
        file.write("NEW");
        ::kill(::getpid(), SIGKILL);
    }
    ::waitpid(child, nullptr, 0);
    ASSERT_EQ(TempEnv::readFile(path), "NEW text\n");

    restartProgram();
    const auto shown = questions();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text,
              resolveLinks(path) + " was not saved completely. The version before that save was put back.");
    EXPECT_EQ(TempEnv::readFile(path + QStringLiteral("2")), "old text\n");
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}
