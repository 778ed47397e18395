// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qtsettings.h"
#include "qtprinters.h"
#include "testenv.h"

#include <QDir>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

const QString App = QStringLiteral("Vortlane");
const QString Section = QStringLiteral("Marquill");

} // namespace

TEST(SettingsStore, ValuesLiveInTheConfigurationFolderAndComeBackUnchanged)
{
    TempEnv env;
    QtSettingsStore store;
    EXPECT_EQ(store.getSetting(App, Section, QStringLiteral("RecentFiles"), QString()), "");
    const QString value = QStringLiteral("/a,b/c d.txt|/é/ü.txt| /x\"q\";#=.txt|C:\\a.txt|@Variant(x)|");
    store.saveSetting(App, Section, QStringLiteral("RecentFiles"), value);
    EXPECT_EQ(QtSettingsStore().getSetting(App, Section, QStringLiteral("RecentFiles"), QString()), value);
    const QByteArray written = TempEnv::readFile(env.configFolder() + QStringLiteral("/Vortlane.ini"));
    EXPECT_TRUE(written.startsWith("[Marquill]\n")) << written.toStdString();
    EXPECT_TRUE(written.contains("RecentFiles=")) << written.toStdString();
}

TEST(SettingsStore, EachTestFolderHasItsOwnValues)
{
    // The folder is looked up at every call, not once per process.
    for (int run = 0; run < 2; ++run) {
        TempEnv env;
        QtSettingsStore store;
        EXPECT_EQ(store.getSetting(App, Section, QStringLiteral("OpenFiles"), QStringLiteral("none")), "none");
        store.saveSetting(App, Section, QStringLiteral("OpenFiles"), QStringLiteral("/run%1|").arg(run));
        EXPECT_TRUE(QFile::exists(env.configFolder() + QStringLiteral("/Vortlane.ini")));
    }
}

TEST(SettingsStore, HandEditedLineWithACommaReadsWhole)
{
    TempEnv env;
    env.writeFile(QStringLiteral("config/Vortlane.ini"), "[Marquill]\nOpenFiles=/home/u/a,b.txt|/home/u/c.txt|\n");
    EXPECT_EQ(QtSettingsStore().getSetting(App, Section, QStringLiteral("OpenFiles"), QString()),
              "/home/u/a,b.txt|/home/u/c.txt|");
}

TEST(SettingsStore, UnwritableFolderIsAFailure)
{
    TempEnv env;
    qputenv("XDG_CONFIG_HOME", env.path(QStringLiteral("file-not-folder")).toLocal8Bit());
    env.writeFile(QStringLiteral("file-not-folder"), "x");
    EXPECT_THROW(QtSettingsStore().saveSetting(App, Section, QStringLiteral("OpenFiles"), QStringLiteral("/a|")),
                 Failure);
}

TEST(SettingsStore, ValuesAreWrittenAndReadAsQSettingsDoes)
{
    // Files written before by QSettings still read, and QSettings reads what the store writes.
    TempEnv env;
    const QStringList values = {
        QStringLiteral("/home/u/a.txt|/home/u/b c.txt|"),
        QStringLiteral("/x/a,b.txt|/y;z.txt|/q\"uote\".txt|/back\\slash.txt|/e=q#h.txt|"),
        QStringLiteral(" /lead and trail | "),
        QStringLiteral("@/at.txt|"),
        QStringLiteral("/\u00e9t\u00e9/\u4e2d\U0001F600.txt|"),
        QStringLiteral("/tab\there/new\nline/\x01"
                       "1f.txt|"),
        QString(),
    };
    int n = 0;
    for (const QString &value : values) {
        SCOPED_TRACE(value.toStdString());
        const QString theirs = env.path(QStringLiteral("q%1.ini").arg(n));
        {
            QSettings q(theirs, QSettings::IniFormat);
            q.setValue(Section + QStringLiteral("/RecentFiles"), value);
        }
        QFile::remove(QtSettingsStore::fileName(App));
        QtSettingsStore().saveSetting(App, Section, QStringLiteral("RecentFiles"), value);
        const QByteArray ours = TempEnv::readFile(QtSettingsStore::fileName(App));
        EXPECT_EQ(ours, TempEnv::readFile(theirs));
        EXPECT_EQ(QtSettingsStore().getSetting(App, Section, QStringLiteral("RecentFiles"), QStringLiteral("none")),
                  value);
        const QString copy = env.writeFile(QStringLiteral("o%1.ini").arg(n++), ours);
        EXPECT_EQ(QSettings(copy, QSettings::IniFormat).value(Section + QStringLiteral("/RecentFiles")).toString(),
                  value);
    }
}

TEST(SettingsStore, OnlyTheProgramsOwnLinesChange)
{
    TempEnv env;
    const QByteArray others = "; shared by the Vortlane tools\n"
                              "[Other]\n"
                              "Token=abc;def\n"
                              "Path=C:\\Users\\me\n"
                              "List=a,b,c\n"
                              "Quote=\"say \\\"hi\\\"\"   ; why\n"
                              "# hash comment\n";
    const QString file = env.writeFile(QStringLiteral("config/Vortlane.ini"),
                                       others + "\n[Marquill]\nOpenFiles=/a.txt|\n\n[Zeta]\nEmpty=\nlast=1");
    QtSettingsStore store;
    store.saveSetting(App, Section, QStringLiteral("OpenFiles"), QStringLiteral("/b,c.txt|"));
    store.saveSetting(App, Section, QStringLiteral("RecentFiles"), QStringLiteral("/r.txt|"));
    EXPECT_EQ(TempEnv::readFile(file), others + "\n[Marquill]\nOpenFiles=\"/b,c.txt|\"\nRecentFiles=/r.txt|\n\n"
                                                "[Zeta]\nEmpty=\nlast=1");
    EXPECT_EQ(store.getSetting(App, QStringLiteral("Other"), QStringLiteral("Path"), QString()), "C:\\Users\\me");
    EXPECT_EQ(store.getSetting(App, QStringLiteral("Other"), QStringLiteral("List"), QString()), "a,b,c");

    // Without the section, it comes at the end; the last line gets its line break.
    env.writeFile(QStringLiteral("config/Vortlane.ini"), others + "last=1");
    store.saveSetting(App, Section, QStringLiteral("OpenFiles"), QString());
    EXPECT_EQ(TempEnv::readFile(file), others + "last=1\n\n[Marquill]\nOpenFiles=\n");
}

namespace {

class SettingsFileTest : public FormTest {
protected:
    SettingsFileTest() { startOnSetUp = false; }
    int closeRequest()
    {
        int cancel = 0;
        form().Form_QueryUnload(cancel, 0);
        return cancel;
    }
};

} // namespace

TEST_F(SettingsFileTest, ASharedFileSurvivesTenRunsByteForByte)
{
    const QString a = env->writeFile(QStringLiteral("a.txt"), "a");
    const QString recent = env->writeFile(QStringLiteral("x,y;z.txt"), "r");
    const QByteArray bytes = "; shared by the Vortlane tools\r\n[Other]\r\nToken=abc;def\r\nPath=C:\\Users\\me\r\n"
                             "List=a, b,c\r\nQuote=\"say \\\"hi\\\"\"\r\n\r\n[Marquill]\r\n# ours\r\nOpenFiles = " +
                             a.toUtf8() + "|\r\nRecentFiles=\"" + recent.toUtf8() + "|\"  ; recent\r\n[Last]\r\nk=v";
    const QString file = env->writeFile(QStringLiteral("config/Vortlane.ini"), bytes);
    for (int run = 0; run < 10; ++run) {
        SCOPED_TRACE(run);
        startProgram();
        EXPECT_EQ(captions(), QStringList{QStringLiteral("a.txt")});
        EXPECT_EQ(form().RecentList, (QStringList{QString(), recent}));
        EXPECT_EQ(closeRequest(), 0);
        EXPECT_TRUE(prompts.shown.empty());
        app.reset();
        ASSERT_EQ(TempEnv::readFile(file), bytes);
    }
}

TEST_F(SettingsFileTest, AFileThatIsNoSettingsFileIsReportedOnceAndLeftAsItIs)
{
    const QByteArray garbage("\x7f"
                             "ELF\x02\x01\x01\x00\x00garbage\nno equals sign here\n",
                             30);
    const QString file = env->writeFile(QStringLiteral("config/Vortlane.ini"), garbage);
    startProgram();
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt")});
    EXPECT_EQ(closeRequest(), 0);
    const auto reports = prompts.reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].text.startsWith(QStringLiteral("The settings file ") + file))
        << reports[0].text.toStdString();
    EXPECT_EQ(TempEnv::readFile(file), garbage);
}
