#include "platform/qt/singleinstance.h"

#include <QDataStream>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

namespace {

constexpr quint32 RequestMagic = 0x4d51'0001; // "MQ", version 1
constexpr char Received = 'k';

} // namespace

SingleInstance::SingleInstance(const QString &socketPath, QObject *parent) : QObject(parent), path_(socketPath)
{
}

SingleInstance::~SingleInstance()
{
    if (server_)
        server_->close(); // also removes the socket file
}

QString SingleInstance::defaultSocketPath()
{
    // RuntimeLocation is $XDG_RUNTIME_DIR, or a folder of the user's own that only the user can
    // enter when it is unset.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    // Two displays of one user (a desktop and a nested or virtual server) keep their own windows.
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    for (QChar &c : display) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('.'))
            c = QLatin1Char('_');
    }
    return folder + QStringLiteral("/marquill") + (display.isEmpty() ? QString() : QLatin1Char('-') + display) +
           QStringLiteral(".socket");
}

bool SingleInstance::sendToRunning(const QStringList &files, int timeoutMs) const
{
    QByteArray request;
    QDataStream out(&request, QIODevice::WriteOnly);
    out << RequestMagic << files;

    // Waits in an event loop of its own, so that a window in this same process could answer.
    QLocalSocket socket;
    QEventLoop loop;
    bool received = false;
    connect(&socket, &QLocalSocket::connected, &loop, [&] { socket.write(request); });
    connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        received = socket.read(1) == QByteArray(1, Received);
        loop.quit();
    });
    connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    socket.connectToServer(path_);
    // A missing socket file fails at once, before the loop would start.
    if (socket.state() == QLocalSocket::UnconnectedState)
        return false;
    loop.exec();
    return received;
}

SingleInstance::Listen SingleInstance::listen()
{
    if (!server_) {
        // No socket options: with them Qt moves its socket over an existing one, so a second
        // start could not tell that a window is running. The runtime folder is the user's alone.
        server_ = new QLocalServer(this);
        connect(server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
    }
    if (server_->listen(path_))
        return Listen::Listening;
    if (server_->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalSocket probe;
        probe.connectToServer(path_);
        if (probe.waitForConnected(1000))
            return Listen::OtherRunning;
        // Nobody answers: the socket file is left over from a run that ended without closing it.
        QLocalServer::removeServer(path_);
        if (server_->listen(path_))
            return Listen::Listening;
    }
    error_ = server_->errorString();
    return Listen::Failed;
}

void SingleInstance::accept()
{
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A request may arrive in pieces; it is read once it is whole.
        const auto read = [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            quint32 magic = 0;
            QStringList files;
            in >> magic >> files;
            if (!in.commitTransaction())
                return;
            if (magic != RequestMagic) {
                socket->abort();
                return;
            }
            QPointer<QLocalSocket> guard(socket);
            socket->write(QByteArray(1, Received));
            socket->flush();
            // The request may show a notice with an event loop of its own; the caller is answered first.
            if (onRequest)
                onRequest(files);
            if (guard)
                guard->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, read);
        if (socket->bytesAvailable() > 0)
            read();
    }
}
