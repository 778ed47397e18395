// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/singleinstance.h"

#include "platform/files.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocalSocket>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <limits>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A request: the magic, the length of what follows, the number of paths, and each path as its
// length and its UTF-8 bytes; all numbers 32 bits, big-endian. Lengths are checked before
// anything is allocated for them.
constexpr quint32 RequestMagic = 0x4d51'0002; // "MQ", version 2
// Version 3 gives each entry its line, its column and a kind before the length and the bytes:
// 0 a file's name, 1 the text a start read from its standard input (at most one a request).
// A start sends version 2 when it has nothing but names, so an older window still takes them.
constexpr quint32 PlacesMagic = 0x4d51'0003;
constexpr quint32 KindFile = 0, KindInput = 1;
constexpr qint64 PlaceEntryBytes = 16;
constexpr qint64 HeaderBytes = 8;
constexpr char Received = 'k';

quint32 number(const char *at)
{
    return qFromBigEndian<quint32>(at);
}

void append(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

bool peerIsUser(int fd)
{
    ucred peer{};
    socklen_t size = sizeof(peer);
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

sockaddr_un addressOf(const QByteArray &name)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return address;
}

enum class Bound { Yes, OtherRunning, No };

// Binds and listens on path. The socket file is 0600 whatever the umask: Linux gives it the
// mode of the socket itself, and chmod covers the others. A file left at path by a run of this
// user that nobody answers any more is replaced; another user's file is never touched.
Bound bindSocket(const QString &path, int *fd, ino_t *inode, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.size() >= qsizetype(sizeof(sockaddr_un::sun_path))) {
        *error = QStringLiteral("the socket path is too long: ") + path;
        return Bound::No;
    }
    const sockaddr_un address = addressOf(name);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (s < 0) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
            return Bound::No;
        }
        ::fchmod(s, 0600);
        if (::bind(s, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0) {
            struct stat st {};
            if (::chmod(name.constData(), 0600) == 0 && ::lstat(name.constData(), &st) == 0 && ::listen(s, 64) == 0) {
                *fd = s;
                *inode = st.st_ino;
                return Bound::Yes;
            }
            *error = QString::fromLocal8Bit(std::strerror(errno));
            ::unlink(name.constData());
            ::close(s);
            return Bound::No;
        }
        const int bindError = errno;
        ::close(s);
        if (bindError != EADDRINUSE) {
            *error = QString::fromLocal8Bit(std::strerror(bindError));
            return Bound::No;
        }
        struct stat st {};
        if (::lstat(name.constData(), &st) != 0)
            continue; // gone meanwhile
        if (!S_ISSOCK(st.st_mode) || st.st_uid != ::geteuid()) {
            *error = path + QStringLiteral(" belongs to another user or is no socket");
            return Bound::No;
        }
        // Without waiting: a listener takes the connection (or has a full queue); nobody refuses.
        const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        const bool answered =
            probe >= 0 && (::connect(probe, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0 ||
                           errno == EAGAIN || errno == EINPROGRESS);
        if (probe >= 0)
            ::close(probe);
        if (answered)
            return Bound::OtherRunning;
        ::unlink(name.constData()); // left over from a run that ended without closing it
    }
    *error = QStringLiteral("the socket file keeps coming back: ") + path;
    return Bound::No;
}

// A folder that is the user's alone: a real folder (not a link), owned by uid, which nobody
// else may enter. fd: the folder, opened.
bool isPrivate(int fd, uint uid, QString *why, const QString &path)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode)) {
        *why = path + QStringLiteral(" is no folder");
        return false;
    }
    if (st.st_uid != uid) {
        *why = path + QStringLiteral(" belongs to another user");
        return false;
    }
    if (st.st_mode & 077) {
        *why = path + QStringLiteral(" is open to other users");
        return false;
    }
    return true;
}

} // namespace

// Answers the socket in a thread of its own.
class InstanceListener : public QObject {
public:
    InstanceListener(SingleInstance *owner, int fd, ino_t inode)
        : owner_(owner), path_(owner->path_), limits_(owner->limits_), fd_(fd), inode_(inode)
    {
    }
    ~InstanceListener() override { stopListening(); }

    // In the listener's thread.
    void start()
    {
        watch_ = new QTimer(this);
        connect(watch_, &QTimer::timeout, this, &InstanceListener::watch);
        watch_->start(limits_.watchMs);
        startNotifier();
    }

private:
    void startNotifier()
    {
        notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &InstanceListener::accept);
    }

    void stopListening()
    {
        delete notifier_;
        notifier_ = nullptr;
        if (fd_ < 0)
            return;
        ::close(fd_);
        fd_ = -1;
        // Only the file this listener made: another window may have taken the name since.
        struct stat st {};
        const QByteArray name = QFile::encodeName(path_);
        if (::lstat(name.constData(), &st) == 0 && st.st_ino == inode_ && st.st_uid == ::geteuid())
            ::unlink(name.constData());
    }

    // Listens again when the listening socket failed or its file was removed.
    void watch()
    {
        // A file of another inode: another window has the name now, and keeps it.
        struct stat st {};
        if (fd_ >= 0 && ::lstat(QFile::encodeName(path_).constData(), &st) == 0)
            return;
        stopListening();
        QString error;
        int fd = -1;
        ino_t inode = 0;
        const Bound bound = bindSocket(path_, &fd, &inode, &error);
        if (bound == Bound::OtherRunning)
            watch_->stop();
        if (bound != Bound::Yes)
            return; // tried again at the next check
        fd_ = fd;
        inode_ = inode;
        startNotifier();
    }

    void accept()
    {
        for (;;) {
            const int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (c < 0) {
                if (errno == EINTR || errno == ECONNABORTED)
                    continue;
                if (errno == EAGAIN || errno == EWOULDBLOCK)
                    return;
                if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                    // Out of descriptors: the waiting connections stay queued until some are free.
                    notifier_->setEnabled(false);
                    QTimer::singleShot(100, notifier_, [n = notifier_] { n->setEnabled(true); });
                    return;
                }
                stopListening(); // the watch listens again
                return;
            }
            if (!peerIsUser(c)) {
                ::close(c);
                continue;
            }
            makeRoom();
            auto socket = new QLocalSocket(this);
            if (!socket->setSocketDescriptor(c)) {
                ::close(c);
                delete socket;
                continue;
            }
            held_.emplace_back(socket);
            owner_->live_ = int(held_.size());
            connect(socket, &QObject::destroyed, this, [this] { forget(); });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // A request may arrive in pieces; never more than one request is buffered.
            socket->setReadBufferSize(HeaderBytes + limits_.requestBytes);
            QTimer::singleShot(limits_.deadlineMs, socket, [this, socket] { drop(socket); });
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { read(socket); });
            if (socket->bytesAvailable() > 0)
                read(socket);
        }
    }

    // At the limit the oldest connection goes: a flood of idle connections cannot keep a start
    // out, and what the oldest has sent already is still read.
    void makeRoom()
    {
        forget();
        while (int(held_.size()) >= limits_.connections) {
            QPointer<QLocalSocket> oldest = held_.front();
            held_.pop_front();
            if (!oldest)
                continue;
            oldest->waitForReadyRead(0);
            read(oldest);
            if (oldest && oldest->state() == QLocalSocket::ConnectedState && oldest->bytesToWrite() == 0)
                drop(oldest);
        }
        owner_->live_ = int(held_.size());
    }

    void forget()
    {
        held_.erase(std::remove_if(held_.begin(), held_.end(),
                                   [](const QPointer<QLocalSocket> &s) {
                                       return !s || s->state() == QLocalSocket::UnconnectedState;
                                   }),
                    held_.end());
        owner_->live_ = int(held_.size());
    }

    static void drop(QLocalSocket *socket)
    {
        socket->abort();
        socket->deleteLater();
    }

    void read(QLocalSocket *socket)
    {
        if (socket->bytesAvailable() < HeaderBytes)
            return;
        const QByteArray header = socket->peek(HeaderBytes);
        const qint64 length = number(header.constData() + 4);
        const quint32 magic = number(header.constData());
        if ((magic != RequestMagic && magic != PlacesMagic) || length > limits_.requestBytes)
            return drop(socket);
        if (socket->bytesAvailable() < HeaderBytes + length)
            return;
        if (socket->bytesAvailable() > HeaderBytes + length)
            return drop(socket); // one request per connection
        const QByteArray body = socket->read(HeaderBytes + length).mid(HeaderBytes);
        OpenTargets targets;
        if (!parse(body, magic == PlacesMagic, &targets))
            return drop(socket);
        // The window is told first, then the caller, who may end at once.
        QMetaObject::invokeMethod(
            owner_, [owner = owner_, targets] { owner->deliver(targets); }, Qt::QueuedConnection);
        socket->write(QByteArray(1, Received));
        socket->flush();
        socket->disconnectFromServer();
    }

    bool parse(const QByteArray &body, bool places, OpenTargets *targets) const
    {
        if (body.size() < 4)
            return false;
        const quint32 count = number(body.constData());
        if (count > quint32(limits_.paths))
            return false;
        const auto place = [](quint32 n) {
            return int(std::min<quint32>(n, quint32(std::numeric_limits<int>::max())));
        };
        qsizetype at = 4;
        bool input = false;
        for (quint32 i = 0; i < count; ++i) {
            OpenTarget target;
            if (places) {
                if (body.size() - at < 12)
                    return false;
                target.line = place(number(body.constData() + at));
                target.column = place(number(body.constData() + at + 4));
                const quint32 kind = number(body.constData() + at + 8);
                if (kind != KindFile && kind != KindInput)
                    return false;
                target.standardInput = kind == KindInput;
                if (target.standardInput && (input || target.line || target.column))
                    return false; // one text a request, and no place in it
                input = input || target.standardInput;
                at += 12;
            }
            if (body.size() - at < 4)
                return false;
            const quint32 size = number(body.constData() + at);
            at += 4;
            if (size > quint32(body.size() - at))
                return false;
            const QByteArrayView bytes(body.constData() + at, size);
            if (target.standardInput)
                target.text = bytes.toByteArray();
            else if (places && size == 0)
                return false; // a file needs a name
            else
                target.path = nameFromBytes(bytes);
            targets->push_back(std::move(target));
            at += size;
        }
        return at == body.size();
    }

    SingleInstance *owner_;
    const QString path_;
    const SingleInstance::Limits limits_;
    int fd_;
    ino_t inode_;
    QSocketNotifier *notifier_ = nullptr;
    QTimer *watch_ = nullptr;
    std::deque<QPointer<QLocalSocket>> held_; // oldest first
};

SingleInstance::SingleInstance(const QString &socketPath, QObject *parent) : QObject(parent), path_(socketPath)
{
}

SingleInstance::~SingleInstance()
{
    if (thread_) {
        thread_->quit();
        thread_->wait();
        delete thread_;
    }
}

QString SingleInstance::socketFolder(const QString &runtimeDir, const QString &tempDir, uint uid, QString *why)
{
    QString reason;
    if (!runtimeDir.isEmpty()) {
        const int fd = ::open(QFile::encodeName(runtimeDir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const bool ok = fd >= 0 && isPrivate(fd, uid, &reason, runtimeDir);
        if (fd >= 0)
            ::close(fd);
        if (ok)
            return runtimeDir;
    }
    // Qt's own fallback, runtime-<user> in the temporary folder, is left to whoever made it
    // first; this one is checked to be the user's own after it is made.
    const QString own = tempDir + QStringLiteral("/marquill-") + QString::number(uid);
    const QByteArray name = QFile::encodeName(own);
    ::mkdir(name.constData(), 0700);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (why)
            *why = own + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return QString();
    }
    struct stat st {};
    // Made by this user: whatever the umask left of its mode, only the user may enter it.
    if (::fstat(fd, &st) == 0 && st.st_uid == uid && S_ISDIR(st.st_mode))
        ::fchmod(fd, 0700);
    const bool ok = isPrivate(fd, uid, &reason, own);
    ::close(fd);
    if (!ok && why)
        *why = reason;
    return ok ? own : QString();
}

QString SingleInstance::socketName(const QString &display)
{
    // X11's "host:number.screen": the screen is no display of its own.
    QString name = display;
    const qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
    const qsizetype dot = colon < 0 ? -1 : name.indexOf(QLatin1Char('.'), colon);
    if (dot >= 0)
        name.truncate(dot);
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.'))
            c = QLatin1Char('_');
    }
    return QStringLiteral("marquill") + (name.isEmpty() ? QString() : QLatin1Char('-') + name) +
           QStringLiteral(".socket");
}

QString SingleInstance::defaultSocketPath(QString *why)
{
    const QString folder = socketFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"), QDir::tempPath(), ::geteuid(), why);
    if (folder.isEmpty())
        return QString();
    // Two displays of one user (a desktop and a nested or virtual server) keep their own windows.
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    return folder + QLatin1Char('/') + socketName(display);
}

bool SingleInstance::sendToRunning(const QStringList &files, int timeoutMs, qsizetype *handed) const
{
    OpenTargets targets;
    for (const QString &file : files)
        targets.push_back(OpenTarget::file(file));
    return sendTargets(targets, timeoutMs, handed);
}

namespace {

bool hasPlaces(const OpenTarget &t)
{
    return t.standardInput || t.line > 0 || t.column > 0;
}

qint64 entryBytes(const OpenTarget &t, bool places)
{
    return (places ? PlaceEntryBytes : 4) + (t.standardInput ? t.text.size() : nameBytes(t.path).size());
}

} // namespace

bool SingleInstance::sendTargets(const OpenTargets &targets, int timeoutMs, qsizetype *handed) const
{
    if (handed)
        *handed = 0;
    const qsizetype count = qsizetype(targets.size());
    // In requests within what the listener takes; an empty list still asks for the window.
    qsizetype from = 0;
    do {
        qint64 bytes = 4;
        qsizetype to = from;
        bool input = false;
        while (to < count && to - from < limits_.paths) {
            const OpenTarget &t = targets[size_t(to)];
            const qint64 size = entryBytes(t, true);
            if ((to > from && bytes + size > limits_.requestBytes) || (t.standardInput && input))
                break;
            if (bytes + size > limits_.requestBytes)
                return false; // more than the window takes at once: this start keeps it
            input = input || t.standardInput;
            bytes += size;
            ++to;
        }
        if (!sendRequest(OpenTargets(targets.begin() + from, targets.begin() + to), timeoutMs))
            return false;
        from = to;
        if (handed)
            *handed = from;
    } while (from < count);
    return true;
}

bool SingleInstance::sendRequest(const OpenTargets &targets, int timeoutMs) const
{
    // Only to a socket of this user's, and only when this user's program answers on it.
    struct stat st {};
    if (path_.isEmpty() || ::lstat(QFile::encodeName(path_).constData(), &st) != 0 || !S_ISSOCK(st.st_mode) ||
        st.st_uid != ::geteuid())
        return false;
    const bool places = std::any_of(targets.begin(), targets.end(), hasPlaces);
    QByteArray body;
    append(body, quint32(targets.size()));
    for (const OpenTarget &target : targets) {
        if (places) {
            append(body, quint32(std::max(0, target.line)));
            append(body, quint32(std::max(0, target.column)));
            append(body, target.standardInput ? KindInput : KindFile);
        }
        // A name's own bytes, also those that are no UTF-8.
        const QByteArray bytes = target.standardInput ? target.text : nameBytes(target.path);
        append(body, quint32(bytes.size()));
        body += bytes;
    }
    QByteArray request;
    append(request, places ? PlacesMagic : RequestMagic);
    append(request, quint32(body.size()));
    request += body;

    // Waits in an event loop of its own, so that a window in this same process could answer.
    QLocalSocket socket;
    QEventLoop loop;
    bool received = false;
    connect(&socket, &QLocalSocket::connected, &loop, [&] {
        if (!peerIsUser(int(socket.socketDescriptor()))) {
            socket.abort();
            loop.quit();
            return;
        }
        socket.write(request);
    });
    connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        received = socket.read(1) == QByteArray(1, Received);
        loop.quit();
    });
    connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    socket.connectToServer(path_);
    // A refused connection fails at once, before the loop would start.
    if (socket.state() == QLocalSocket::UnconnectedState)
        return false;
    loop.exec();
    return received;
}

SingleInstance::Listen SingleInstance::listen()
{
    if (thread_)
        return Listen::Listening;
    if (path_.isEmpty()) {
        error_ = QStringLiteral("no private folder for the socket");
        return Listen::Failed;
    }
    int fd = -1;
    ino_t inode = 0;
    switch (bindSocket(path_, &fd, &inode, &error_)) {
    case Bound::OtherRunning: return Listen::OtherRunning;
    case Bound::No: return Listen::Failed;
    case Bound::Yes: break;
    }
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("marquill-socket"));
    listener_ = new InstanceListener(this, fd, inode);
    listener_->moveToThread(thread_);
    connect(thread_, &QThread::finished, listener_, &QObject::deleteLater);
    thread_->start();
    QMetaObject::invokeMethod(
        listener_, [l = listener_] { l->start(); }, Qt::QueuedConnection);
    return Listen::Listening;
}

void SingleInstance::deliver(const OpenTargets &targets)
{
    if (onOpen) {
        onOpen(targets);
        return;
    }
    QStringList files;
    for (const OpenTarget &target : targets) {
        if (!target.standardInput)
            files << target.path;
    }
    if (onRequest)
        onRequest(files);
}
