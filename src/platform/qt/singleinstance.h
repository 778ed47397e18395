#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QLocalServer;

// One Marquill window per user session. The first start listens on a local socket; a later
// start hands its request (the files to open) to it and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Listen { Listening, OtherRunning, Failed };

    explicit SingleInstance(const QString &socketPath = defaultSocketPath(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // Hands the files to the running instance; true once it has confirmed receipt.
    bool sendToRunning(const QStringList &files, int timeoutMs = 5000) const;
    // Becomes the running instance. A socket file left by a crashed run (nobody answers on it)
    // is replaced; OtherRunning means another start won the race and is listening.
    Listen listen();
    QString errorString() const { return error_; }
    QString socketPath() const { return path_; }

    // Called for every request that arrives, with the files in the order given.
    std::function<void(const QStringList &files)> onRequest;

    // Under $XDG_RUNTIME_DIR (or Qt's private fallback folder when it is unset), one per display.
    static QString defaultSocketPath();

private:
    void accept();

    QString path_;
    QString error_;
    QLocalServer *server_ = nullptr;
};
