#include "qtprinters.h"
#include "platform/qt/qtsettings.h"
#include "testenv.h"

#include <QDir>
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
