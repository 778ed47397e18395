#include "fileops/textcodec.h"

#include "app/failure.h"

#include <QFile>

// TODO: the opening issue completes the codec.
DecodedText decodeText(const QByteArray &bytes)
{
    DecodedText d;
    d.text = QString::fromUtf8(bytes);
    return d;
}

QByteArray encodeText(const QString &text, TextFormat &)
{
    return text.toUtf8();
}

DecodedText readTextFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Failure(f.errorString());
    return decodeText(f.readAll());
}

void SaveTextFile(const QString &text, const QString &path, TextFormat &format)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw Failure(f.errorString());
    f.write(encodeText(text, format));
}
