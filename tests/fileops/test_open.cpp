// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileops/getfilename.h"
#include "testenv.h"

#include <QApplication>
#include <gtest/gtest.h>

TEST(GetFileName, TakesTheTextAfterTheLastSlash)
{
    EXPECT_EQ(GetFileName(QStringLiteral("/home/me/notes/a.txt")), "a.txt");
    EXPECT_EQ(GetFileName(QStringLiteral("a.txt")), "a.txt");
    EXPECT_EQ(GetFileName(QStringLiteral("/tmp/")), "");
    EXPECT_EQ(GetFileName(QString()), "");
    // A backslash is an ordinary character in a name here.
    EXPECT_EQ(GetFileName(QStringLiteral("/srv/back\\slash.txt")), "back\\slash.txt");
    EXPECT_EQ(GetFileName(QStringLiteral("C:\\Docs\\a.txt")), "C:\\Docs\\a.txt");
    EXPECT_EQ(GetFileName(QStringLiteral("/srv/one\\two/R&D.txt")), "R&D.txt");
}

class OpenTest : public FormTest {
protected:
    std::vector<ShownPrompt> dialogs() const { return prompts.ofKind(ShownPrompt::OpenDialog); }
};

TEST_F(OpenTest, OpensTheChosenFileInANewSelectedFocusedTab)
{
    const QByteArray bytes("first line\r\nsecond l\xC3\xA9ne\r\n");
    const QString path = env->writeFile(QStringLiteral("notes.txt"), bytes);
    prompts.fileAnswers.push_back(path);
    form().PushButton1_Click();

    ASSERT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(dialogs()[0].text, "Select File");
    EXPECT_EQ(dialogs()[0].filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(captions(), QStringList({"Untitled1.txt", "notes.txt"}));
    EXPECT_EQ(tabs().selectedPosition(), 1);
    EXPECT_EQ(tabs().itemData(1), 1);
    EXPECT_EQ(form().EditorCount, 2);
    EXPECT_FALSE(form().Busy);
    QtEditor &e = editorAt(1);
    EXPECT_EQ(&current(), &e);
    EXPECT_EQ(e.tag(), "0|" + path);
    const DecodedText expected = decodeText(bytes);
    EXPECT_EQ(e.text(), expected.text);
    EXPECT_EQ(form().document(1).format, expected.format);
    EXPECT_TRUE(e.isVisible());
    EXPECT_TRUE(e.hasFocus());
    // Loading is no edit.
    EXPECT_TRUE(form().undo.Undos.empty());
    EXPECT_TRUE(prompts.reports().empty());
}

TEST_F(OpenTest, CancellingTheDialogChangesNothing)
{
    prompts.fileAnswers.push_back(QString());
    form().PushButton1_Click();
    EXPECT_EQ(dialogs().size(), 1u);
    EXPECT_EQ(captions(), QStringList({"Untitled1.txt"}));
    EXPECT_EQ(form().EditorCount, 1);
    EXPECT_EQ(form().loadedEditorCount(), 1);
    EXPECT_FALSE(form().Busy);
    EXPECT_TRUE(prompts.reports().empty());
}

TEST_F(OpenTest, TheSameFileTwiceGivesTwoIndependentDocuments)
{
    const QString path = env->writeFile(QStringLiteral("a.txt"), "abc");
    prompts.fileAnswers = {path, path};
    form().PushButton1_Click();
    form().PushButton1_Click();
    EXPECT_EQ(captions(), QStringList({"Untitled1.txt", "a.txt", "a.txt"}));
    EXPECT_EQ(tabs().itemData(1), 1);
    EXPECT_EQ(tabs().itemData(2), 2);
    ASSERT_EQ(&current(), &editorAt(2));
    current().setSelStart(3);
    type(current(), QStringLiteral("d"));
    EXPECT_EQ(editorAt(2).text(), "abcd");
    EXPECT_EQ(editorAt(1).text(), "abc");
    EXPECT_EQ(editorAt(1).tag(), "0|" + path);
    EXPECT_EQ(captions(), QStringList({"Untitled1.txt", "a.txt", "a.txt*"}));
}

TEST_F(OpenTest, AfterATabWasClosedTheFileGetsTheNextEditorIndexAndTheLastTab)
{
    form().PushButton2_Click();
    form().PushButton2_Click();
    form().PushButton2_Click();
    ASSERT_EQ(form().EditorCount, 4);
    tabs().removeTab(1); // Untitled2.txt closed: its editor stays loaded
    const QString path = env->writeFile(QStringLiteral("b.txt"), "b");
    form().OpenFile(path, false);
    EXPECT_EQ(form().EditorCount, 5);
    EXPECT_EQ(captions(), QStringList({"Untitled1.txt", "Untitled3.txt", "Untitled4.txt", "b.txt"}));
    EXPECT_EQ(tabs().selectedPosition(), 3);
    EXPECT_EQ(form().currentEditorIndex(), 4);
    EXPECT_EQ(current().text(), "b");
}

TEST_F(OpenTest, AFileThatCannotBeReadIsReportedAndKeepsNoPath)
{
    const QString path = env->path(QStringLiteral("gone.txt"));
    form().OpenFile(path, false);
    const auto reports = prompts.reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].text.contains("in Quorvel2021/08/31.Form1.OpenFile at line 112\r\r"))
        << reports[0].text.toStdString();
    EXPECT_EQ(captions(), QStringList({"Untitled1.txt", "gone.txt"}));
    EXPECT_EQ(editorAt(1).tag(), "0|");
    EXPECT_EQ(editorAt(1).text(), "");
    EXPECT_TRUE(editorAt(1).isVisible());
    EXPECT_TRUE(editorAt(1).hasFocus());
    EXPECT_FALSE(form().Busy);
    EXPECT_EQ(form().EditorCount, 2);
}

TEST_F(OpenTest, SkipFocusLeavesTheKeyboardWhereItWas)
{
    ASSERT_TRUE(editorAt(0).hasFocus());
    const QString path = env->writeFile(QStringLiteral("c.txt"), "c");
    form().OpenFile(path, true);
    EXPECT_EQ(&current(), &editorAt(1));
    EXPECT_TRUE(editorAt(1).isVisible());
    EXPECT_FALSE(editorAt(1).hasFocus());
    EXPECT_TRUE(editorAt(0).hasFocus());
    EXPECT_EQ(editorAt(1).text(), "c");
}

TEST_F(OpenTest, AfterTheEditorCountOverflowsNothingIsAddedOrTouched)
{
    type(current(), QStringLiteral("keep"));
    form().EditorCount = 32767;
    const QString path = env->writeFile(QStringLiteral("d.txt"), "d");
    form().OpenFile(path, false);
    const auto reports = prompts.reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].text.startsWith("Overflow\r\nin Quorvel2021/08/31.Form1.OpenFile at line 102\r\r"));
    EXPECT_EQ(form().EditorCount, 32767);
    EXPECT_EQ(captions(), QStringList({"Untitled1.txt*"}));
    EXPECT_EQ(editorAt(0).text(), "keep");
    EXPECT_EQ(editorAt(0).tag(), "1|");
    EXPECT_FALSE(form().Busy);
}
