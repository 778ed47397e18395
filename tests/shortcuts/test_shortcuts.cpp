// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsvalues.h"
#include "shortcuts/atoms.h"
#include "shortcuts/shortcuts.h"
#include "testenv.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Runs the event loop until the condition holds or the time is up.
bool runUntil(const std::function<bool()> &condition, int milliseconds = 2000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

void runFor(int milliseconds)
{
    runUntil([] { return false; }, milliseconds);
}

struct Registration {
    int id, modifiers, key;
    bool systemWide;
};

// Hot keys that record what the program registers; a combination can be set to be refused,
// as when another program holds it.
class FakeHotKeys : public HotKeys {
public:
    bool registerHotKey(int id, int modifiers, int key) override
    {
        registrations.push_back({id, modifiers, key, systemWide});
        return key != refusedKey;
    }
    void setSystemWide(bool on) override { systemWide = on; }
    bool systemWide = true;
    // A press of Ctrl+key, as the window system reports a registered combination.
    void press(int key)
    {
        for (const Registration &r : registrations) {
            if (r.key == key && r.key != refusedKey)
                notifyHotKey(r.id);
        }
    }
    // The same while another application has the keyboard; a press the program does not take
    // goes back to it.
    void pressFromOutside(int key)
    {
        for (const Registration &r : registrations) {
            if (r.key == key && r.key != refusedKey) {
                if (mayRunFromOutside(r.id))
                    notifyHotKey(r.id);
                else
                    givenBack.push_back(key);
            }
        }
    }
    std::vector<Registration> registrations;
    std::vector<int> givenBack;
    int refusedKey = 0;
};

} // namespace

TEST(AtomTableTest, SameNameInAnyCaseGivesTheSameAtom)
{
    AtomTable atoms;
    const quint16 first = atoms.add(QStringLiteral("A00F1"));
    const quint16 second = atoms.add(QStringLiteral("A00F2"));
    EXPECT_EQ(first, AtomTable::First);
    EXPECT_EQ(second, AtomTable::First + 1);
    EXPECT_EQ(atoms.add(QStringLiteral("A00F1")), first);
    EXPECT_EQ(atoms.add(QStringLiteral("a00f1")), first);
    EXPECT_EQ(atoms.size(), 2);
    EXPECT_THROW(atoms.add(QString()), Failure);
}

TEST(AtomTableTest, RunningOutOfAtomsFails)
{
    AtomTable atoms;
    for (int i = 0; i < 0x4000; ++i)
        atoms.add(QString::number(i));
    EXPECT_EQ(atoms.add(QStringLiteral("0")), AtomTable::First);
    EXPECT_THROW(atoms.add(QStringLiteral("one too many")), Failure);
}

class ShortcutTest : public FormTest {
protected:
    ShortcutTest() { startOnSetUp = false; }

    void startWithFakeHotKeys()
    {
        auto hotKeys = std::make_unique<FakeHotKeys>();
        fake = hotKeys.get();
        app = std::make_unique<QtApplication>(&prompts, env->programFolder(), std::move(hotKeys));
        app->start();
        registeredAtStart = fake->registrations.size(); // before any event, so the tick cannot have come
        QApplication::processEvents();
    }
    void waitForFirstTick()
    {
        ASSERT_TRUE(runUntil([this] { return form().hotKeysRegistered; })) << "the timer never ticked";
    }

    FakeHotKeys *fake = nullptr;
    size_t registeredAtStart = 0;
};

TEST_F(ShortcutTest, FirstTickRegistersTheSixOnceInOrder)
{
    startWithFakeHotKeys();
    EXPECT_EQ(registeredAtStart, 0u) << "registered before the first tick";
    waitForFirstTick();
    // The timer stops after its first tick: an idle window wakes for nothing.
    runFor(100);
    EXPECT_FALSE(app->timer.isEnabled());

    const char *names[] = {"A00F1", "A00F2", "A00F3", "A00F4", "A00F5", "A00F6"};
    const int keys[] = {'N', 'O', 'S', 'A', 'W', 'Z'};
    ASSERT_EQ(fake->registrations.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(fake->registrations[i].id, globalAtoms().add(QString::fromLatin1(names[i])));
        EXPECT_GE(fake->registrations[i].id, AtomTable::First);
        EXPECT_EQ(fake->registrations[i].modifiers, HotKeyModifier::Control);
        EXPECT_EQ(fake->registrations[i].key, keys[i]);
    }
    const Form1 &f = form();
    EXPECT_EQ((std::vector<int>{f.HotKeyNew, f.HotKeyOpen, f.HotKeySave, f.HotKeySaveAs, f.HotKeyClose, f.HotKeyUndo}),
              (std::vector<int>{fake->registrations[0].id, fake->registrations[1].id, fake->registrations[2].id,
                                fake->registrations[3].id, fake->registrations[4].id, fake->registrations[5].id}));
    EXPECT_TRUE(prompts.shown.empty());

    // A second start of the program in the same session gets the same ids.
    const int newId = f.HotKeyNew;
    app.reset();
    startWithFakeHotKeys();
    waitForFirstTick();
    EXPECT_EQ(form().HotKeyNew, newId);
}

TEST_F(ShortcutTest, EachIdLeadsToTheCommandOfItsRow)
{
    startWithFakeHotKeys();
    waitForFirstTick();
    Form1 &f = form();
    const std::pair<int, void (Form1::*)()> expected[] = {
        {f.HotKeyNew, &Form1::PushButton2_Click},    {f.HotKeyOpen, &Form1::PushButton1_Click},
        {f.HotKeySave, &Form1::PushButton7_Click},   {f.HotKeySaveAs, &Form1::PushButton14_Click},
        {f.HotKeyClose, &Form1::PushButton11_Click}, {f.HotKeyUndo, &Form1::PushButton6_Click},
    };
    for (const auto &[id, handler] : expected) {
        const Command *s = findShortcut(f, id);
        ASSERT_NE(s, nullptr) << id;
        EXPECT_TRUE(s->handler == handler) << s->atomName;
    }
    EXPECT_EQ(findShortcut(f, 0), nullptr);
    EXPECT_EQ(findShortcut(f, 0x7FFF), nullptr);
}

TEST_F(ShortcutTest, NewRunsOncePerPressAndUnknownIdsRunNothing)
{
    startWithFakeHotKeys();
    // Before the first tick no id is known: even 0, which every id still holds, runs nothing.
    form().onHotKey(0);
    EXPECT_EQ(captions(), QStringList{"Untitled1.txt"});
    waitForFirstTick();

    fake->press('N');
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "Untitled2.txt"}));
    EXPECT_EQ(form().currentEditorIndex(), 1);

    // Each other row runs its own command: Open, Save and Save As ask (and are cancelled here),
    // Close closes the unchanged Untitled2.txt, Undo has nothing to take back.
    prompts.fileAnswers = {QString(), QString(), QString()};
    fake->press('O');
    ASSERT_EQ(prompts.ofKind(ShownPrompt::OpenDialog).size(), 1u);
    EXPECT_EQ(prompts.ofKind(ShownPrompt::OpenDialog)[0].text, "Select File");
    fake->press('S');
    fake->press('A');
    ASSERT_EQ(prompts.ofKind(ShownPrompt::SaveDialog).size(), 2u);
    EXPECT_EQ(prompts.ofKind(ShownPrompt::SaveDialog)[1].text, "Save [Untitled2.txt] As");
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "Untitled2.txt"}));
    fake->press('W');
    EXPECT_EQ(captions(), QStringList{"Untitled1.txt"});
    fake->press('Z');
    for (int id : {0, -1, 1, AtomTable::First - 1, 0xFFFF})
        form().onHotKey(id);
    EXPECT_EQ(captions(), QStringList{"Untitled1.txt"});
    EXPECT_EQ(prompts.shown.size(), 3u);
    EXPECT_TRUE(prompts.reports().empty());
}

TEST_F(ShortcutTest, RefusedCombinationIsIgnoredAndTheOthersWork)
{
    startWithFakeHotKeys();
    fake->refusedKey = 'O';
    waitForFirstTick();
    EXPECT_EQ(fake->registrations.size(), 6u);
    EXPECT_TRUE(prompts.shown.empty()) << "a refused registration showed a box";
    fake->press('O');
    fake->press('N');
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "Untitled2.txt"}));
    EXPECT_TRUE(prompts.shown.empty());
}

// On the offscreen platform there are no system-wide grabs: the shortcuts belong to the window.
class WindowShortcutTest : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
        ASSERT_TRUE(runUntil([this] { return form().hotKeysRegistered; }));
        ASSERT_TRUE(runUntil([this] { return QApplication::activeWindow() == &app->window; }));
    }
    // Goes through Qt's shortcut handling as a key typed by the user does. With Ctrl held a
    // letter comes with its control character as text, as the X keyboard gives it.
    void key(QWidget *target, Qt::Key k, Qt::KeyboardModifiers mods)
    {
        QString text;
        if (k >= Qt::Key_A && k <= Qt::Key_Z)
            text = QChar((mods & Qt::ControlModifier) ? k - Qt::Key_A + 1 : k - Qt::Key_A + 'a');
        QTest::sendKeyEvent(QTest::Click, target, k, text, mods);
        QApplication::processEvents();
    }
};

TEST_F(WindowShortcutTest, CtrlNInTheEditorAddsADocumentWithShiftOrAltNothing)
{
    key(current().widget(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "Untitled2.txt"}));
    key(current().widget(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    key(current().widget(), Qt::Key_N, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "Untitled2.txt"}));
    // The window itself, with no editor in between, takes it as well.
    key(&app->window, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "Untitled2.txt", "Untitled3.txt"}));
    EXPECT_TRUE(current().text().isEmpty());
}

TEST_F(WindowShortcutTest, EditorLeavesTheSixToTheWindow)
{
    std::vector<int> pressed;
    app->hotKeys->setHotKeyHandler([&](int id) { pressed.push_back(id); });
    type(current(), QStringLiteral("abc"));
    QWidget *editor = current().widget();
    for (Qt::Key k : {Qt::Key_N, Qt::Key_O, Qt::Key_S, Qt::Key_A, Qt::Key_W, Qt::Key_Z})
        key(editor, k, Qt::ControlModifier);
    const Form1 &f = form();
    EXPECT_EQ(pressed,
              (std::vector<int>{f.HotKeyNew, f.HotKeyOpen, f.HotKeySave, f.HotKeySaveAs, f.HotKeyClose, f.HotKeyUndo}));
    // Neither the editor's own select-all nor its own undo ran, and no control character was typed.
    EXPECT_EQ(current().text(), "abc");
    EXPECT_EQ(current().selLength(), 0);
    EXPECT_EQ(current().selStart(), 3);

    pressed.clear();
    key(editor, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    key(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    key(editor, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
    key(editor, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(pressed.empty());
    EXPECT_EQ(current().text(), "abc");
    app->hotKeys->setHotKeyHandler(nullptr);
}

TEST_F(ShortcutTest, GlobalShortcutsSettingChoosesWhereTheSixAct)
{
    const std::pair<QString, bool> cases[] = {
        {QString(), true}, {"1", true}, {"0", false}, {" Off ", false}, {"no", false}};
    for (const auto &[value, systemWide] : cases) {
        SCOPED_TRACE(value.toStdString());
        if (!value.isNull())
            storeSetting(QStringLiteral("GlobalShortcuts"), value);
        startWithFakeHotKeys();
        waitForFirstTick();
        ASSERT_EQ(fake->registrations.size(), 6u);
        for (const Registration &r : fake->registrations)
            EXPECT_EQ(r.systemWide, systemWide);
        app.reset();
    }
}

TEST_F(ShortcutTest, FirstPressFromAnotherApplicationAsksOnceWhereTheSixAct)
{
    startWithFakeHotKeys();
    waitForFirstTick();
    // "Only in Marquill": Close does not run, the key goes back, and the six stay with the window.
    prompts.msgAnswers = {1};
    fake->pressFromOutside('W');
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text,
              "Marquill received Ctrl+W while another application was active. Marquill's six shortcuts (Ctrl+N, O, "
              "S, A, W, Z) work in every application unless you turn this off. Keep them for every application?");
    EXPECT_EQ(prompts.shown[0].items, (QStringList{"Keep", "Only in Marquill"}));
    EXPECT_EQ(prompts.shown[0].style, 1) << "the default answer";
    EXPECT_EQ(fake->givenBack, std::vector<int>{'W'});
    EXPECT_FALSE(fake->systemWide);
    EXPECT_EQ(form().GetSetting("GlobalShortcuts", "unset"), "0");
    EXPECT_EQ(captions(), QStringList{"Untitled1.txt"});
    // Never asked again.
    fake->pressFromOutside('N');
    EXPECT_EQ(prompts.shown.size(), 1u);

    // "Keep" runs the command; a box closed without an answer runs nothing and asks again.
    app.reset();
    storeSetting(QStringLiteral("GlobalShortcuts"), QString());
    startWithFakeHotKeys();
    waitForFirstTick();
    prompts.clear();
    prompts.msgAnswers = {-1, 0};
    fake->pressFromOutside('N');
    EXPECT_EQ(captions(), QStringList{"Untitled1.txt"});
    fake->pressFromOutside('N');
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "Untitled2.txt"}));
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(form().GetSetting("GlobalShortcuts", "unset"), "1");
    EXPECT_TRUE(fake->systemWide);

    // A value already in the settings file is the answer.
    app.reset();
    storeSetting(QStringLiteral("GlobalShortcuts"), QStringLiteral("1"));
    startWithFakeHotKeys();
    waitForFirstTick();
    prompts.clear();
    fake->pressFromOutside('N');
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "Untitled2.txt"}));
}
