// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "platform/files.h"
#include "platform/prompts.h"

#include <QFile>
#include <cerrno>

namespace {

// Why a file cannot be opened, in a few words; empty when it can.
QString openProblem(const QString &path)
{
    const NameStatus status = nameStatus(path);
    if (!status.exists)
        return Form1::tr("no such file");
    if (status.folder)
        return Form1::tr("a folder, not a file");
    QFile file;
    if (!openForReading(file, path))
        return qt_error_string(errno).toLower();
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
            problems << tr("%1 (%2)").arg(shownName(path), problem);
    }
    if (problems.isEmpty())
        return;
    const QString text = problems.size() == 1
                             ? tr("Cannot open the file %1.").arg(problems.first())
                             : tr("Cannot open these files:\r\n%1").arg(problems.join(QStringLiteral("\r\n")));
    step(104, [&] { p.prompts.msgBox(text, MsgStyle::OkOnly + MsgStyle::Exclamation, QString()); });
}
