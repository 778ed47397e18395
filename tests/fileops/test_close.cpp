// SPDX-License-Identifier: GPL-3.0-or-later
#include "filedocument.h"
#include "qtprinters.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const QString SaveQuestion = QStringLiteral("File has been changed. \r\nDo you want to save changes?");
const QString CloseAllQuestion = QStringLiteral(
    "There are some file(s) that has been changed.\r\nDo you wish to continue closing all files without saving?");

class CloseTest : public FormTest {
protected:
    QString file(const QString &name) { return env->writeFile(name, "text of " + name.toUtf8()); }
    int add(const QString &path) { return addFileDocument(form(), tabs(), path, QFileInfo(path).fileName()); }
    // The document at a position gets a new text and the changed mark, as typing would leave it.
    void change(int position, const QString &text)
    {
        form().Busy = true;
        form().RichTextBox(tabs().itemData(position)).setText(text);
        form().Busy = false;
        form().markChanged(tabs().itemData(position));
    }
    void close() { form().clickButton(Button::PushButton11); }
    void closeAll() { form().clickButton(Button::PushButton12); }
    QStringList shownTexts() const
    {
        QStringList out;
        for (const ShownPrompt &s : prompts.shown)
            out << s.text;
        return out;
    }
    // Only the selected tab's editor is shown.
    void expectOnlyCurrentShown()
    {
        const int shown = form().currentEditorIndex();
        for (int i = 0; i < form().loadedEditorCount(); ++i)
            EXPECT_EQ(editorAt(i).isVisible(), i == shown) << "editor " << i;
    }
};

} // namespace

TEST_F(CloseTest, UnchangedDocumentClosesWithoutAQuestionAndEntersTheRecentList)
{
    const QString a = file(QStringLiteral("a.txt"));
    const QString b = file(QStringLiteral("b.txt"));
    add(a);
    add(b);
    tabs().select(1);
    prompts.clear();
    close();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(captions(), (QStringList{QStringLiteral("Untitled1.txt"), QStringLiteral("b.txt")}));
    EXPECT_EQ(form().RecentList, (QStringList{QString(), a}));
    EXPECT_EQ(menuCaptions(), QStringList{a});
    // The closed document's editor stays loaded and hidden; the current one is found by the index
    // its tab stores, not by its position.
    EXPECT_EQ(form().EditorCount, 3);
    EXPECT_EQ(editorAt(1).tag(), "0|" + a);
    EXPECT_FALSE(editorAt(1).isVisible());
    EXPECT_EQ(current().tag(), "0|" + b);
    expectOnlyCurrentShown();
}

TEST_F(CloseTest, ChangedDocumentAnsweredNoClosesWithoutWriting)
{
    const QString a = file(QStringLiteral("a.txt"));
    add(a);
    change(1, QStringLiteral("edited"));
    prompts.clear();
    prompts.msgAnswers = {MsgResult::No};
    close();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, SaveQuestion);
    EXPECT_EQ(prompts.shown[0].title, "Save Changes");
    EXPECT_EQ(prompts.shown[0].style, MsgStyle::YesNo + MsgStyle::Discards);
    EXPECT_EQ(TempEnv::readFile(a), "text of a.txt");
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt")});
    EXPECT_EQ(form().RecentList, (QStringList{QString(), a}));
}

TEST_F(CloseTest, YesWithTheSaveDialogCancelledKeepsTheDocument)
{
    change(0, QStringLiteral("unsaved words"));
    prompts.clear();
    prompts.msgAnswers = {MsgResult::Yes};
    prompts.fileAnswers = {QString()}; // the save dialog of an untitled document, cancelled
    close();
    EXPECT_EQ(shownTexts().first(), SaveQuestion);
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt*")});
    EXPECT_EQ(current().text(), "unsaved words");
    EXPECT_EQ(form().EditorCount, 1);
    EXPECT_EQ(form().RecentList, QStringList{QString()});
}

TEST_F(CloseTest, YesWithAFailedWriteKeepsTheDocument)
{
    // The file's folder went away after the file was opened: the write cannot succeed.
    const QString a = file(QStringLiteral("sub/a.txt"));
    add(a);
    ASSERT_TRUE(QDir(env->path(QStringLiteral("sub"))).removeRecursively());
    change(1, QStringLiteral("precious"));
    prompts.msgAnswers = {MsgResult::Yes};
    close();
    EXPECT_EQ(captions(), (QStringList{QStringLiteral("Untitled1.txt"), QStringLiteral("a.txt*")}));
    EXPECT_EQ(current().text(), "precious");
    EXPECT_EQ(form().RecentList, QStringList{QString()});
}

TEST_F(CloseTest, YesSavesTheFileThenClosesIt)
{
    const QString a = file(QStringLiteral("a.txt"));
    add(a);
    change(1, QStringLiteral("new text"));
    prompts.msgAnswers = {MsgResult::Yes};
    close();
    EXPECT_EQ(TempEnv::readFile(a), "new text");
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt")});
    EXPECT_EQ(form().RecentList, (QStringList{QString(), a}));
}

TEST_F(CloseTest, YesOnAnUntitledDocumentSavesUnderTheChosenPathWhichEntersTheList)
{
    add(file(QStringLiteral("other.txt")));
    tabs().select(0);
    change(0, QStringLiteral("fresh"));
    const QString chosen = env->path(QStringLiteral("chosen.txt"));
    prompts.msgAnswers = {MsgResult::Yes};
    prompts.fileAnswers = {chosen};
    close();
    EXPECT_EQ(TempEnv::readFile(chosen), "fresh");
    EXPECT_EQ(captions(), QStringList{QStringLiteral("other.txt")});
    EXPECT_EQ(form().RecentList, (QStringList{QString(), chosen}));
}

TEST_F(CloseTest, ClosingTheLastTabLeavesAFreshUntitledDocument)
{
    const QString a = file(QStringLiteral("a.txt"));
    add(a);
    tabs().select(0);
    close(); // Untitled1.txt, unchanged
    ASSERT_EQ(captions(), QStringList{QStringLiteral("a.txt")});
    close();
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled3.txt")});
    EXPECT_EQ(form().EditorCount, 3);
    EXPECT_EQ(tabs().selectedPosition(), 0);
    EXPECT_EQ(form().currentEditorIndex(), 2);
    EXPECT_EQ(current().tag(), "0|");
    EXPECT_EQ(current().text(), "");
    EXPECT_TRUE(current().hasFocus());
    EXPECT_FALSE(form().Busy);
    expectOnlyCurrentShown();
    // New documents keep getting fresh indexes.
    form().clickButton(Button::PushButton2);
    EXPECT_EQ(captions().last(), "Untitled4.txt");
    EXPECT_EQ(form().currentEditorIndex(), 3);
    EXPECT_TRUE(prompts.reports().empty());
}

TEST_F(CloseTest, CloseAllWithoutChangesAddsEveryFileInTabOrderAndResets)
{
    const QString a = file(QStringLiteral("a.txt"));
    const QString b = file(QStringLiteral("b.txt"));
    const QString c = file(QStringLiteral("c.txt"));
    form().Busy = true;
    editorAt(0).setText(QStringLiteral("scratch"));
    form().Busy = false;
    add(a);
    add(b);
    add(c);
    tabs().select(1);
    close(); // a first: Close All's additions come after it
    add(a);
    prompts.clear();
    closeAll();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(form().RecentList, (QStringList{QString(), b, c, a}));
    EXPECT_EQ(menuCaptions(), (QStringList{a, c, b}));
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt")});
    EXPECT_EQ(form().EditorCount, 1);
    EXPECT_EQ(form().loadedEditorCount(), 1);
    EXPECT_EQ(form().documents.size(), 1u);
    EXPECT_EQ(editorAt(0).tag(), "0|");
    EXPECT_EQ(editorAt(0).text(), "");
    EXPECT_TRUE(editorAt(0).isVisible());
    EXPECT_TRUE(editorAt(0).hasFocus());
    // The next document gets editor 1 again.
    form().clickButton(Button::PushButton2);
    EXPECT_EQ(captions(), (QStringList{QStringLiteral("Untitled1.txt"), QStringLiteral("Untitled2.txt")}));
    EXPECT_EQ(form().currentEditorIndex(), 1);
    EXPECT_EQ(form().EditorCount, 2);
    EXPECT_TRUE(prompts.reports().empty());
}

TEST_F(CloseTest, CloseAllAnsweredNoKeepsEverything)
{
    const QString a = file(QStringLiteral("a.txt"));
    const QString b = file(QStringLiteral("b.txt"));
    add(a);
    add(b);
    change(1, QStringLiteral("edited a"));
    change(2, QStringLiteral("edited b"));
    const QStringList before = captions();
    prompts.clear();
    prompts.msgAnswers = {MsgResult::No};
    closeAll();
    ASSERT_EQ(prompts.shown.size(), 1u); // asked once for two changed documents
    EXPECT_EQ(prompts.shown[0].text, CloseAllQuestion);
    EXPECT_EQ(prompts.shown[0].title, "Continue Close");
    EXPECT_EQ(prompts.shown[0].style, MsgStyle::YesNo + MsgStyle::DefaultButton2 + MsgStyle::Discards);
    EXPECT_EQ(captions(), before);
    EXPECT_EQ(editorAt(1).text(), "edited a");
    EXPECT_EQ(editorAt(2).text(), "edited b");
    EXPECT_EQ(form().EditorCount, 3);
    EXPECT_EQ(form().RecentList, QStringList{QString()});
}

TEST_F(CloseTest, CloseAllAnsweredYesWritesNothing)
{
    const QString a = file(QStringLiteral("a.txt"));
    add(a);
    change(1, QStringLiteral("thrown away"));
    prompts.msgAnswers = {MsgResult::Yes};
    closeAll();
    EXPECT_EQ(TempEnv::readFile(a), "text of a.txt");
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt")});
    EXPECT_EQ(editorAt(0).text(), "");
    EXPECT_EQ(form().RecentList, (QStringList{QString(), a}));
    EXPECT_TRUE(prompts.msgAnswers.empty());
}

TEST_F(CloseTest, RecordFlagWithoutTheMarkCountsAsUnchanged)
{
    const QString a = file(QStringLiteral("a.txt"));
    add(a);
    form().setRecord(form().currentEditorIndex(), DocumentRecord{true, a});
    prompts.clear();
    closeAll();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt")});
}

TEST_F(CloseTest, LastDocumentStaysWhenNoEditorIndexIsLeft)
{
    current().setText(QStringLiteral("still here"));
    form().EditorCount = 32767;
    prompts.clear();
    prompts.msgAnswers = {MsgResult::No};
    close();
    ASSERT_EQ(prompts.reports().size(), 1u);
    EXPECT_TRUE(
        prompts.reports()[0].text.startsWith("Overflow\r\nin Quorvel2021/08/31.Form1.PushButton11_Click at line 118"));
    EXPECT_EQ(captions(), QStringList{QStringLiteral("Untitled1.txt*")});
    EXPECT_EQ(current().text(), "still here");
    EXPECT_EQ(form().EditorCount, 32767);
    EXPECT_FALSE(form().Busy);
}

TEST_F(CloseTest, AfterCloseAllTheFreshDocumentSavesAsANewFile)
{
    // A Windows-1252 file in editor 0 must not leave its encoding to the fresh document.
    const QString latin = env->writeFile(QStringLiteral("latin.txt"), "caf\xE9\r\n");
    form().setRecord(0, DocumentRecord::ofFile(latin));
    form().document(0).format = decodeText(TempEnv::readFile(latin)).format;
    ASSERT_EQ(form().document(0).format.encoding, TextEncoding::CodePage);
    closeAll();
    type(current(), QStringLiteral("caf\u00e9\nok"));
    const QString target = env->path(QStringLiteral("fresh.txt"));
    prompts.fileAnswers = {target};
    form().clickButton(Button::PushButton7);
    EXPECT_EQ(TempEnv::readFile(target), QByteArray("caf\xC3\xA9\nok"));
}
