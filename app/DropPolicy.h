#pragma once

#include "dragdrop/DropDecision.h"

#include <QString>

#include <functional>

class CDDListBox;
class QComboBox;
class QWidget;

// Text dropped onto the palette's list from another program: whether it
// can become an item of the selected category (decided as it enters the
// list, so no source is told its text moved for nothing), the new item
// itself, and what the user is told once the drag is over.
class CDropPolicy {
public:
    // `listShowsCategory`: whether the list shows the selected category's
    // entries (and not found items), so a new item joins them.
    CDropPolicy(QWidget& palette, QComboBox& selector, CDDListBox& list,
                std::function<bool()> listShowsCategory);

    CDropDecision Decide(const QString& text) const;
    // Adds the decided item at the end of the list. Never throws; false
    // when nothing was added, and the reason is told after the drop.
    bool Take(const CDropDecision& decision);
    // Adds `text` as a new item at the end of the selected category's list.
    // False when no category is selected, or it is gone, or the text is
    // one an item can't hold. Database errors are thrown.
    bool Add(const QString& text);
    // Tells `text` once the drag that dropped onto the list has finished.
    void TellAfterDrop(const QString& text, bool failed);

private:
    QString SelectedCategoryKey() const;
    // What can be known now about whether the library will take an item;
    // sets `mayFail` when its state is in doubt.
    QString WhyTheLibraryTakesNoItem(const QString& categoryKey, bool& mayFail) const;
    bool AddItem(const QString& categoryKey, const DroppedItem& item);

    QWidget& m_palette;
    QComboBox& m_selector;
    CDDListBox& m_list;
    std::function<bool()> m_listShowsCategory;
};
