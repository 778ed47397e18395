// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"

#include "platform/files.h"

#include <QCommandLineParser>
#include <QDir>
#include <QRegularExpression>
#include <QUrl>
#include <limits>

QString localFileOfUrl(const QUrl &url)
{
    if (!url.isLocalFile())
        return {};
    if (!url.host().isEmpty())
        return url.toLocalFile(); // a share's name: no bytes of a local name to keep
    return nameFromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

namespace {

// A line or column number; a huge one saturates, so that it clamps to the document's end.
int placeNumber(const QString &digits)
{
    bool ok = false;
    const qulonglong value = digits.size() > 10 ? 0 : digits.toULongLong(&ok);
    if (digits.size() > 10 || (ok && value > qulonglong(std::numeric_limits<int>::max())))
        return std::numeric_limits<int>::max();
    return int(value);
}

// The file a name means and the place in it: the whole name when such a file exists, otherwise
// the name without a ":LINE" or ":LINE:COLUMN" ending, the one that names an existing file first.
OpenTarget targetOf(const QString &path, int line)
{
    if (nameStatus(path).exists)
        return OpenTarget::file(path, line);
    static const QRegularExpression one(QStringLiteral("^(.+):(\\d+)$"));
    static const QRegularExpression two(QStringLiteral("^(.+):(\\d+):(\\d+)$"));
    const QRegularExpressionMatch m1 = one.match(path);
    const QRegularExpressionMatch m2 = two.match(path);
    // Line 0 still names a place: the first line.
    const auto lineOf = [](const QString &digits) { return std::max(1, placeNumber(digits)); };
    const auto withLine = [&] { return OpenTarget::file(m1.captured(1), lineOf(m1.captured(2))); };
    const auto withColumn = [&] {
        return OpenTarget::file(m2.captured(1), lineOf(m2.captured(2)), std::max(1, placeNumber(m2.captured(3))));
    };
    if (m1.hasMatch() && nameStatus(m1.captured(1)).exists)
        return withLine();
    // Neither exists: the longer ending is the place, and the file a new one.
    if (m2.hasMatch())
        return withColumn();
    if (m1.hasMatch())
        return withLine();
    return OpenTarget::file(path, line);
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments, const QString &currentFolder)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Marquill, an editor for many plain-text files side by side."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Files to open, each in a new tab. With Marquill already running, "
                                                "they open in its window. FILE:LINE or FILE:LINE:COLUMN puts the "
                                                "caret there, as does +LINE before a file. A file that does not "
                                                "exist yet opens empty and is made by Save. - reads the text "
                                                "from standard input."),
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
    static const QRegularExpression plusLine(QStringLiteral("^\\+(\\d+)$"));
    int line = 0;
    for (const QString &argument : parser.positionalArguments()) {
        if (argument == QLatin1String("-")) {
            out.targets.push_back(OpenTarget::input({}));
            continue;
        }
        if (const QRegularExpressionMatch m = plusLine.match(argument); m.hasMatch()) {
            line = std::max(1, placeNumber(m.captured(1)));
            continue;
        }
        QString path = argument;
        if (argument.startsWith(QLatin1String("file:"))) {
            const QString local = localFileOfUrl(QUrl(argument));
            if (!local.isEmpty())
                path = local;
        }
        OpenTarget target = targetOf(QDir::cleanPath(here.absoluteFilePath(path)), line);
        line = 0;
        out.files << target.path;
        out.targets.push_back(std::move(target));
    }
    if (line > 0)
        out.error = QStringLiteral("a line number (+LINE) must come before a file");
    return out;
}
