// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/tabstrip.h"

#include <QFrame>

class QTabBar;

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
    QTabBar *bar() const { return bar_; }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void place();
    void checkPosition(int position) const;

    QFrame *frame_;
    QTabBar *bar_;
    double left_ = 120, top_ = 1125, width_ = 11865, height_ = 7920;
    int quiet_ = 0; // selection changes made by insert and remove raise no event
};
