#include "app/look.h"
#include "app/form1.h"

#include "platform/window.h"

#include "fileops/filewriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr qint64 LargestProgramFile = 16 * 1024 * 1024;
} // namespace

bool FileExists(const QString &path)
{
    try {
        return !path.isEmpty() && QFileInfo(path).lastModified().isValid();
    } catch (...) {
        return false;
    }
}

QStringList skinCandidates(const QString &programFolder)
{
    const QString skin = QStringLiteral("/x/o.cjs");
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return {programFolder + skin, config + QStringLiteral("/marquill") + skin,
            QDir::cleanPath(programFolder + QStringLiteral("/../share/marquill") + skin)};
}

QByteArray readProgramFile(const QString &path)
{
    // Not blocking: opening a pipe would wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw Failure(errno == ENOENT ? QStringLiteral("File not found") : describeErrno(errno));
    struct stat st;
    QString problem;
    QByteArray bytes;
    if (::fstat(fd, &st) != 0)
        problem = describeErrno(errno);
    else if (!S_ISREG(st.st_mode))
        problem = QStringLiteral("Not a regular file");
    else if (st.st_size > LargestProgramFile)
        problem = QStringLiteral("Larger than 16 MB");
    while (problem.isEmpty()) {
        char buffer[65536];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            problem = describeErrno(errno);
        else if (n == 0)
            break;
        else if (bytes.size() + n > LargestProgramFile) // it grew while being read
            problem = QStringLiteral("Larger than 16 MB");
        else
            bytes.append(buffer, n);
    }
    ::close(fd);
    if (!problem.isEmpty())
        throw Failure(problem);
    return bytes;
}

void Form1::LoadSkin()
{
    // No handler of its own: a failure ends the skin and is reported by start-up.
    QString path;
    for (const QString &candidate : skinCandidates(p.window.programFolder())) {
        // A folder is no skin file; a pipe or device is one that cannot be read (loadSkin says so).
        const QFileInfo info(candidate);
        if (info.exists() && !info.isDir()) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty())
        return;
    p.window.setButtonFaceBackground();
    p.window.loadSkin(path);
    p.window.applySkin();
}

void Form1::Form_MouseMove()
{
    if (p.window.mousePointer() != PointerKind::Busy)
        p.window.setMousePointer(PointerKind::Default);
}

void Form1::PushButton_MouseMove(Button)
{
    if (p.window.mousePointer() != PointerKind::Busy)
        p.window.setMousePointer(PointerKind::Hand);
}
