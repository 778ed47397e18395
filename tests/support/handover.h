// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Speaking to a window's hand-over socket as another start does, byte by byte.
#include <QByteArray>
#include <QLocalSocket>
#include <QString>
#include <QtEndian>

// A 32-bit number as the requests carry it: big-endian.
inline QByteArray be(quint32 value)
{
    QByteArray out(4, '\0');
    qToBigEndian(value, out.data());
    return out;
}

// Sends raw bytes as a start would; true when the window confirmed a request.
inline bool answered(const QString &path, const QByteArray &bytes)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(2000))
        return false;
    socket.write(bytes);
    socket.waitForBytesWritten(2000);
    return socket.waitForReadyRead(3000) && socket.read(1) == "k";
}
