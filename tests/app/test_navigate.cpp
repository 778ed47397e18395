// SPDX-License-Identifier: GPL-3.0-or-later
// Go to Line, the status line, and the command line's forms (FILE:LINE, +LINE FILE, -, a file
// that does not exist yet), also as another start hands them over.
#include "app/commandline.h"
#include "handover.h"
#include "platform/files.h"
#include "platform/qt/qtlinedialog.h"
#include "platform/qt/singleinstance.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocalSocket>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <deque>
#include <limits>
#include <tuple>

namespace {

struct ScriptedLineDialog : LineDialog {
    std::deque<int> answers;
    std::vector<std::pair<int, int>> asked; // current, lines
    int askLine(int current, int lines) override
    {
        asked.emplace_back(current, lines);
        const int answer = answers.empty() ? 0 : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
};

QByteArray placesRequest(const QList<std::array<quint32, 3>> &heads, const QList<QByteArray> &bytes)
{
    QByteArray body = be(quint32(heads.size()));
    for (qsizetype i = 0; i < heads.size(); ++i)
        body += be(heads[i][0]) + be(heads[i][1]) + be(heads[i][2]) + be(quint32(bytes[i].size())) + bytes[i];
    return be(0x4d51'0003) + be(quint32(body.size())) + body;
}

} // namespace

TEST(CommandLineFormsTest, PlacesNewFilesAndStandardInput)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    QFile(d + "/real:5").open(QIODevice::WriteOnly); // a file whose own name ends in ":5"
    QFile(d + "/a.txt").open(QIODevice::WriteOnly);
    const int huge = std::numeric_limits<int>::max();
    const struct {
        QStringList arguments;
        OpenTargets expected;
    } table[] = {
        {{"a.txt:12"}, {OpenTarget::file(d + "/a.txt", 12)}},
        {{"a.txt:12:7"}, {OpenTarget::file(d + "/a.txt", 12, 7)}},
        {{"+30", "a.txt", "b.txt"}, {OpenTarget::file(d + "/a.txt", 30), OpenTarget::file(d + "/b.txt")}},
        {{"a.txt:0"}, {OpenTarget::file(d + "/a.txt", 1)}},
        {{"a.txt:99999999999999999999:3"}, {OpenTarget::file(d + "/a.txt", huge, 3)}},
        {{"real:5"}, {OpenTarget::file(d + "/real:5")}},
        {{"real:5:2"}, {OpenTarget::file(d + "/real:5", 2)}},
        {{"new.txt:4"}, {OpenTarget::file(d + "/new.txt", 4)}},
        {{"new.txt"}, {OpenTarget::file(d + "/new.txt")}},
        {{"-", "a.txt:2"}, {OpenTarget::input({}), OpenTarget::file(d + "/a.txt", 2)}},
        {{"a.txt:x"}, {OpenTarget::file(d + "/a.txt:x")}},
    };
    for (const auto &row : table) {
        const CommandLine c = parseCommandLine(QStringList{"marquill"} + row.arguments, d);
        EXPECT_TRUE(c.error.isEmpty()) << row.arguments.join(' ').toStdString();
        EXPECT_TRUE(c.targets == row.expected) << row.arguments.join(' ').toStdString();
    }
    EXPECT_FALSE(parseCommandLine({"marquill", "a.txt", "+3"}, d).error.isEmpty());
    const QString help = parseCommandLine({"marquill", "--help"}, d).helpText;
    EXPECT_TRUE(help.contains("FILE:LINE:COLUMN") && help.contains("+LINE") && help.contains("standard input"));
}

TEST(HandOverTest, PlacesAndStandardInputArriveMalformedOrOversizedAreRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("m.socket");
    SingleInstance first(path), second(path);
    SingleInstance::Limits limits;
    limits.requestBytes = 1000;
    first.setLimits(limits);
    second.setLimits(limits);
    OpenTargets received;
    int requests = 0;
    first.onOpen = [&](const OpenTargets &t) {
        received.insert(received.end(), t.begin(), t.end());
        ++requests;
    };
    ASSERT_EQ(first.listen(), SingleInstance::Listen::Listening);

    const QByteArray input("caf\xE9\r\nline\n\xFF", 12);
    const OpenTargets sent{OpenTarget::file("/a.txt", 3, 9), OpenTarget::input(input),
                           OpenTarget::file(nameFromBytes("/b\xFE.txt"), std::numeric_limits<int>::max())};
    qsizetype handed = 0;
    EXPECT_TRUE(second.sendTargets(sent, 5000, &handed));
    EXPECT_EQ(handed, 3);
    QCoreApplication::processEvents();
    EXPECT_TRUE(received == sent);

    // A text larger than one request stays with the start that read it.
    received.clear();
    EXPECT_FALSE(
        second.sendTargets({OpenTarget::file("/c.txt"), OpenTarget::input(QByteArray(2000, 'x'))}, 5000, &handed));
    EXPECT_EQ(handed, 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(received == OpenTargets{OpenTarget::file("/c.txt")});

    // Unknown kinds, two texts in one request, a place given to a text, a file without a name,
    // an entry cut short, a request over the byte limit: each is refused and opens nothing.
    received.clear();
    EXPECT_FALSE(answered(path, placesRequest({{1, 1, 7}}, {"/a"})));
    EXPECT_FALSE(answered(path, placesRequest({{0, 0, 1}, {0, 0, 1}}, {"x", "y"})));
    EXPECT_FALSE(answered(path, placesRequest({{2, 0, 1}}, {"x"})));
    EXPECT_FALSE(answered(path, placesRequest({{2, 0, 0}}, {""})));
    EXPECT_FALSE(answered(path, placesRequest({{2, 0, 0}}, {"/a"}).chopped(3)));
    EXPECT_FALSE(answered(path, placesRequest({{0, 0, 1}}, {QByteArray(1000, 'x')})));
    EXPECT_TRUE(answered(path, placesRequest({{0xFFFF'FFFF, 2, 0}}, {"/a"})));
    QCoreApplication::processEvents();
    EXPECT_TRUE(received == OpenTargets{OpenTarget::file("/a", std::numeric_limits<int>::max(), 2)});
}

class NavigateTest : public FormTest {
protected:
    // The editor paints, tells of the caret's move, and the status line is written in the
    // following turn of the event loop.
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    NavigateTest() { startOnSetUp = false; }
    void startWith(const OpenTargets &targets)
    {
        app.reset();
        app = std::make_unique<QtApplication>(&prompts, env->programFolder());
        app->form->lineDialog = &lines;
        app->startWith(targets);
        QApplication::processEvents();
    }
    ScriptedLineDialog lines;
};

TEST_F(NavigateTest, StartWithPlacesNewFileAndStandardInputLeavesNoUntitled)
{
    const QString a = env->writeFile("a.txt", "one\r\ntwo\r\n\tx\xF0\x9F\x98\x80yz\r\n");
    const QString fresh = env->path("fresh.txt");
    const QByteArray input("kept \xFF\xFE bytes\nand\r\nmixed\n", 26);
    startWith({OpenTarget::file(a, 3, 4), OpenTarget::input(input), OpenTarget::file(fresh)});
    EXPECT_EQ(captions(), (QStringList{"a.txt", "Untitled3.txt*", "fresh.txt"})); // numbered as New numbers
    EXPECT_TRUE(prompts.shown.empty());

    // The caret went to line 3, column 4: after the tab, "x" and the emoji (one character).
    tabs().select(0);
    EXPECT_EQ(current().selStart(), 10 + 4);
    form().goToLine(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    EXPECT_EQ(current().selStart(), current().textLength()); // clamped to the end
    form().goToLine(2, 99);
    EXPECT_EQ(current().selStart(), 8); // the end of "two", before its line break

    // Standard input's bytes come back byte for byte when saved.
    tabs().select(1);
    prompts.fileAnswers.push_back(env->path("input.txt"));
    form().PushButton7_Click();
    EXPECT_EQ(TempEnv::readFile(env->path("input.txt")), input);

    // The new file is made by Save without a question; made meanwhile by another program, Save asks.
    tabs().select(2);
    type(current(), "hello");
    form().PushButton7_Click();
    EXPECT_EQ(TempEnv::readFile(fresh), "hello");
    EXPECT_TRUE(prompts.shown.empty() || prompts.shown.size() == 1); // only input.txt's dialog
    startWith({OpenTarget::file(env->path("later.txt"))});
    EXPECT_EQ(captions().last(), "later.txt");
    env->writeFile("later.txt", "theirs");
    prompts.clear();
    prompts.msgAnswers.push_back(MsgResult::No);
    form().PushButton7_Click();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.contains("was changed by another program"));
    EXPECT_EQ(TempEnv::readFile(env->path("later.txt")), "theirs");

    // Made by another program between that check and the write: the same question, and No
    // replaces nothing.
    startWith({OpenTarget::file(env->path("race.txt"))});
    type(current(), "mine");
    bool made = false;
    FileReplacement::afterCheck() = [&] {
        if (!std::exchange(made, true))
            env->writeFile("race.txt", "theirs");
    };
    prompts.clear();
    prompts.msgAnswers = {MsgResult::No, MsgResult::Yes};
    form().PushButton7_Click();
    EXPECT_EQ(TempEnv::readFile(env->path("race.txt")), "theirs");
    form().PushButton7_Click(); // asked again; Yes replaces it
    FileReplacement::afterCheck() = nullptr;
    ASSERT_EQ(prompts.shown.size(), 2u) << prompts.shown.back().text.toStdString();
    EXPECT_TRUE(prompts.shown[0].text.contains("was changed by another program"));
    EXPECT_EQ(TempEnv::readFile(env->path("race.txt")), "mine");
    EXPECT_EQ(QDir(env->path("")).entryList(QStringList{".race.txt*"}, QDir::Hidden | QDir::Files), QStringList{});
}

TEST_F(NavigateTest, GoToLineAndItsDialogRefusesBadInput)
{
    startWith({});
    current().setText("a\r\nb\r\nc\r\nd");
    current().setSelStart(4); // line 2
    lines.answers = {3, 0};
    form().showGoToLine();
    ASSERT_EQ(lines.asked.size(), 1u);
    EXPECT_EQ(lines.asked[0], std::make_pair(2, 4));
    EXPECT_EQ(current().selStart(), 6);
    form().showGoToLine(); // cancelled: the caret stays
    EXPECT_EQ(current().selStart(), 6);
    // Ctrl+G in the editor reaches the window, and the editor types nothing for it.
    lines.answers = {1};
    QTest::sendKeyEvent(QTest::Click, current().widget(), Qt::Key_G, QString(QChar(7)), Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(lines.asked.size(), 3u);
    EXPECT_EQ(current().selStart(), 0);
    EXPECT_EQ(current().text(), "a\r\nb\r\nc\r\nd");

    LineNumberDialog dialog(&app->window, 2, 250);
    EXPECT_EQ(dialog.input()->text(), "2");
    EXPECT_EQ(dialog.input()->selectedText(), "2");
    QStringList labels;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        labels << label->text();
    EXPECT_TRUE(labels.contains("Line number (1–250):")) << labels.join('|').toStdString();
    for (const QString bad : {"", "abc", "0", "251", "-3", "99999999999999999999", "1e2", "12x"}) {
        dialog.input()->setText(bad);
        EXPECT_FALSE(dialog.okButton()->isEnabled()) << bad.toStdString();
        EXPECT_EQ(dialog.lineNumber(), 0);
    }
    EXPECT_FALSE(dialog.problem().isEmpty());
    dialog.input()->setText(" 250 ");
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    EXPECT_EQ(dialog.lineNumber(), 250);
    EXPECT_TRUE(dialog.problem().isEmpty());
}

TEST_F(NavigateTest, StatusLineCountsCharactersAndTakesTheBottomEdgeOnlyWhenShown)
{
    startWith({});
    app->window.resize(807, 611);
    QApplication::processEvents();
    const double tabsHeight = tabs().height();
    EXPECT_EQ(app->window.findChild<QLabel *>("statusLine"), nullptr);

    form().setStatusLineShown(true);
    QLabel *line = app->window.findChild<QLabel *>("statusLine");
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isVisible());
    // The editors end above it, the margin kept.
    EXPECT_EQ(line->geometry().bottom(), app->window.height() - 1);
    EXPECT_EQ(tabs().height(), tabsHeight - app->window.statusLineHeight());
    EXPECT_LE(tabs().top() + tabs().height() + 120, app->window.scaleHeight() - app->window.statusLineHeight() + 1);

    // A tab, a surrogate pair and CRLF: each is one character.
    current().setText(QString::fromUtf8("ab\r\n\tx\xF0\x9F\x98\x80yz"));
    current().setSelStart(4 + 1 + 1 + 2); // after the emoji
    current().setSelLength(2);            // "yz"
    settle();
    EXPECT_EQ(line->text(), "Ln 2, Col 6 | Sel 2 | UTF-8 | LF");
    current().setSelStart(2);
    current().setSelLength(6); // "\r\n" (one line break), "\tx" and the emoji's pair
    settle();
    EXPECT_EQ(line->text(), "Ln 2, Col 4 | Sel 4 | UTF-8 | LF");
    // Typed along the line, and changed before the caret: the column follows both.
    current().setSelStart(current().textLength());
    settle();
    type(current(), "!?");
    settle();
    EXPECT_TRUE(line->text().startsWith("Ln 2, Col 8 |")) << line->text().toStdString();
    current().setSelStart(4);
    current().setSelText(QString::fromUtf8("\xF0\x9F\x98\x80\xF0\x9F\x98\x80"));
    current().setSelStart(current().textLength());
    settle();
    EXPECT_TRUE(line->text().startsWith("Ln 2, Col 10 |")) << line->text().toStdString();
    current().setSelStart(6);
    current().setSelLength(6); // the second new pair, "\tx" and the old pair
    settle();
    current().widget()->SendScintilla(QsciScintillaBase::SCI_SETZOOM, 5);
    settle();
    const double size = current().font().pointSizeF();
    EXPECT_EQ(line->text(),
              QStringLiteral("Ln 2, Col 6 | Sel 4 | UTF-8 | LF | %1%").arg(std::lround(100 * (size + 5) / size)));

    // A selection that grows or shrinks at one end, by the keyboard, across a pair and a CRLF.
    current().setText(QString::fromUtf8("ab\r\ncd\xF0\x9F\x98\x80"
                                        "ef"));
    current().setSelStart(1);
    current().setSelLength(5); // "b", the line break, "cd"
    settle();
    EXPECT_TRUE(line->text().contains("| Sel 4 |")) << line->text().toStdString();
    for (const auto &[key, modifiers, selected] : {std::tuple{Qt::Key_Right, Qt::ShiftModifier, "| Sel 5 |"},
                                                   {Qt::Key_Right, Qt::ShiftModifier, "| Sel 6 |"},
                                                   {Qt::Key_Left, Qt::ShiftModifier, "| Sel 5 |"},
                                                   {Qt::Key_Left, Qt::ShiftModifier, "| Sel 4 |"},
                                                   {Qt::Key_Left, Qt::ShiftModifier, "| Sel 3 |"},
                                                   {Qt::Key_Left, Qt::ShiftModifier, "| Sel 2 |"}}) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(current().widget(), &press);
        settle();
        EXPECT_TRUE(line->text().contains(selected)) << line->text().toStdString() << " for " << selected;
    }

    // Remembered; hidden again, the layout is as before.
    EXPECT_EQ(form().GetSetting("StatusLine", "0"), "1");
    form().setStatusLineShown(false);
    EXPECT_FALSE(line->isVisible());
    EXPECT_EQ(tabs().height(), tabsHeight);
    EXPECT_EQ(form().GetSetting("StatusLine", "1"), "0");
}
