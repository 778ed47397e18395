// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include "platform/files.h"

#include <QCommandLineParser>
#include <QDir>
#include <QUrl>

QString localFileOfUrl(const QUrl &url)
{
    if (!url.isLocalFile())
        return {};
    if (!url.host().isEmpty())
        return url.toLocalFile(); // a share's name: no bytes of a local name to keep
    return nameFromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

CommandLine parseCommandLine(const QStringList &arguments, const QString &currentFolder)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Marquill, an editor for many plain-text files side by side."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Files to open, each in a new tab. With Marquill already running, "
                                                "they open in its window."),
                                 QStringLiteral("[FILE...]"));

    CommandLine out;
    // The usage line names the program as it is typed, not by the path it was started from.
    out.helpText = parser.helpText();
    const qsizetype options = out.helpText.indexOf(QStringLiteral(" [options]"));
    if (out.helpText.startsWith(QStringLiteral("Usage: ")) && options > 7)
        out.helpText.replace(7, options - 7, QStringLiteral("marquill"));
    if (!parser.parse(arguments)) {
        out.error = parser.errorText();
        return out;
    }
    out.help = parser.isSet(help) || parser.isSet(QStringLiteral("help-all"));
    out.version = parser.isSet(version);
    const QDir here(currentFolder);
    for (const QString &argument : parser.positionalArguments()) {
        QString path = argument;
        if (argument.startsWith(QLatin1String("file:"))) {
            const QString local = localFileOfUrl(QUrl(argument));
            if (!local.isEmpty())
                path = local;
        }
        out.files << QDir::cleanPath(here.absoluteFilePath(path));
    }
    return out;
}
