// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/opentarget.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <functional>

class QThread;
class InstanceListener;

// One Marquill window per user session. The first start listens on a local socket; a later
// start hands its request (the files to open) to it and ends. The socket is answered from a
// thread of its own, so that a start during another's long start-up (thousands of files to
// reopen) still hands its files over.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Listen { Listening, OtherRunning, Failed };
    // What one window takes from the socket; anything beyond is closed unanswered.
    struct Limits {
        int connections = 64;          // held at once
        int deadlineMs = 5000;         // for a connection to deliver its whole request
        qint64 requestBytes = 1 << 20; // one request's paths, encoded
        int paths = 10000;             // in one request
        int watchMs = 1000;            // how often the listener checks that it still listens
    };

    // An empty socketPath: there is no private place for the socket; the window stays alone.
    explicit SingleInstance(const QString &socketPath, QObject *parent = nullptr);
    ~SingleInstance() override;

    void setLimits(const Limits &limits) { limits_ = limits; } // before listen()
    // Hands the files to the running instance, in as many requests as the limits need; true once
    // it has confirmed receipt of all. *handed: how many of the files it confirmed.
    bool sendToRunning(const QStringList &files, int timeoutMs = 5000, qsizetype *handed = nullptr) const;
    // The same for files with the caret's place and for standard input's text. A text too large
    // for one request is not handed over (*handed stops before it): this start opens it itself.
    bool sendTargets(const OpenTargets &targets, int timeoutMs = 5000, qsizetype *handed = nullptr) const;
    // Becomes the running instance. A socket file left by a crashed run (nobody answers on it)
    // is replaced; OtherRunning means another start won the race and is listening. A socket
    // file of another user is left alone (Failed).
    Listen listen();
    QString errorString() const { return error_; }
    QString socketPath() const { return path_; }
    // The connections the listener holds now.
    int connectionCount() const { return live_.load(); }

    // Called for every request that arrives, with the files in the order given, in the thread
    // that made this object.
    std::function<void(const QStringList &files)> onRequest;
    // When set, called instead of onRequest with the places and texts as well.
    std::function<void(const OpenTargets &targets)> onOpen;

    // The folder for the socket: $XDG_RUNTIME_DIR when it is the user's alone, otherwise
    // marquill-<uid> in the temporary folder, made 0700. Empty (with the reason in *why) when
    // neither can be trusted, for example when another user made that folder first.
    static QString socketFolder(const QString &runtimeDir, const QString &tempDir, uint uid, QString *why);
    // The socket's file name for a display: "marquill-<display>.socket", ":0.0" the same as ":0".
    static QString socketName(const QString &display);
    // Both of the above for this session; empty when there is no private folder.
    static QString defaultSocketPath(QString *why);

private:
    void deliver(const OpenTargets &targets);
    bool sendRequest(const OpenTargets &targets, int timeoutMs) const;

    QString path_;
    QString error_;
    Limits limits_;
    QThread *thread_ = nullptr;
    InstanceListener *listener_ = nullptr;
    std::atomic<int> live_{0};

    friend class InstanceListener;
};
