#include "app/form1.h"

#include "platform/prompts.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Why a file cannot be opened, in a few words; empty when it can.
QString openProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("no such file");
    if (info.isDir())
        return QStringLiteral("a folder, not a file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString().toLower();
    return QString();
}

} // namespace

void Form1::openFiles(const QStringList &paths)
{
    // Checked first, so that a file that cannot be read gets no tab and no error report of its
    // own: one notice names them all once the others are open.
    Steps step(*this, "openFiles");
    QStringList problems;
    for (const QString &path : paths) {
        QString problem;
        step(100, [&] { problem = openProblem(path); });
        if (problem.isEmpty())
            step(102, [&] { OpenFile(path, false); });
        else
            problems << path + QStringLiteral(" (") + problem + QLatin1Char(')');
    }
    if (problems.isEmpty())
        return;
    const QString text = problems.size() == 1
                             ? QStringLiteral("Cannot open the file ") + problems.first() + QLatin1Char('.')
                             : QStringLiteral("Cannot open these files:\r\n") + problems.join(QStringLiteral("\r\n"));
    step(104, [&] { p.prompts.msgBox(text, MsgStyle::OkOnly + MsgStyle::Exclamation, QString()); });
}
