// SPDX-License-Identifier: GPL-3.0-or-later
#include "testenv.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Answers the modal dialogs and popups of the real Qt prompts from inside their event loops.
class Answerer {
public:
    explicit Answerer(std::function<void(QWidget *)> answer) : answer_(std::move(answer))
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget *w = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                               : QApplication::activeModalWidget())
                answer_(w);
        });
        timer_.start();
    }

private:
    std::function<void(QWidget *)> answer_;
    QTimer timer_;
};

} // namespace

TEST(QtPrompts, SearchTextWithMarkupShowsAsTypedInTheNoMatchNotice)
{
    TempEnv env;
    QtApplication app(nullptr, env.programFolder());
    app.start();
    QStringList shown;
    std::vector<Qt::TextFormat> formats;
    Answerer answerer([&](QWidget *w) {
        if (auto *input = qobject_cast<QInputDialog *>(w)) {
            formats.push_back(input->findChild<QLabel *>()->textFormat());
            input->setTextValue(QStringLiteral("<b>"));
            input->accept();
        } else if (auto *box = qobject_cast<QMessageBox *>(w)) {
            formats.push_back(box->textFormat());
            shown << box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))->text();
            box->button(QMessageBox::Ok)->click();
        }
    });
    app.form->PushButton3_Click();
    EXPECT_EQ(shown, QStringList{QStringLiteral("No match is found for the string '<b>'")});
    EXPECT_EQ(formats, (std::vector<Qt::TextFormat>{Qt::PlainText, Qt::PlainText}));
}

TEST(QtPrompts, AmpersandsShowAsTypedInTabsAndTheRecentFilesMenu)
{
    TempEnv env;
    QtApplication app(nullptr, env.programFolder());
    app.start();
    const QString ampersand = env.writeFile(QStringLiteral("R&D.txt"), "x");
    const QString backslash = env.writeFile(QStringLiteral("back\\slash.txt"), "y");
    app.form->OpenFile(ampersand, false);
    app.form->OpenFile(backslash, false);
    const auto *bar = app.window.findChild<QTabBar *>(QStringLiteral("TabControl1Tabs"));
    ASSERT_NE(bar, nullptr);
    // The logic sees the file names; the bar shows them with "&" doubled, which Qt shows as "&".
    EXPECT_EQ(app.tabs.caption(1), "R&D.txt");
    EXPECT_EQ(bar->tabText(1), "R&&D.txt");
    EXPECT_EQ(app.tabs.caption(2), "back\\slash.txt");
    app.tabs.setCaption(1, QStringLiteral("R&D.txt*"));
    EXPECT_EQ(app.tabs.caption(1), "R&D.txt*");
    EXPECT_EQ(bar->tabText(1), "R&&D.txt*");

    QStringList items;
    Answerer answerer([&](QWidget *w) {
        if (auto *menu = qobject_cast<QMenu *>(w)) {
            for (const QAction *a : menu->actions())
                items << a->text();
            menu->close();
        }
    });
    EXPECT_EQ(app.qtPrompts.popupMenu({QStringLiteral("R&D.txt"), QStringLiteral("a&&b")}, 0, 0), -1);
    EXPECT_EQ(items, (QStringList{"R&&D.txt", "a&&&&b"}));
}
