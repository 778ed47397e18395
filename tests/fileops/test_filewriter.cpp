// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/failure.h"
#include "platform/files.h"
#include "testenv.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>

namespace {

struct stat statOf(const QString &path)
{
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
}

void replace(const QString &path, const QByteArray &bytes)
{
    FileReplacement file(path);
    file.write(bytes.left(bytes.size() / 2));
    file.write(bytes.mid(bytes.size() / 2));
    file.commit();
}

// Every name in the folder, hidden ones included: no temporary file or backup may stay.
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Runs `body` as the ordinary user nobody (in a child process when the tests run as root) and
// returns what it threw, or "" when it threw nothing.
QString asOrdinaryUser(const std::function<void()> &body)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return QStringLiteral("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        QByteArray outcome;
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            outcome = "cannot become nobody";
        else {
            try {
                body();
            } catch (const Failure &f) {
                outcome = f.description().toUtf8();
            }
        }
        if (!outcome.isEmpty() && ::write(channel[1], outcome.constData(), size_t(outcome.size())) < 0)
            ::_exit(2);
        ::_exit(0);
    }
    ::close(channel[1]);
    QByteArray outcome;
    char buffer[256];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        outcome.append(buffer, n);
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return QString::fromUtf8(outcome);
}

} // namespace

TEST(FileReplacement, ReplacesTheFileAndKeepsModeGroupAndAttributes)
{
    TempEnv env;
    const QString path = env.writeFile(QStringLiteral("d/a.txt"), "old");
    const QByteArray name = QFile::encodeName(path);
    ASSERT_EQ(::chmod(name.constData(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(name.constData(), 65534, 65534), 0);
    }
    const bool attributes = ::setxattr(name.constData(), "user.marquill.test", "kept", 4, 0) == 0;
    const ino_t inode = statOf(path).st_ino;

    replace(path, "new text");
    EXPECT_EQ(TempEnv::readFile(path), "new text");
    const struct stat st = statOf(path);
    EXPECT_NE(st.st_ino, inode) << "a single-link file is replaced by a new one";
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
    }
    if (attributes) {
        char value[16] = {};
        EXPECT_EQ(::getxattr(name.constData(), "user.marquill.test", value, sizeof value), 4);
        EXPECT_STREQ(value, "kept");
    } else {
        std::cout << "[ SKIPPED  ] attributes: the temporary folder takes no user.* attributes\n";
    }
    EXPECT_EQ(entries(env.path(QStringLiteral("d"))), QStringList{QStringLiteral("a.txt")});

    // Unfinished: the old file stays and the new one is gone.
    {
        FileReplacement file(path);
        file.write("half");
    }
    EXPECT_EQ(TempEnv::readFile(path), "new text");
    EXPECT_EQ(entries(env.path(QStringLiteral("d"))), QStringList{QStringLiteral("a.txt")});
}

TEST(FileReplacement, HardLinkedFileIsWrittenInPlaceAndAFailedWriteLosesNothing)
{
    TempEnv env;
    const QString path = env.writeFile(QStringLiteral("d/a.txt"), "old text, longer than the new");
    const QString link = env.path(QStringLiteral("d/b.txt"));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    const struct stat before = statOf(path);

    replace(path, "new");
    EXPECT_EQ(TempEnv::readFile(link), "new") << "the other name sees the new text";
    EXPECT_EQ(statOf(path).st_ino, before.st_ino);
    EXPECT_EQ(entries(env.path(QStringLiteral("d"))), (QStringList{"a.txt", "b.txt"}));

    // Abandoned after a write: the old content comes back, with its time of last change.
    {
        FileReplacement file(path);
        file.write("something else entirely, and longer");
    }
    EXPECT_EQ(TempEnv::readFile(link), "new");
    EXPECT_EQ(entries(env.path(QStringLiteral("d"))), (QStringList{"a.txt", "b.txt"}));

    // The disk fills up half way (a file size limit plays the full disk): the failure is the
    // plain description, the old content is back and no backup is left.
    const struct stat mid = statOf(path);
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString failure;
    try {
        FileReplacement file(path);
        file.write(QByteArray(3000, 'x'));
        file.write(QByteArray(3000, 'y'));
        file.commit();
    } catch (const Failure &f) {
        failure = f.description();
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(failure, "Disk full");
    EXPECT_EQ(TempEnv::readFile(path), "new");
    EXPECT_EQ(statOf(path).st_mtim.tv_nsec, mid.st_mtim.tv_nsec);
    EXPECT_EQ(statOf(path).st_mtim.tv_sec, mid.st_mtim.tv_sec);
    EXPECT_EQ(entries(env.path(QStringLiteral("d"))), (QStringList{"a.txt", "b.txt"}));
}

TEST(FileReplacement, FolderWithoutWritePermissionIsWrittenInPlace)
{
    // Root may create files anywhere: the writes run as the ordinary user nobody.
    QTemporaryDir base(QDir::tempPath() + QStringLiteral("/marquill-XXXXXX"));
    ASSERT_TRUE(base.isValid());
    const QString folder = base.filePath(QStringLiteral("locked"));
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/a.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("old") == 3);
    f.close();
    ::chmod(QFile::encodeName(base.path()).constData(), 0755);
    ::chmod(QFile::encodeName(path).constData(), 0666);
    ::chmod(QFile::encodeName(folder).constData(), 0555);
    if (::geteuid() != 0 && ::access(QFile::encodeName(folder).constData(), W_OK) == 0)
        GTEST_SKIP() << "folder modes do not bind this user";

    EXPECT_EQ(asOrdinaryUser([&] { replace(path, "new text"); }), "");
    EXPECT_EQ(TempEnv::readFile(path), "new text");
    EXPECT_EQ(entries(folder), QStringList{QStringLiteral("a.txt")});
    // A new file cannot be made there at all.
    EXPECT_EQ(asOrdinaryUser([&] { replace(folder + QStringLiteral("/b.txt"), "x"); }), "Permission denied");
    // Nor can a file be written that the user may only read; it stays as it was.
    ::chmod(QFile::encodeName(path).constData(), 0644);
    EXPECT_EQ(asOrdinaryUser([&] { replace(path, "other"); }), "Permission denied");
    EXPECT_EQ(TempEnv::readFile(path), "new text");
    EXPECT_EQ(entries(folder), QStringList{QStringLiteral("a.txt")});
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}

TEST(FileReplacement, WhatCannotBeReplacedFailsWithAPlainDescription)
{
    TempEnv env;
    const QString plain = env.writeFile(QStringLiteral("plain"), "x");
    EXPECT_THROW(FileReplacement{QString()}, Failure);
    try {
        FileReplacement file(env.path(QString()));
        ADD_FAILURE() << "a folder was opened";
    } catch (const Failure &f) {
        EXPECT_EQ(f.description(), "Path/File access error");
    }
    try {
        FileReplacement file(plain + QStringLiteral("/a.txt"));
        ADD_FAILURE() << "a file under a file was opened";
    } catch (const Failure &f) {
        EXPECT_EQ(f.description(), "Path not found");
    }
    const QString fifo = env.path(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    EXPECT_THROW(FileReplacement{fifo}, Failure);
    EXPECT_EQ(TempEnv::readFile(plain), "x");
}

namespace {

FileIdentity identityOf(const QString &path)
{
    const struct stat st = statOf(path);
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

// Runs `hook` once, the next time a writer has checked its file.
struct AfterCheck {
    explicit AfterCheck(std::function<void()> hook)
    {
        FileReplacement::afterCheck() = [hook, ran = false]() mutable {
            if (!std::exchange(ran, true))
                hook();
        };
    }
    ~AfterCheck() { FileReplacement::afterCheck() = nullptr; }
};

// Another user's move: the name now holds a link to a file only the saving user may write.
void swapForLink(const QString &path, const QString &secret)
{
    ASSERT_EQ(
        ::rename(QFile::encodeName(path).constData(), QFile::encodeName(path + QStringLiteral(".old")).constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(secret).constData(), QFile::encodeName(path).constData()), 0);
}

bool isLink(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Starts a save in a child process and kills it (SIGKILL, no clean-up) after `bytes` bytes.
void killedSave(const QString &path, const QByteArray &text, qsizetype bytes)
{
    const pid_t child = ::fork();
    if (child == 0) {
        FileReplacement file(path);
        file.write(text.left(bytes));
        ::kill(::getpid(), SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

} // namespace

TEST(FileReplacement, ANameSwappedForALinkIsNeverFollowed)
{
    TempEnv env;
    const QString secret = env.writeFile(QStringLiteral("private/secret.txt"), "secret");
    const QString path = env.writeFile(QStringLiteral("d/notes.txt"), "old");
    const QString target = resolveLinks(path);

    // Swapped after the check: the rename replaces the link itself, in that folder.
    {
        AfterCheck swap([&] { swapForLink(target, secret); });
        FileReplacement file(target, identityOf(target));
        file.write("root's text");
        file.commit();
    }
    EXPECT_EQ(TempEnv::readFile(secret), "secret");
    EXPECT_FALSE(isLink(target));
    EXPECT_EQ(TempEnv::readFile(target), "root's text");

    // Already a link when checked: a changed file, nothing written.
    swapForLink(target, secret);
    EXPECT_THROW(FileReplacement(target, identityOf(target + QStringLiteral(".old"))), FileChanged);
    EXPECT_EQ(TempEnv::readFile(secret), "secret");

    // Written in place (a second hard link): swapped after the check, the link is never opened.
    ::unlink(QFile::encodeName(target).constData());
    env.writeFile(QStringLiteral("d/notes.txt"), "old");
    ASSERT_EQ(
        ::link(QFile::encodeName(target).constData(), QFile::encodeName(target + QStringLiteral("2")).constData()), 0);
    {
        AfterCheck swap([&] { swapForLink(target, secret); });
        EXPECT_THROW(FileReplacement(target, identityOf(target)), FileChanged);
    }
    EXPECT_EQ(TempEnv::readFile(secret), "secret");
    EXPECT_EQ(TempEnv::readFile(target + QStringLiteral("2")), "old");
    EXPECT_EQ(entries(env.path(QStringLiteral("d"))), (QStringList{"notes.txt", "notes.txt.old", "notes.txt2"}));
}

TEST(FileReplacement, KilledSavesLeaveNothingBehindOnceTheFileIsSavedAgain)
{
    TempEnv env;
    const QString path = env.writeFile(QStringLiteral("d/a.txt"), "old");
    const QString folder = env.path(QStringLiteral("d"));
    killedSave(path, QByteArray(100000, 'n'), 50000);
    ASSERT_EQ(entries(folder).size(), 2) << "the temporary file stayed";
    ASSERT_EQ(
        ::link(QFile::encodeName(path).constData(), QFile::encodeName(folder + QStringLiteral("/b.txt")).constData()),
        0);
    killedSave(path, QByteArray(100000, 'n'), 50000);
    ASSERT_EQ(entries(folder).size(), 3) << "that save removed the temporary file; its backup stayed";
    // A file of the user's own whose name looks alike stays.
    env.writeFile(QStringLiteral("d/.a.txt.backup"), "mine");

    // A save still running holds its temporary file: a second save leaves it alone.
    ::unlink(QFile::encodeName(folder + QStringLiteral("/b.txt")).constData());
    FileReplacement running(path);
    running.write("first");
    replace(path, "second");
    running.commit();
    EXPECT_EQ(TempEnv::readFile(path), "first");
    EXPECT_EQ(entries(folder), (QStringList{".a.txt.backup", "a.txt"}));
}

TEST(FileReplacement, AnInterruptedWriteInPlaceIsPutBackAtTheNextStart)
{
    TempEnv env;
    const QByteArray old = QByteArray(300000, 'o') + "\xC3\xA9nd";
    const QString path = env.writeFile(QStringLiteral("d/a.txt"), old);
    const QString link = env.path(QStringLiteral("d/b.txt"));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    const ino_t inode = statOf(path).st_ino;

    const mode_t mask = ::umask(022); // the usual one: what the save makes must be private all the same
    killedSave(path, QByteArray(300000, 'N'), 100000);
    ::umask(mask);
    ASSERT_EQ(TempEnv::readFile(link).left(100001), QByteArray(100000, 'N') + 'o') << "half written";
    const QStringList records = QDir(interruptedWritesFolder()).entryList(QDir::Files);
    ASSERT_EQ(records.size(), 1);
    EXPECT_EQ(statOf(interruptedWritesFolder()).st_mode & 0777, 0700u);
    EXPECT_EQ(statOf(QFileInfo(interruptedWritesFolder()).path()).st_mode & 0777, 0700u) << "the state folder it made";
    EXPECT_EQ(statOf(interruptedWritesFolder() + '/' + records[0]).st_mode & 0777, 0600u);

    EXPECT_EQ(repairInterruptedWrites(), QStringList{resolveLinks(path)});
    EXPECT_EQ(TempEnv::readFile(link), old);
    EXPECT_EQ(statOf(path).st_ino, inode);
    EXPECT_EQ(entries(env.path(QStringLiteral("d"))), (QStringList{"a.txt", "b.txt"}));
    EXPECT_TRUE(QDir(interruptedWritesFolder()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(repairInterruptedWrites().isEmpty());

    // A backup cut short cannot be trusted: the file stays as it is, the backup goes.
    killedSave(path, QByteArray(300000, 'N'), 100000);
    const QStringList left = entries(env.path(QStringLiteral("d")));
    ASSERT_EQ(left.size(), 3);
    ::truncate(QFile::encodeName(env.path(QStringLiteral("d/")) + left[0]).constData(), 1000);
    EXPECT_TRUE(repairInterruptedWrites().isEmpty());
    EXPECT_EQ(TempEnv::readFile(link).left(100000), QByteArray(100000, 'N'));
    EXPECT_EQ(entries(env.path(QStringLiteral("d"))), (QStringList{"a.txt", "b.txt"}));
    EXPECT_TRUE(QDir(interruptedWritesFolder()).entryList(QDir::Files).isEmpty());
}
