// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "app/look.h"
#include "platform/files.h"
#include "platform/qt/stylesheetcheck.h"
#include "platform/window.h"
#include "testenv.h"

#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A 32 x 32 Windows cursor file, 32 bits a pixel, with the given hot spot.
QByteArray cursorFile(int hotX, int hotY)
{
    const int size = 32;
    QByteArray image;
    QDataStream img(&image, QIODevice::WriteOnly);
    img.setByteOrder(QDataStream::LittleEndian);
    // BITMAPINFOHEADER: the height counts the colour rows and the mask rows.
    img << quint32(40) << qint32(size) << qint32(size * 2) << quint16(1) << quint16(32) << quint32(0)
        << quint32(size * size * 4 + size * 4) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const bool ink = (x - hotX) * (x - hotX) + (y - hotY) * (y - hotY) < 64;
            img << quint8(0) << quint8(0) << quint8(ink ? 200 : 0) << quint8(ink ? 255 : 0);
        }
    }
    for (int i = 0; i < size * 4; ++i)
        img << quint8(0);

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(2) << quint16(1); // reserved, cursor, one image
    out << quint8(size) << quint8(size) << quint8(0) << quint8(0) << quint16(hotX) << quint16(hotY)
        << quint32(image.size()) << quint32(22);
    return file + image;
}

QByteArray readSkin(const char *name)
{
    QFile f(QStringLiteral(MARQUILL_SKINS_DIR "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "missing skin " << name;
    return f.readAll();
}

} // namespace

TEST(StyleSheetCheck, StructureOfValidSheetsHolds)
{
    EXPECT_EQ(styleSheetStructureError(QString()), "");
    EXPECT_EQ(styleSheetStructureError(QStringLiteral("color: red; background: blue;")), "");
    EXPECT_EQ(styleSheetStructureError(QStringLiteral("/* { */ QWidget { font-family: \"a}b\\\"c\"; }\n"
                                                      "QPushButton[foreColor='8421504'] { color: grey; } /* end */")),
              "");
}

TEST(StyleSheetCheck, BrokenStructureIsNamed)
{
    // More broken sheets go through start-up in the look tests below.
    EXPECT_EQ(styleSheetStructureError(QStringLiteral("a {\n}\n}")), "'}' on line 3 closes no block");
    EXPECT_EQ(styleSheetStructureError(QStringLiteral("a {}\n/* b {}\n*/ c { d: \"e\n}")),
              "string on line 3 is not closed");
}

TEST(StyleSheetCheck, QtParseWarningIsCaught)
{
    EXPECT_NE(styleSheetParseWarning(QStringLiteral("QWidget { color: red")), "");
    EXPECT_EQ(styleSheetParseWarning(QStringLiteral("QWidget { color: red; }")), "");
}

TEST(FileExistsTest, OnlyReadableFilesExist)
{
    TempEnv env;
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_FALSE(FileExists(env.path(QStringLiteral("missing.cur"))));
    EXPECT_TRUE(FileExists(env.writeFile(QStringLiteral("here.cur"), "x")));
}

class LookTest : public FormTest {
protected:
    LookTest() { startOnSetUp = false; }
    void writeProgramFile(const QString &name, const QByteArray &bytes)
    {
        env->writeFile(QStringLiteral("program/") + name, bytes);
    }
    void freshStart()
    {
        app.reset();
        env = std::make_unique<TempEnv>();
        prompts.clear();
    }
    void moveOver(QWidget *w)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }
    QPushButton *button(Button b) { return app->window.button(b); }
};

TEST_F(LookTest, WithoutFilesNothingChangesAndNothingIsSaid)
{
    startProgram();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt")});
    EXPECT_EQ(app->window.styleSheet(), "");
    EXPECT_NE(app->window.backgroundRole(), QPalette::Button);
    EXPECT_FALSE(app->window.mouseIcon().has_value());
}

TEST_F(LookTest, BrokenSkinIsOneReportAtStep100AndStartUpGoesOn)
{
    const QByteArray broken[] = {
        "QWidget { color: red",
        "QPushButton { color: red; }}",
        "QWidget#Form1 { background: #fff; } /* never closed",
        "QWidget { font-family: \"Arial; }",
        "QWidget { color: red; } QPushButton",
        "QWidget { color: \xff\xfe red; }",
    };
    for (const QByteArray &sheet : broken) {
        SCOPED_TRACE(sheet.toStdString());
        freshStart();
        writeProgramFile(QStringLiteral("x/o.cjs"), sheet);
        startProgram();
        const auto reports = prompts.reports();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_TRUE(reports[0].text.contains(QStringLiteral("in Quorvel2021/08/31.Form1.Form_Load at line 100\r\r")))
            << reports[0].text.toStdString();
        EXPECT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt")});
        EXPECT_EQ(app->window.styleSheet(), "");
        EXPECT_EQ(form().undo.UndoRecording, true); // start-up ran to its end
    }
}

TEST_F(LookTest, FolderInPlaceOfTheSkinIsNoSkin)
{
    QDir(env->programFolder()).mkpath(QStringLiteral("x/o.cjs"));
    startProgram();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(app->window.styleSheet(), "");
}

TEST_F(LookTest, SkinIsTakenFromProgramThenConfigurationThenDataFolder)
{
    // The program folder is <tmp>/program, so the data folder is <tmp>/share/marquill.
    const QString data = QStringLiteral("share/marquill/x/o.cjs");
    const QString config = QStringLiteral("config/marquill/x/o.cjs");
    env->writeFile(data, "QWidget#Form1 { background: #010101; }");
    startProgram();
    EXPECT_TRUE(app->window.styleSheet().contains("#010101"));
    env->writeFile(config, "QWidget#Form1 { background: #020202; }");
    restartProgram();
    EXPECT_TRUE(app->window.styleSheet().contains("#020202"));
    writeProgramFile(QStringLiteral("x/o.cjs"), "QWidget#Form1 { background: #030303; }");
    restartProgram();
    EXPECT_TRUE(app->window.styleSheet().contains("#030303"));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(LookTest, ShippedSkinsApplyWithTheirOptions)
{
    for (const char *name : {"light.cjs", "dark.cjs"}) {
        SCOPED_TRACE(name);
        freshStart();
        const QByteArray sheet = readSkin(name);
        ASSERT_FALSE(sheet.isEmpty());
        writeProgramFile(QStringLiteral("x/o.cjs"), sheet);
        startProgram();
        EXPECT_TRUE(prompts.shown.empty());
        EXPECT_EQ(app->window.styleSheet(), QString::fromUtf8(sheet));
        EXPECT_EQ(app->window.backgroundRole(), QPalette::Button);

        // The skin colours the grey Find Next apart from the other buttons, and follows it.
        const QColor normal = button(Button::PushButton3)->palette().color(QPalette::ButtonText);
        const QColor grey = button(Button::PushButton13)->palette().color(QPalette::ButtonText);
        EXPECT_NE(grey, normal);
        app->window.setButtonForeColor(Button::PushButton13, 0);
        EXPECT_EQ(button(Button::PushButton13)->palette().color(QPalette::ButtonText), normal);
        app->window.setButtonForeColor(Button::PushButton13, FindNextGrey);
        EXPECT_EQ(button(Button::PushButton13)->palette().color(QPalette::ButtonText), grey);
    }
}

TEST_F(LookTest, HandPointerOverButtonsDefaultOverTheWindowBusyStays)
{
    writeProgramFile(QStringLiteral("HAND-M.CUR"), cursorFile(6, 1));
    startProgram();
    EXPECT_TRUE(prompts.shown.empty());
    ASSERT_TRUE(app->window.mouseIcon().has_value());
    EXPECT_EQ(app->window.mouseIcon()->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(app->window.mouseIcon()->hotSpot(), QPoint(6, 1));

    moveOver(button(Button::PushButton5));
    EXPECT_EQ(app->window.mousePointer(), PointerKind::Hand);
    EXPECT_EQ(app->window.cursor().shape(), Qt::BitmapCursor);
    moveOver(&app->window);
    EXPECT_EQ(app->window.mousePointer(), PointerKind::Default);
    EXPECT_EQ(app->window.cursor().shape(), Qt::ArrowCursor);
    // Over the tab strip the window's surface is covered: the pointer stays as it is.
    moveOver(button(Button::PushButton5));
    moveOver(app->tabs.frame());
    EXPECT_EQ(app->window.mousePointer(), PointerKind::Hand);

    app->window.setMousePointer(PointerKind::Busy);
    moveOver(button(Button::PushButton13));
    EXPECT_EQ(app->window.mousePointer(), PointerKind::Busy);
    moveOver(&app->window);
    EXPECT_EQ(app->window.mousePointer(), PointerKind::Busy);
    EXPECT_EQ(app->window.cursor().shape(), Qt::WaitCursor);
}

TEST_F(LookTest, BrokenPointerFileIsOneReportAtStep106)
{
    writeProgramFile(QStringLiteral("HAND-M.CUR"), "this is no cursor");
    startProgram();
    const auto reports = prompts.reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].text.contains(QStringLiteral("Form_Load at line 106\r\r")));
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt")});
    EXPECT_FALSE(app->window.mouseIcon().has_value());
    // Without an image of its own the custom pointer is the standard one.
    form().PushButton_MouseMove(Button::PushButton1);
    EXPECT_EQ(app->window.mousePointer(), PointerKind::Hand);
    EXPECT_EQ(app->window.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(LookTest, PipesAndEndlessDevicesBesideTheProgramAreReportedAndStartUpGoesOn)
{
    // A start-up that waits on a pipe or reads /dev/zero to the end never comes back: the alarm
    // ends the test program instead of letting it hang.
    ::alarm(60);
    for (const bool pipeIsSkin : {true, false}) {
        SCOPED_TRACE(pipeIsSkin ? "pipe as skin" : "pipe as pointer");
        freshStart();
        QDir(env->programFolder()).mkpath(QStringLiteral("x"));
        const QString skin = env->programFolder() + QStringLiteral("/x/o.cjs");
        const QString pointer = env->programFolder() + QStringLiteral("/HAND-M.CUR");
        ASSERT_EQ(::mkfifo(QFile::encodeName(pipeIsSkin ? skin : pointer).constData(), 0644), 0);
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), pipeIsSkin ? pointer : skin));
        startProgram();
        const auto reports = prompts.reports();
        ASSERT_EQ(reports.size(), 2u);
        EXPECT_TRUE(reports[0].text.startsWith(QStringLiteral("Skin file cannot be read: Not a regular file\r\n")))
            << reports[0].text.toStdString();
        EXPECT_TRUE(reports[0].text.contains(QStringLiteral("Form_Load at line 100\r\r")));
        EXPECT_TRUE(reports[1].text.startsWith(QStringLiteral("Not a regular file: ") + pointer))
            << reports[1].text.toStdString();
        EXPECT_TRUE(reports[1].text.contains(QStringLiteral("Form_Load at line 106\r\r")));
        EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt")});
        EXPECT_EQ(app->window.styleSheet(), "");
        EXPECT_FALSE(app->window.mouseIcon().has_value());
        EXPECT_TRUE(form().undo.UndoRecording); // start-up ran to its end
    }
    ::alarm(0);
}

TEST(ProgramFile, OnlyRegularFilesOfASaneSizeAreRead)
{
    TempEnv env;
    EXPECT_EQ(readProgramFile(env.writeFile(QStringLiteral("a"), "skin")), "skin");
    const QString big = env.path(QStringLiteral("big"));
    QFile f(big);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(16 * 1024 * 1024 + 1));
    f.close();
    try {
        readProgramFile(big);
        ADD_FAILURE() << "a file over 16 MB was read";
    } catch (const Failure &e) {
        EXPECT_EQ(e.description(), "Larger than 16 MB");
    }
    EXPECT_THROW(readProgramFile(env.path(QStringLiteral("missing"))), Failure);
}
