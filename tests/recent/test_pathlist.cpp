// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/failure.h"
#include "documents/record.h"
#include "recent/pathlist.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PathListTest : public ::testing::Test {
protected:
    QString file(const QString &name)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write("x");
        return path;
    }
    QTemporaryDir dir;
};

} // namespace

TEST(PathList, StoredValueSplitsIntoPartsWithATrailingEmptyOne)
{
    EXPECT_EQ(splitPathList(QStringLiteral("C:\\a.txt|C:\\b.txt|")),
              (QStringList{QStringLiteral("C:\\a.txt"), QStringLiteral("C:\\b.txt"), QString()}));
    EXPECT_EQ(splitPathList(QString()), QStringList());
    EXPECT_EQ(splitPathList(QStringLiteral("|")), (QStringList{QString(), QString()}));
    // A value written by hand without the last bar still gives its path.
    EXPECT_EQ(splitPathList(QStringLiteral("/a")), QStringList{QStringLiteral("/a")});
}

TEST(PathList, RecordPathIsEverythingAfterTheFirstBar)
{
    EXPECT_EQ(recordPath(QStringLiteral("0|C:\\a.txt")), "C:\\a.txt");
    EXPECT_EQ(recordPath(QStringLiteral("1|/home/u/notes.txt")), "/home/u/notes.txt");
    EXPECT_EQ(recordPath(QStringLiteral("0|")), "");
    // A path holding a bar comes back whole, so that it can be recognised and left out.
    EXPECT_EQ(recordPath(QStringLiteral("0|/tmp/a|b.txt")), "/tmp/a|b.txt");
    EXPECT_FALSE(isStorablePath(recordPath(QStringLiteral("0|/tmp/a|b.txt"))));
    EXPECT_THROW(recordPath(QStringLiteral("C:\\a.txt")), Failure);
}

TEST(PathList, RecordTextKeepsFlagAndAPathWithBars)
{
    // Written and read back, a path with bars and its flag survive; the flag is the part before
    // the first bar only.
    for (const QString &path : {QStringLiteral("/tmp/a|b|"), QStringLiteral("|lead"), QString()}) {
        for (bool changed : {false, true}) {
            const DocumentRecord back = DocumentRecord::parse(DocumentRecord{changed, path}.text());
            EXPECT_EQ(back.changed, changed) << qPrintable(path);
            EXPECT_EQ(back.path, path);
        }
    }
    EXPECT_EQ(DocumentRecord::ofFile(QStringLiteral("/a|1")).text(), "0|/a|1");
    EXPECT_FALSE(DocumentRecord::parse(QStringLiteral("0|1|x")).changed);
    EXPECT_TRUE(DocumentRecord::parse(QStringLiteral("1|0|x")).changed);
}

TEST(PathList, CompactionPutsOneHoleFirstAndKeepsTheOrder)
{
    // Loaded from C:\a.txt|C:\b.txt| with both files present.
    EXPECT_EQ(compactRecent({QStringLiteral("C:\\a.txt"), QStringLiteral("C:\\b.txt"), QString()}),
              (QStringList{QString(), QStringLiteral("C:\\a.txt"), QStringLiteral("C:\\b.txt")}));
    EXPECT_EQ(compactRecent(
                  {QString(), QStringLiteral("/a"), QString(), QString(), QStringLiteral("/c"), QStringLiteral("/b")}),
              (QStringList{QString(), QStringLiteral("/a"), QStringLiteral("/c"), QStringLiteral("/b")}));
    EXPECT_EQ(compactRecent({QString()}), QStringList{QString()});
    EXPECT_EQ(compactRecent({}), QStringList{QString()});
}

TEST_F(PathListTest, PresentFileIsAnExistingRegularFileTakenLiterally)
{
    const QString plain = file(QStringLiteral("a.txt"));
    const QString dotted = file(QStringLiteral(".notes"));
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    EXPECT_TRUE(isPresentFile(plain));
    EXPECT_TRUE(isPresentFile(dotted)); // no hidden attribute here
    EXPECT_FALSE(isPresentFile(dir.filePath(QStringLiteral("folder"))));
    EXPECT_FALSE(isPresentFile(dir.filePath(QStringLiteral("missing.txt"))));
    EXPECT_FALSE(isPresentFile(QString()));
    // No pattern matching: "*.txt" and "?.txt" name no file although a.txt exists.
    EXPECT_FALSE(isPresentFile(dir.filePath(QStringLiteral("*.txt"))));
    EXPECT_FALSE(isPresentFile(dir.filePath(QStringLiteral("?.txt"))));
    const QString starred = file(QStringLiteral("[a].txt"));
    EXPECT_TRUE(isPresentFile(starred));
    // A link to a file counts, a link to nothing does not.
    QFile::link(plain, dir.filePath(QStringLiteral("link.txt")));
    QFile::link(dir.filePath(QStringLiteral("gone")), dir.filePath(QStringLiteral("dangling.txt")));
    EXPECT_TRUE(isPresentFile(dir.filePath(QStringLiteral("link.txt"))));
    EXPECT_FALSE(isPresentFile(dir.filePath(QStringLiteral("dangling.txt"))));
}
