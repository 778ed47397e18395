// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/tabstrip.h"

#include <QFrame>

class QTabBar;
class QMenu;
class QToolButton;
class DocumentTabBar;

// The tab strip: a framed area holding a QTabBar along its top; the editors are its children.
class QtTabStrip : public QObject, public TabStrip {
    Q_OBJECT
public:
    explicit QtTabStrip(QWidget *window);

    int insertTab(int position, const QString &caption) override;
    int count() const override;
    int selectedPosition() const override;
    void select(int position) override;
    QString caption(int position) const override;
    void setCaption(int position, const QString &caption) override;
    qint16 itemData(int position) const override;
    void setItemData(int position, qint16 value) override;
    void setTabVisible(int position, bool visible) override;
    void removeTab(int position) override;
    void removeAll() override;
    double left() const override { return left_; }
    double top() const override { return top_; }
    double width() const override { return width_; }
    double height() const override { return height_; }
    void setWidth(double twips) override;
    void setHeight(double twips) override;

    QFrame *frame() const { return frame_; }
    QTabBar *bar() const;
    QToolButton *listButton() const { return list_; } // shown when the tabs do not fit
    QMenu *listMenu() const { return listMenu_; }     // its menu: every tab, the selected one checked

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void place();
    void placeBar(); // the tab row, and the list button at its end while the tabs do not fit
    void checkPosition(int position) const;
    void showTabMenu(int position, QPoint globalPos);
    void fillListMenu();

    QFrame *frame_;
    DocumentTabBar *bar_;
    QToolButton *list_;
    QMenu *listMenu_;
    double left_ = 120, top_ = 1125, width_ = 11865, height_ = 7920;
    int quiet_ = 0; // selection changes made by insert and remove raise no event
};
