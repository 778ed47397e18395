// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"
#include "platform/files.h"
#include "platform/qt/singleinstance.h"
#include "testenv.h"

#include <QApplication>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

TEST(CommandLineTest, PathsAreMadeAbsoluteInTheOrderGiven)
{
    const CommandLine c = parseCommandLine({"marquill", "notes.txt", "../old/a b.txt", "/abs/./c.txt",
                                            "file:///tmp/x%20y.txt", "file:///t/%FF%C3%A9.txt", "--", "-dash.txt"},
                                           "/home/you/work");
    EXPECT_TRUE(c.error.isEmpty());
    EXPECT_FALSE(c.help || c.version);
    EXPECT_EQ(c.files, (QStringList{"/home/you/work/notes.txt", "/home/you/old/a b.txt", "/abs/c.txt", "/tmp/x y.txt",
                                    nameFromBytes("/t/\xFF\xC3\xA9.txt"), "/home/you/work/-dash.txt"}));
}

TEST(CommandLineTest, HelpVersionAndUnknownOptions)
{
    EXPECT_TRUE(parseCommandLine({"marquill", "--help"}, "/").help);
    EXPECT_TRUE(parseCommandLine({"marquill", "-v"}, "/").version);
    const CommandLine help = parseCommandLine({"marquill", "-h"}, "/");
    EXPECT_TRUE(help.helpText.startsWith("Usage: marquill [options] [FILE...]")) << help.helpText.toStdString();
    const CommandLine wrong = parseCommandLine({"marquill", "--frobnicate", "a.txt"}, "/");
    EXPECT_TRUE(wrong.error.contains("frobnicate"));
}

class StartWithFilesTest : public FormTest {
protected:
    StartWithFilesTest() { startOnSetUp = false; }
    void startWith(const QStringList &files)
    {
        app.reset();
        app = std::make_unique<QtApplication>(&prompts, env->programFolder());
        app->start(files);
        QApplication::processEvents();
    }
};

TEST_F(StartWithFilesTest, FilesOpenAfterTheReopenedOnesLastSelectedMissingOneNamedOnce)
{
    const QString kept = env->writeFile("kept.txt", "kept");
    const QString a = env->writeFile("with space/a b.txt", "first");
    const QString b = env->writeFile("b.txt", "second");
    const QString missing = env->path("gone.txt");
    startWith({});
    form().OpenFile(kept, false);
    app->window.close(); // records kept.txt for the next start
    prompts.clear();

    startWith({a, missing, env->path("with space"), env->path("no folder/x.txt"), b});
    // A file that does not exist yet in an existing folder opens empty, for Save to make.
    EXPECT_EQ(captions(), (QStringList{"kept.txt", "a b.txt", "gone.txt", "b.txt"}));
    EXPECT_EQ(tabs().selectedPosition(), 3);
    EXPECT_EQ(current().text(), "second");
    EXPECT_TRUE(current().isVisible());
    EXPECT_EQ(editorAt(tabs().itemData(1)).text(), "first");
    // One notice for both files that could not be opened, and no error report.
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.reports().empty());
    EXPECT_TRUE(prompts.shown[0].text.contains(env->path("no folder/x.txt") + " (no such file)"))
        << prompts.shown[0].text.toStdString();
    EXPECT_TRUE(prompts.shown[0].text.contains(env->path("with space") + " (a folder, not a file)"));
}

TEST(SingleInstanceTest, SecondStartHandsItsFilesToTheFirst)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("m.socket");
    SingleInstance first(path), second(path);
    QStringList received;
    first.onRequest = [&](const QStringList &files) { received += files; };
    EXPECT_FALSE(second.sendToRunning({"/x"}, 500)); // nobody listens yet
    ASSERT_EQ(first.listen(), SingleInstance::Listen::Listening);
    EXPECT_EQ(second.listen(), SingleInstance::Listen::OtherRunning);
    EXPECT_TRUE(second.sendToRunning({"/a b.txt", "/é.txt"}));
    EXPECT_TRUE(second.sendToRunning({}));
    EXPECT_EQ(received, (QStringList{"/a b.txt", "/é.txt"}));
}

TEST(SingleInstanceTest, SocketLeftByACrashIsReplaced)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("m.socket");
    // A socket file that nobody listens on, as a killed program leaves it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(path));

    SingleInstance later(path), another(path);
    EXPECT_FALSE(another.sendToRunning({"/a"}, 500));
    QStringList received;
    later.onRequest = [&](const QStringList &files) { received = files; };
    ASSERT_EQ(later.listen(), SingleInstance::Listen::Listening);
    EXPECT_TRUE(another.sendToRunning({"/a"}));
    EXPECT_EQ(received, QStringList{"/a"});
}

TEST_F(StartWithFilesTest, HandedOverFilesOpenAndTheWindowComesBack)
{
    const QString a = env->writeFile("a.txt", "A");
    startWith({});
    app->window.showMinimized();
    QApplication::processEvents();
    app->anotherStart({a});
    EXPECT_FALSE(app->window.isMinimized());
    EXPECT_TRUE(app->window.isVisible());
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "a.txt"}));
    EXPECT_EQ(current().text(), "A");
}
