// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

// The tab strip: tabs by position, each with a caption and a stored 16-bit integer.
class TabStrip {
public:
    virtual ~TabStrip() = default;

    // A position at or beyond count() puts the tab after all others. Returns its position.
    virtual int insertTab(int position, const QString &caption) = 0;
    virtual int count() const = 0;
    virtual int selectedPosition() const = 0; // -1 when there is no tab
    virtual void select(int position) = 0;
    virtual QString caption(int position) const = 0;
    virtual void setCaption(int position, const QString &caption) = 0;
    virtual qint16 itemData(int position) const = 0; // 0 when never written
    virtual void setItemData(int position, qint16 value) = 0;
    virtual void setTabVisible(int position, bool visible) = 0;
    virtual void removeTab(int position) = 0;
    virtual void removeAll() = 0;

    virtual double left() const = 0;
    virtual double top() const = 0;
    virtual double width() const = 0;
    virtual double height() const = 0;
    virtual void setWidth(double twips) = 0;
    virtual void setHeight(double twips) = 0;

    // Raised synchronously with the position of the newly selected tab, for a user's click
    // and for select() alike.
    void setSelectionHandler(std::function<void(int)> handler) { onSelected_ = std::move(handler); }

    // Asked for a tab's tooltip each time it is about to show, so it is never out of date.
    void setToolTipHandler(std::function<QString(int)> handler) { toolTipOf_ = std::move(handler); }

    // A tab's close button, a middle click on it, or its menu's Close: raised with its position.
    void setCloseHandler(std::function<void(int)> handler) { onClose_ = std::move(handler); }
    // The tab menu's Close Others: raised with the position of the tab that stays.
    void setCloseOthersHandler(std::function<void(int)> handler) { onCloseOthers_ = std::move(handler); }
    // Asked for the file of a tab's document, "" for an untitled one (the tab menu's Copy Path
    // and Open Containing Folder).
    void setPathHandler(std::function<QString(int)> handler) { pathOf_ = std::move(handler); }

protected:
    void notifySelected(int position)
    {
        if (onSelected_)
            onSelected_(position);
    }
    QString toolTipOf(int position) const { return toolTipOf_ ? toolTipOf_(position) : QString(); }
    void notifyClose(int position)
    {
        if (onClose_)
            onClose_(position);
    }
    void notifyCloseOthers(int position)
    {
        if (onCloseOthers_)
            onCloseOthers_(position);
    }
    QString pathOf(int position) const { return pathOf_ ? pathOf_(position) : QString(); }

private:
    std::function<void(int)> onSelected_;
    std::function<QString(int)> toolTipOf_;
    std::function<void(int)> onClose_;
    std::function<void(int)> onCloseOthers_;
    std::function<QString(int)> pathOf_;
};
