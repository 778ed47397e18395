// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTabBar>
#include <functional>

class QMenu;
class QToolButton;

// The tab row of the tab strip. A tab is no wider than MaxTabChars average characters: a longer
// name is shortened in its middle, where two names of one family differ least often. A middle
// click asks to close the tab under the pointer, as its close button does.
class DocumentTabBar : public QTabBar {
    Q_OBJECT
public:
    static constexpr int MaxTabChars = 24;

    explicit DocumentTabBar(QWidget *parent);

    // The full width every visible tab would take side by side, scroll buttons aside.
    int wantedWidth() const;

signals:
    void closeClicked(int position);                    // a middle click on a tab
    void menuRequested(int position, QPoint globalPos); // a right click on a tab
    void layoutChanged();                               // tabs came, went, moved or changed size

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override;
    void tabLayoutChange() override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;

private:
    int middlePressed_ = -1; // the tab a middle button went down on
};

// The menu of a tab: Close, Close Others, Copy Path, Open Containing Folder. `path` is the file
// of the tab's document, "" for an untitled one, which has neither path nor folder to offer.
// Returns the item picked, or None.
enum class TabMenuItem { None, Close, CloseOthers, CopyPath, OpenFolder };
void fillTabMenu(QMenu &menu, const QString &path, bool othersExist);
TabMenuItem pickedTabMenuItem(const QAction *picked);

// Copy Path and Open Containing Folder, with a path whose bytes that are no UTF-8 are kept as
// U+DC80..U+DCFF: the clipboard gets the text as the user reads it, the file manager the bytes.
void copyPathToClipboard(const QString &path);
void openContainingFolder(const QString &path);
