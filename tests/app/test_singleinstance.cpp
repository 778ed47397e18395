// SPDX-License-Identifier: GPL-3.0-or-later
#include "handover.h"
#include "platform/files.h"
#include "platform/qt/singleinstance.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr quint32 RequestMagic = 0x4d51'0002; // what a start sends first

bool waitFor(const std::function<bool()> &done, int ms = 5000)
{
    for (int waited = 0; !done(); waited += 10) {
        if (waited >= ms)
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return true;
}

QByteArray request(quint32 count, const QList<QByteArray> &paths)
{
    QByteArray body = be(count);
    for (const QByteArray &p : paths)
        body += be(quint32(p.size())) + p;
    return be(RequestMagic) + be(quint32(body.size())) + body;
}

} // namespace

TEST(SingleInstanceLimitsTest, MalformedAndOversizedRequestsAreRefusedAndTheSocketIsPrivate)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("m.socket");
    SingleInstance first(path);
    SingleInstance::Limits limits;
    limits.paths = 10;
    limits.requestBytes = 1000;
    first.setLimits(limits);
    QStringList received;
    first.onRequest = [&](const QStringList &files) { received += files; };
    const mode_t umaskBefore = ::umask(0);
    ASSERT_EQ(first.listen(), SingleInstance::Listen::Listening);
    ::umask(umaskBefore);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the socket takes the umask's mode";

    // A count of almost 2^32 paths, a length of 4 GB, random bytes with and without the magic.
    EXPECT_FALSE(answered(path, be(RequestMagic) + be(4) + be(0xFFFF'FFF0)));
    EXPECT_FALSE(answered(path, be(RequestMagic) + be(0xFFFF'FFFF) + QByteArray(64, 'x')));
    QRandomGenerator random(21);
    QByteArray noise(4096, '\0');
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    EXPECT_FALSE(answered(path, noise));
    EXPECT_FALSE(answered(path, be(RequestMagic) + noise.mid(4)));
    // One path more than a request may hold, a count larger than the paths sent, a path longer
    // than the request, bytes after the request, a request just over the byte limit.
    EXPECT_FALSE(answered(path, request(11, QList<QByteArray>(11, "/a"))));
    EXPECT_FALSE(answered(path, request(2, {"/a"})));
    EXPECT_FALSE(answered(path, be(RequestMagic) + be(10) + be(1) + be(100) + "/a"));
    EXPECT_FALSE(answered(path, request(1, {"/a"}) + "more"));
    EXPECT_FALSE(answered(path, request(1, {QByteArray(1000 - 8 + 1, 'a')})));
    QCoreApplication::processEvents();
    EXPECT_TRUE(received.isEmpty());

    // What fits is answered; a start with more files than one request holds sends several.
    EXPECT_TRUE(answered(path, request(1, {"/é.txt"})));
    QStringList many;
    for (int i = 0; i < 25; ++i)
        many << QStringLiteral("/files/%1.txt").arg(i);
    many[3] = nameFromBytes("/files/bad\xFF\xFE.txt"); // a name that is no UTF-8 arrives with its bytes
    SingleInstance later(path);
    later.setLimits(limits);
    qsizetype handed = 0;
    EXPECT_TRUE(later.sendToRunning(many, 5000, &handed));
    EXPECT_EQ(handed, 25);
    EXPECT_TRUE(waitFor([&] { return received.size() == 26; }));
    EXPECT_EQ(received, QStringList{"/é.txt"} + many);
}

TEST(SingleInstanceLimitsTest, AFloodOfConnectionsIsCutToTheLimitAndTheListenerRecovers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("m.socket");
    SingleInstance first(path);
    SingleInstance::Limits limits;
    limits.connections = 4;
    limits.deadlineMs = 1000;
    limits.watchMs = 50;
    first.setLimits(limits);
    QStringList received;
    first.onRequest = [&](const QStringList &files) { received += files; };
    ASSERT_EQ(first.listen(), SingleInstance::Listen::Listening);

    // Connections that never send anything: four are held, the older ones closed at once.
    std::vector<std::unique_ptr<QLocalSocket>> flood;
    for (int i = 0; i < 40; ++i) {
        flood.push_back(std::make_unique<QLocalSocket>());
        flood.back()->connectToServer(path);
    }
    const auto closed = [&] {
        return std::count_if(flood.begin(), flood.end(),
                             [](const auto &s) { return s->state() == QLocalSocket::UnconnectedState; });
    };
    EXPECT_TRUE(waitFor([&] { return first.connectionCount() == 4 && closed() == 36; }))
        << first.connectionCount() << " held, " << closed() << " closed";
    // A start gets through while they are held; they are dropped when their time is up.
    SingleInstance later(path);
    EXPECT_TRUE(later.sendToRunning({"/a"}));
    EXPECT_TRUE(waitFor([&] { return first.connectionCount() == 0 && closed() == 40; }));

    // A socket file removed under the window: it listens again.
    ASSERT_EQ(::unlink(QFile::encodeName(path).constData()), 0);
    EXPECT_TRUE(waitFor([&] { return QFileInfo::exists(path); }));
    EXPECT_TRUE(later.sendToRunning({"/b"}));
    EXPECT_TRUE(waitFor([&] { return received.size() == 2; }));
    EXPECT_EQ(received, (QStringList{"/a", "/b"}));
}

TEST(SingleInstanceFolderTest, OnlyAFolderOfTheUsersOwnHoldsTheSocket)
{
    QTemporaryDir tmp;
    const uint uid = ::geteuid();
    const QString runtime = tmp.filePath("runtime");
    ASSERT_EQ(::mkdir(QFile::encodeName(runtime).constData(), 0700), 0);
    QString why;
    EXPECT_EQ(SingleInstance::socketFolder(runtime, tmp.path(), uid, &why), runtime);

    // A runtime folder that others may enter: the program makes its own, 0700 whatever the umask.
    ::chmod(QFile::encodeName(runtime).constData(), 0755);
    const mode_t umaskBefore = ::umask(0277);
    const QString own = SingleInstance::socketFolder(runtime, tmp.path(), uid, &why);
    ::umask(umaskBefore);
    EXPECT_EQ(own, tmp.filePath(QStringLiteral("marquill-%1").arg(uid)));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(own).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // As seen by another user (uid + 1), both folders belong to someone else: not used.
    ::chmod(QFile::encodeName(runtime).constData(), 0700);
    const QString other = tmp.filePath(QStringLiteral("marquill-%1").arg(uid + 1));
    ASSERT_EQ(::mkdir(QFile::encodeName(other).constData(), 0700), 0);
    why.clear();
    EXPECT_EQ(SingleInstance::socketFolder(runtime, tmp.path(), uid + 1, &why), QString());
    EXPECT_TRUE(why.contains("another user")) << why.toStdString();

    // A link planted in the folder's place is not followed.
    ASSERT_EQ(::rmdir(QFile::encodeName(own).constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(runtime).constData(), QFile::encodeName(own).constData()), 0);
    EXPECT_EQ(SingleInstance::socketFolder(QString(), tmp.path(), uid, &why), QString());

    // One display, one socket, however its screen is written.
    EXPECT_EQ(SingleInstance::socketName(":150.0"), SingleInstance::socketName(":150"));
    EXPECT_NE(SingleInstance::socketName(":150"), SingleInstance::socketName(":15"));
}
