// SPDX-License-Identifier: GPL-3.0-or-later
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>

TempEnv::TempEnv()
    : oldHome_(qgetenv("HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")), oldState_(qgetenv("XDG_STATE_HOME"))
{
    QDir(dir_.path()).mkpath(QStringLiteral("config"));
    QDir(dir_.path()).mkpath(QStringLiteral("program"));
    QDir(dir_.path()).mkpath(QStringLiteral("home"));
    qputenv("HOME", dir_.filePath(QStringLiteral("home")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", configFolder().toLocal8Bit());
    qputenv("XDG_STATE_HOME", stateFolder().toLocal8Bit());
}

TempEnv::~TempEnv()
{
    qputenv("HOME", oldHome_);
    if (oldConfig_.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig_);
    if (oldState_.isEmpty())
        qunsetenv("XDG_STATE_HOME");
    else
        qputenv("XDG_STATE_HOME", oldState_);
}

QString TempEnv::writeFile(const QString &name, const QByteArray &bytes) const
{
    const QString p = path(name);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << p.toStdString();
    return p;
}

QByteArray TempEnv::readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void FormTest::SetUp()
{
    env = std::make_unique<TempEnv>();
    if (startOnSetUp)
        startProgram();
}

void FormTest::TearDown()
{
    app.reset();
    env.reset();
}

void FormTest::startProgram()
{
    app = std::make_unique<QtApplication>(&prompts, env->programFolder());
    app->start();
    QApplication::processEvents();
}

void FormTest::restartProgram()
{
    app.reset();
    startProgram();
}

QStringList FormTest::captions() const
{
    QStringList out;
    for (int i = 0; i < app->tabs.count(); ++i)
        out << app->tabs.caption(i);
    return out;
}

QStringList FormTest::menuCaptions() const
{
    QStringList out;
    for (const MenuItem &item : app->form->subRecent)
        out << item.caption;
    return out;
}

QtEditor &FormTest::editorAt(int index)
{
    return static_cast<QtEditor &>(form().RichTextBox(index));
}

QtEditor &FormTest::current()
{
    return static_cast<QtEditor &>(form().currentEditor());
}

void FormTest::type(QtEditor &e, const QString &text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            press(e, Qt::Key_Return);
            continue;
        }
        QKeyEvent down(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(e.widget(), &down);
        QKeyEvent up(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(e.widget(), &up);
    }
}

void FormTest::press(QtEditor &e, int key, Qt::KeyboardModifiers mods)
{
    QKeyEvent down(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(e.widget(), &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods);
    QApplication::sendEvent(e.widget(), &up);
}
