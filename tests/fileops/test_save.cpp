// SPDX-License-Identifier: GPL-3.0-or-later
#include "codectable.h"
#include "fileops/textcodec.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString Filter = QStringLiteral("Text File (*.txt)|*.txt");

// Scripted prompts that can also look at the world at the moment a save dialog opens.
class WatchedPrompts : public ScriptedPrompts {
public:
    std::function<void()> onSaveDialog;
    QString showSave(const QString &title, const QString &filter) override
    {
        if (onSaveDialog)
            onSaveDialog();
        return ScriptedPrompts::showSave(title, filter);
    }
};

} // namespace

class SaveTest : public FormTest {
protected:
    SaveTest() { startOnSetUp = false; }

    void SetUp() override
    {
        FormTest::SetUp();
        app = std::make_unique<QtApplication>(&dialogs, env->programFolder());
        app->start();
        QApplication::processEvents();
    }

    int indexAt(int position) { return tabs().itemData(position); }
    QString record(int position) { return editorAt(indexAt(position)).tag(); }

    // The tab at `position` as a document read from `path` and then edited to `text` would be.
    void fileDocument(int position, const QString &path, const QString &text, const QString &caption)
    {
        const int index = indexAt(position);
        Document &d = form().document(index);
        d.format = readTextFile(path).format;
        editorAt(index).setText(text);
        form().setRecord(index, DocumentRecord{true, path});
        d.unsaved = caption.endsWith(QLatin1Char('*'));
        form().setCaption(index, d.unsaved ? caption.chopped(1) : caption);
        d.file = stampFile(path);
    }

    // A new untitled document with text, marked changed.
    int untitledDocument(const QString &text)
    {
        form().PushButton2_Click();
        const int position = tabs().selectedPosition();
        editorAt(indexAt(position)).setText(text);
        form().markChanged(indexAt(position));
        return position;
    }

    std::vector<ShownPrompt> saveDialogs() const { return dialogs.ofKind(ShownPrompt::SaveDialog); }

    void expectOneReport(const char *procedure, int step, const QString &description)
    {
        const auto reports = dialogs.reports();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_TRUE(reports[0].text.startsWith(description + QStringLiteral("\r\n"))) << reports[0].text.toStdString();
        EXPECT_TRUE(reports[0].text.contains(QStringLiteral("in Quorvel2021/08/31.Form1.%1 at line %2\r\r")
                                                 .arg(QString::fromLatin1(procedure))
                                                 .arg(step)))
            << reports[0].text.toStdString();
    }

    WatchedPrompts dialogs;
};

TEST_F(SaveTest, SaveWritesThePathInTheFilesOwnFormatAndRemovesTheMark)
{
    const QString path = env->writeFile(QStringLiteral("a.txt"), "caf\xE9\r\ntwo\r\n");
    fileDocument(0, path, QStringLiteral("café\r\ntwo\r\nthree"), QStringLiteral("a.txt*"));

    form().PushButton7_Click();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(TempEnv::readFile(path), "caf\xE9\r\ntwo\r\nthree");
    EXPECT_EQ(captions(), QStringList{QStringLiteral("a.txt")});
    EXPECT_EQ(record(0), QStringLiteral("1|") + path);

    // Without "*" Save writes all the same, once the user agrees to replace another program's change.
    env->writeFile(QStringLiteral("a.txt"), "changed elsewhere");
    dialogs.msgAnswers = {MsgResult::Yes};
    form().PushButton7_Click();
    EXPECT_EQ(TempEnv::readFile(path), "caf\xE9\r\ntwo\r\nthree");
    EXPECT_EQ(captions(), QStringList{QStringLiteral("a.txt")});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, path + " was changed by another program since it was opened. Overwrite it?");
    dialogs.clear();
}

TEST_F(SaveTest, ACharacterTheCodePageCannotHoldChangesTheEncodingOnlyWhenTheUserAgrees)
{
    const QString path = env->writeFile(QStringLiteral("a&b.txt"), "caf\xE9");
    fileDocument(0, path, QStringLiteral("café Ω"), QStringLiteral("a&b.txt*"));
    const QString question =
        QStringLiteral("a&b.txt contains characters that Windows-1252 cannot hold. Save it as UTF-8?");

    // No: nothing is written, the document stays changed, and no error is reported.
    dialogs.msgAnswers = {MsgResult::No};
    form().PushButton7_Click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, question);
    EXPECT_EQ(dialogs.shown[0].style, MsgStyle::YesNo);
    EXPECT_EQ(TempEnv::readFile(path), "caf\xE9");
    EXPECT_EQ(captions(), QStringList{QStringLiteral("a&b.txt*")});
    EXPECT_EQ(form().document(indexAt(0)).format.encoding, TextEncoding::CodePage);

    // Close runs Save: saying No there too keeps the document open.
    dialogs.clear();
    dialogs.msgAnswers = {MsgResult::Yes, MsgResult::No};
    form().PushButton11_Click();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text, question);
    EXPECT_EQ(captions(), QStringList{QStringLiteral("a&b.txt*")});
    EXPECT_EQ(TempEnv::readFile(path), "caf\xE9");

    // Save All asks as well; Yes writes the file as UTF-8 instead of losing the character.
    dialogs.clear();
    dialogs.msgAnswers = {MsgResult::Yes};
    form().PushButton8_Click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, question);
    EXPECT_EQ(TempEnv::readFile(path), "caf\xC3\xA9 \xCE\xA9");
    EXPECT_EQ(captions(), QStringList{QStringLiteral("a&b.txt")});
    EXPECT_EQ(form().document(indexAt(0)).format.encoding, TextEncoding::Utf8);

    // Now UTF-8: no more question.
    dialogs.clear();
    form().PushButton7_Click();
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SaveTest, UnchangedDocumentsSaveBackToTheirOwnBytesThroughTheEditor)
{
    for (const CodecCase &c : codecTable()) {
        SCOPED_TRACE(c.name);
        const QString path = env->writeFile(QStringLiteral("t.txt"), c.bytes);
        fileDocument(0, path, readTextFile(path).text, QStringLiteral("t.txt*"));
        env->writeFile(QStringLiteral("t.txt"), "overwritten");
        form().document(indexAt(0)).file = stampFile(path); // as if read after that
        form().PushButton7_Click();
        EXPECT_TRUE(TempEnv::readFile(path) == c.bytes);
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SaveTest, SaveOfUntitledAsksThenWritesUtf8WithThisPlatformsBreaks)
{
    current().setText(QStringLiteral("é one\r\ntwo"));
    const QString path = env->path(QStringLiteral("new.txt"));
    dialogs.fileAnswers = {path};

    form().PushButton7_Click();
    ASSERT_EQ(saveDialogs().size(), 1u);
    EXPECT_EQ(saveDialogs()[0].text, "Save [Untitled1.txt] As");
    EXPECT_EQ(saveDialogs()[0].filter, Filter);
    EXPECT_EQ(TempEnv::readFile(path), "\xC3\xA9 one\ntwo");
    EXPECT_EQ(captions(), QStringList{QStringLiteral("new.txt")});
    EXPECT_EQ(record(0), QStringLiteral("0|") + path);
    EXPECT_TRUE(dialogs.reports().empty());

    // Now it has a path: the next Save asks nothing.
    dialogs.clear();
    form().PushButton7_Click();
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SaveTest, CancelledDialogsChangeNothing)
{
    current().setText(QStringLiteral("text"));
    const QString recordBefore = record(0);
    dialogs.fileAnswers = {QString(), QString()};

    form().PushButton7_Click();
    form().PushButton14_Click();
    ASSERT_EQ(saveDialogs().size(), 2u);
    EXPECT_EQ(saveDialogs()[1].text, "Save [Untitled1.txt] As");
    EXPECT_EQ(dialogs.shown.size(), 2u) << "no report";
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt*")});
    EXPECT_EQ(record(0), recordBefore);
    EXPECT_EQ(QDir(env->path(QString())).entryList(QDir::Files).size(), 0);
}

TEST_F(SaveTest, SaveAsWritesTheNewPathAndLeavesTheOldFile)
{
    const QByteArray utf16("\xFF\xFE"
                           "a\0\n\0",
                           6);
    const QString path = env->writeFile(QStringLiteral("a.txt"), utf16);
    fileDocument(0, path, QStringLiteral("a\r\nb"), QStringLiteral("a.txt*"));
    QDir().mkpath(env->path(QStringLiteral("b")));
    const QString copy = env->path(QStringLiteral("b/copy.txt"));
    dialogs.fileAnswers = {copy};

    form().PushButton14_Click();
    ASSERT_EQ(saveDialogs().size(), 1u);
    EXPECT_EQ(saveDialogs()[0].text, "Save [a.txt] As");
    EXPECT_EQ(saveDialogs()[0].filter, Filter);
    EXPECT_EQ(TempEnv::readFile(path), utf16);
    EXPECT_EQ(TempEnv::readFile(copy), QByteArray("\xFF\xFE"
                                                  "a\0\n\0b\0",
                                                  8));
    EXPECT_EQ(captions(), QStringList{QStringLiteral("copy.txt")});
    EXPECT_EQ(record(0), QStringLiteral("0|") + copy);
    EXPECT_TRUE(dialogs.reports().empty());
}

TEST_F(SaveTest, FailedWriteIsReportedOnceAndTheDocumentStaysUnsaved)
{
    // Tests run as root, whom folder modes do not stop: the failures come from a folder that
    // does not exist and from a "folder" that is a plain file.
    const QString file = env->writeFile(QStringLiteral("plain"), "x");
    const QString missing = env->path(QStringLiteral("gone/a.txt"));
    const QString underFile = file + QStringLiteral("/a.txt");

    struct Case {
        const char *name;
        std::function<void()> command;
        const char *procedure;
        int step;
        bool untitled;
    };
    const std::vector<Case> cases = {
        {"Save, path", [&] { form().PushButton7_Click(); }, "PushButton7_Click", 124, false},
        {"Save, dialog", [&] { form().PushButton7_Click(); }, "PushButton7_Click", 116, true},
        {"Save As", [&] { form().PushButton14_Click(); }, "PushButton14_Click", 114, false},
        {"Save All, path", [&] { form().PushButton8_Click(); }, "PushButton8_Click", 124, false},
        {"Save All, dialog", [&] { form().PushButton8_Click(); }, "PushButton8_Click", 118, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        current().setText(QStringLiteral("text"));
        const QString before = c.untitled ? QStringLiteral("0|") : QStringLiteral("1|") + missing;
        form().setRecord(indexAt(0), DocumentRecord::parse(before));
        form().setCaption(indexAt(0), QStringLiteral("doc.txt"));
        if (c.untitled || c.procedure == std::string("PushButton14_Click"))
            dialogs.fileAnswers = {underFile};

        c.command();
        expectOneReport(c.procedure, c.step, QStringLiteral("Path not found"));
        EXPECT_EQ(captions(), QStringList{QStringLiteral("doc.txt*")});
        EXPECT_EQ(current().tag(), before);
        EXPECT_TRUE(dialogs.fileAnswers.empty());
    }
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(TempEnv::readFile(file), "x");
}

TEST_F(SaveTest, SaveAllWritesChangedDocumentsInTabOrderWithoutMovingTheSelection)
{
    const QString a = env->writeFile(QStringLiteral("a.txt"), "a\n");
    const QString b = env->writeFile(QStringLiteral("b.txt"), "b\n");
    fileDocument(0, a, QStringLiteral("a\r\nedited"), QStringLiteral("a.txt*"));
    untitledDocument(QStringLiteral("two"));
    untitledDocument(QStringLiteral("three"));
    form().PushButton2_Click();
    fileDocument(3, b, QStringLiteral("b\r\nnot marked"), QStringLiteral("b.txt"));
    tabs().select(1);
    const int selected = tabs().selectedPosition();
    std::vector<bool> visible;
    for (int i = 0; i < 4; ++i)
        visible.push_back(editorAt(i).isVisible());

    const QString three = env->path(QStringLiteral("three.txt"));
    QByteArray aWhenFirstAsked;
    dialogs.onSaveDialog = [&] {
        if (aWhenFirstAsked.isNull())
            aWhenFirstAsked = TempEnv::readFile(a);
    };
    dialogs.fileAnswers = {QString(), three};

    form().PushButton8_Click();
    EXPECT_EQ(aWhenFirstAsked, "a\nedited") << "a.txt is written before the first dialog";
    const auto asked = saveDialogs();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, "Save [Untitled2.txt] As");
    EXPECT_EQ(asked[1].text, "Save [Untitled3.txt] As");
    EXPECT_EQ(asked[0].filter, Filter);
    EXPECT_EQ(asked[1].filter, Filter);
    EXPECT_TRUE(dialogs.reports().empty());

    EXPECT_EQ(captions(), (QStringList{"a.txt", "Untitled2.txt*", "three.txt", "b.txt"}));
    EXPECT_EQ(record(0), QStringLiteral("1|") + a);
    EXPECT_EQ(record(1), "1|") << "the cancelled document keeps its record";
    EXPECT_EQ(record(2), QStringLiteral("0|") + three);
    EXPECT_EQ(TempEnv::readFile(three), "three");
    EXPECT_EQ(TempEnv::readFile(b), "b\n") << "an unmarked document is not written";

    EXPECT_EQ(tabs().selectedPosition(), selected);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(editorAt(i).isVisible(), visible[i]) << i;
}

TEST_F(SaveTest, SaveAllWithNothingMarkedDoesNothing)
{
    const QString a = env->writeFile(QStringLiteral("a.txt"), "on disk");
    fileDocument(0, a, QStringLiteral("in the editor"), QStringLiteral("a.txt"));
    form().PushButton2_Click();

    form().PushButton8_Click();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(TempEnv::readFile(a), "on disk");
}

TEST_F(SaveTest, SaveKeepsTheFilesOtherHardLinks)
{
    const QString path = env->writeFile(QStringLiteral("a.txt"), "old\n");
    const QString other = env->path(QStringLiteral("other name.txt"));
    ASSERT_TRUE(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()) == 0);
    fileDocument(0, path, QStringLiteral("old\r\nnew"), QStringLiteral("a.txt*"));

    form().PushButton7_Click();
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(TempEnv::readFile(other), "old\nnew");
    EXPECT_EQ(QDir(env->path(QString())).entryList(QDir::Files | QDir::Hidden).size(), 2);
}
