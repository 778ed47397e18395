// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/stylesheetcheck.h"

#include <QCoreApplication>
#include <QStringList>
#include <QWidget>

QString styleSheetStructureError(const QString &sheet)
{
    int depth = 0;
    int line = 1;
    bool textOutside = false; // selector text waiting for its block
    bool anyBlock = false;
    const qsizetype n = sheet.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sheet.at(i);
        if (c == QLatin1Char('\n'))
            ++line;
        if (c == QLatin1Char('/') && i + 1 < n && sheet.at(i + 1) == QLatin1Char('*')) {
            const int startLine = line;
            const qsizetype end = sheet.indexOf(QStringLiteral("*/"), i + 2);
            if (end < 0)
                return QCoreApplication::translate("MainWindow", "comment opened on line %1 is not closed")
                    .arg(startLine);
            line += static_cast<int>(QStringView(sheet).mid(i, end - i).count(QLatin1Char('\n')));
            i = end + 1;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            qsizetype j = i + 1;
            while (j < n && sheet.at(j) != c && sheet.at(j) != QLatin1Char('\n')) {
                if (sheet.at(j) == QLatin1Char('\\'))
                    ++j;
                ++j;
            }
            if (j >= n || sheet.at(j) != c)
                return QCoreApplication::translate("MainWindow", "string on line %1 is not closed").arg(line);
            if (depth == 0)
                textOutside = true;
            i = j;
            continue;
        }
        if (c == QLatin1Char('{')) {
            ++depth;
            anyBlock = true;
            textOutside = false;
        } else if (c == QLatin1Char('}')) {
            if (depth == 0)
                return QCoreApplication::translate("MainWindow", "'}' on line %1 closes no block").arg(line);
            --depth;
        } else if (depth == 0 && !c.isSpace()) {
            textOutside = true;
        }
    }
    if (depth > 0)
        return QCoreApplication::translate("MainWindow", "a block is not closed at the end");
    // A sheet without any block holds bare declarations for the widget itself; otherwise text
    // after the last block is a rule without a body.
    if (anyBlock && textOutside)
        return QCoreApplication::translate("MainWindow", "the text after the last rule has no block");
    return QString();
}

namespace {
QStringList *captured = nullptr;
QtMessageHandler previous = nullptr;

void captureParseWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (captured && message.contains(QLatin1String("Could not parse")))
        captured->append(message);
    else if (previous)
        previous(type, context, message);
}
} // namespace

QString styleSheetParseWarning(const QString &sheet)
{
    QStringList warnings;
    captured = &warnings;
    previous = qInstallMessageHandler(captureParseWarnings);
    {
        QWidget probe;
        probe.setStyleSheet(sheet);
        probe.ensurePolished(); // the style sheet style parses here
    }
    qInstallMessageHandler(previous);
    previous = nullptr;
    captured = nullptr;
    return warnings.join(QLatin1Char('\n'));
}
