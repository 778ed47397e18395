// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#include "platform/failure.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr qint64 LargestProgramFile = 16 * 1024 * 1024;
} // namespace

QByteArray readProgramFile(const QString &path)
{
    // Not blocking: opening a pipe would wait for a writer.
    const int fd = ::open(nameBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw Failure(errno == ENOENT ? QCoreApplication::translate("Failure", "File not found")
                                      : describeErrno(errno));
    struct stat st;
    QString problem;
    QByteArray bytes;
    if (::fstat(fd, &st) != 0)
        problem = describeErrno(errno);
    else if (!S_ISREG(st.st_mode))
        problem = QCoreApplication::translate("Failure", "Not a regular file");
    else if (st.st_size > LargestProgramFile)
        problem = QCoreApplication::translate("Failure", "Larger than 16 MB");
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
            problem = QCoreApplication::translate("Failure", "Larger than 16 MB");
        else
            bytes.append(buffer, n);
    }
    ::close(fd);
    if (!problem.isEmpty())
        throw Failure(problem);
    return bytes;
}
