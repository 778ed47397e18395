// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileops/filewatch.h"
#include "qtprinters.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

class DiskChangeTest : public FormTest {
protected:
    // Events until `done`, or false after three seconds.
    static bool waitFor(const std::function<bool()> &done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 3000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return done();
    }
    // Lets the watch gather and report whatever it saw.
    static void settle()
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 3 * FileWatch::GatherTime)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    // Another program saves the way most do: a new file renamed over the old one.
    void replace(const QString &path, const QByteArray &bytes)
    {
        const QString temporary = env->writeFile(QStringLiteral("other.tmp"), bytes);
        ASSERT_EQ(::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()), 0);
    }
    static void appendTo(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(bytes);
    }
};

} // namespace

TEST_F(DiskChangeTest, DocumentWithoutChangesFollowsItsFile)
{
    const QString path = env->writeFile(QStringLiteral("log.txt"), "one\ntwo\n");
    form().OpenFile(path, false);
    current().setSelStart(6);
    appendTo(path, "three\n");
    ASSERT_TRUE(waitFor([&] { return current().text() == "one\r\ntwo\r\nthree\r\n"; }))
        << current().text().toStdString();
    EXPECT_EQ(current().selStart(), 6) << "the caret stays";
    // Grown, but not only at the end: the whole file is read again.
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write("ONE\ntwo\nthree\nfour\n");
    }
    ASSERT_TRUE(waitFor([&] { return current().text() == "ONE\r\ntwo\r\nthree\r\nfour\r\n"; }))
        << current().text().toStdString();
    replace(path, "new\n");
    ASSERT_TRUE(waitFor([&] { return current().text() == "new\r\n"; })) << "followed also after a rename over it";
    appendTo(path, "more\n");
    ASSERT_TRUE(waitFor([&] { return current().text() == "new\r\nmore\r\n"; })) << "watched again after the rename";
    EXPECT_EQ(captions().last(), "log.txt");
    EXPECT_TRUE(prompts.shown.empty());

    // Our own save is no change by another program; the saved bytes are the ones on disk.
    current().setSelStart(0);
    type(current(), QStringLiteral("x"));
    form().clickButton(Button::PushButton7);
    settle();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(current().text(), "xnew\r\nmore\r\n");
    EXPECT_EQ(TempEnv::readFile(path), "xnew\nmore\n");
}

TEST_F(DiskChangeTest, AReloadKeepsTheCaretAndTheScrollPosition)
{
    QByteArray lines;
    for (int i = 0; i < 500; ++i)
        lines += QByteArray::number(i) + '\n';
    const QString path = env->writeFile(QStringLiteral("long.txt"), lines);
    form().OpenFile(path, false);
    current().setSelStart(2000);
    current().setFirstVisibleLine(200);
    const int top = current().firstVisibleLine();
    ASSERT_GT(top, 100);
    replace(path, "changed\n" + lines);
    ASSERT_TRUE(waitFor([&] { return current().textRange(0, 7) == "changed"; }));
    EXPECT_EQ(current().selStart(), 2000);
    EXPECT_EQ(current().firstVisibleLine(), top);
}

TEST_F(DiskChangeTest, SaveAfterAFollowedAppendStillAsksWhenTheFileChangesAgain)
{
    const QString path = env->writeFile(QStringLiteral("log.txt"), "one\n");
    form().OpenFile(path, false);
    appendTo(path, "two\n");
    ASSERT_TRUE(waitFor([&] { return current().text() == "one\r\ntwo\r\n"; }));
    type(current(), QStringLiteral("mine "));
    appendTo(path, "theirs\n"); // saved before the watch reports it
    prompts.clear();
    prompts.msgAnswers = {MsgResult::No};
    form().PushButton7_Click();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.endsWith(" was changed by another program since it was opened. Overwrite it?"));
    EXPECT_EQ(TempEnv::readFile(path), "one\ntwo\ntheirs\n");
}

TEST_F(DiskChangeTest, UnsavedChangesAreKeptUnlessTheUserReloads)
{
    const QString path = env->writeFile(QStringLiteral("a.txt"), "disk\r\n");
    form().OpenFile(path, false);
    type(current(), QStringLiteral("mine "));
    prompts.msgAnswers = {MsgResult::No};
    replace(path, "theirs\r\n");
    ASSERT_TRUE(waitFor([&] { return !prompts.shown.empty(); }));
    EXPECT_EQ(prompts.shown[0].text,
              QDir::toNativeSeparators(path) + " was changed by another program. Reload it and lose your changes?");
    EXPECT_TRUE(prompts.shown[0].style & MsgStyle::DefaultButton2) << "No is the default";
    EXPECT_EQ(current().text(), "mine disk\r\n");
    // A file that keeps changing asks no more.
    for (int i = 0; i < 20; ++i)
        appendTo(path, "x");
    settle();
    EXPECT_EQ(prompts.shown.size(), 1u);
    // Save still asks before overwriting.
    prompts.clear();
    prompts.msgAnswers = {MsgResult::No};
    form().clickButton(Button::PushButton7);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.endsWith("Overwrite it?"));

    // Saved over theirs: the next change asks again, and Yes takes the file's text.
    prompts.clear();
    prompts.msgAnswers = {MsgResult::Yes, MsgResult::Yes};
    form().clickButton(Button::PushButton7);
    type(current(), QStringLiteral("!"));
    replace(path, "theirs again\r\n");
    ASSERT_TRUE(waitFor([&] { return current().text() == "theirs again\r\n"; }));
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(captions().last(), "a.txt");
}

TEST_F(DiskChangeTest, RemovedFileIsToldOnceAndTheTextKept)
{
    const QString path = env->writeFile(QStringLiteral("gone.txt"), "text\r\n");
    form().OpenFile(path, false);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(waitFor([&] { return !prompts.shown.empty(); }));
    EXPECT_EQ(prompts.shown[0].text, QDir::toNativeSeparators(path) +
                                         " was deleted or moved by another program. Your text is kept; Save writes "
                                         "it again.");
    EXPECT_EQ(captions().last(), "gone.txt*") << "quitting asks";
    EXPECT_EQ(current().text(), "text\r\n");
    // A folder in its place is not read.
    QDir().mkdir(path);
    settle();
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(current().text(), "text\r\n");
}

// Past the system's limit of watches a file is not watched, and not forgotten either: its stamp
// is compared when the window becomes active again.
TEST_F(DiskChangeTest, FileBeyondTheWatchLimitIsCheckedWhenTheWindowIsActivated)
{
    bool active = true;
    form().fileWatch->windowActive = [&] { return active; };
    form().fileWatch->addWatch = [](QFileSystemWatcher &, const QString &) { return false; };
    const QString path = env->writeFile(QStringLiteral("many.txt"), "old\n");
    form().OpenFile(path, false);
    active = false;
    appendTo(path, "new\n"); // in place: its folder's watch sees nothing
    settle();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2 * FileWatch::ActivityTime)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(current().text(), "old\r\n") << "no watch and no activation: nothing yet";
    active = true;
    ASSERT_TRUE(waitFor([&] { return current().text() == "old\r\nnew\r\n"; }));
}
