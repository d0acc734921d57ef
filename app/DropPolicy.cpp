#include "app/DropPolicy.h"

#include "app/CategoryEntryPages.h"
#include "dialogs/PromptService.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "store/DaoException.h"
#include "store/LibraryEdits.h"
#include "store/MnemonicsInCategoryQry.h"
#include "store/PhraseTbl.h"

#include <QComboBox>
#include <QTimer>

#include <exception>

namespace {

const QString kNothingAdded = QStringLiteral("\n\nNothing was added.");

QString WhyTheTextMakesNoItem(DroppedTextVerdict verdict) {
    switch (verdict) {
    case DroppedTextVerdict::Accepted:
        return {};
    case DroppedTextVerdict::Empty:
        return QStringLiteral("The dropped text is empty or only white space. "
                              "Nothing was added.");
    case DroppedTextVerdict::HoldsSeparator:
        return QStringLiteral("The dropped text contains \"|\", which an item's text "
                              "can't hold. Nothing was added.");
    case DroppedTextVerdict::HoldsNul:
        return QStringLiteral("The dropped text contains a zero character, which an "
                              "item's text can't hold. Nothing was added.");
    }
    return QStringLiteral("The dropped text can't make an item. Nothing was added.");
}

QString CategoryGoneText() {
    return QStringLiteral("The selected category is no longer in the library (another "
                          "program may have deleted it).") +
           kNothingAdded;
}

} // namespace

CDropPolicy::CDropPolicy(QWidget& palette, QComboBox& selector, CDDListBox& list,
                         std::function<bool()> listShowsCategory)
    : m_palette(palette), m_selector(selector), m_list(list),
      m_listShowsCategory(std::move(listShowsCategory)) {}

QString CDropPolicy::SelectedCategoryKey() const {
    return EntryLines::CategoryKey(EntryLines::SelectedCategoryLine(m_selector));
}

CDropDecision CDropPolicy::Decide(const QString& text) const {
    CDropDecision decision{text, {}, false, SelectedCategoryKey(), {}};
    if (m_selector.currentIndex() < 0) {
        decision.whyNot = QStringLiteral("Select a category before dropping text onto the list. "
                                         "Nothing was added.");
    } else if (text.isNull()) {
        decision.whyNot = QStringLiteral("What was dropped holds no text. Nothing was added.");
    } else {
        decision.item = MakeDroppedItem(text.toStdString());
        decision.whyNot = WhyTheTextMakesNoItem(decision.item.verdict);
        if (decision.whyNot.isEmpty()) {
            decision.whyNot = WhyTheLibraryTakesNoItem(decision.categoryKey, decision.mayFail);
        }
    }
    return decision;
}

QString CDropPolicy::WhyTheLibraryTakesNoItem(const QString& categoryKey, bool& mayFail) const {
    // Asked once as text comes over the list: what can be known now about
    // whether the library will take the item is said now, so the source is
    // never told its text moved for a drop that can't be stored.
    CPhraseTbl& table = m_list.PhraseTable();
    if (!table.IsOpen()) {
        return QStringLiteral("No library is open, so nothing can be added. Choose one with "
                              "\"Change Active Database...\" in the window menu.");
    }
    try {
        table.FollowLibrary();
        if (!table.CanAppend()) {
            return QString::fromStdString(table.ReadOnlyMessage()) + kNothingAdded;
        }
        if (!LibraryEdits::HasCategory(categoryKey.toStdString())) {
            return CategoryGoneText();
        }
        // Another program writing now would make the drop wait and fail.
        mayFail = !table.CanWriteNow();
    } catch (const CDaoException& error) {
        if (error.GetReason() == CDaoException::Reason::LibraryGone ||
            error.GetReason() == CDaoException::Reason::ReadOnly) {
            return QString::fromUtf8(error.what()) + kNothingAdded;
        }
        mayFail = true;
    }
    return {};
}

bool CDropPolicy::Take(const CDropDecision& decision) {
    // The drop is answered at once; anything to tell the user waits until
    // the program that dragged has finished its drag.
    if (!decision.whyNot.isEmpty()) {
        TellAfterDrop(decision.whyNot, false);
        return false;
    }
    try {
        if (decision.categoryKey != SelectedCategoryKey() ||
            !AddItem(decision.categoryKey, decision.item)) {
            TellAfterDrop(CategoryGoneText(), false);
            return false;
        }
        return true;
    } catch (const std::exception& error) {
        TellAfterDrop(QString::fromUtf8(error.what()), true);
    }
    return false;
}

bool CDropPolicy::Add(const QString& text) {
    const QString categoryKey = SelectedCategoryKey();
    const DroppedItem item = MakeDroppedItem(text.toStdString());
    if (categoryKey.isEmpty() || item.verdict != DroppedTextVerdict::Accepted) {
        return false;
    }
    return AddItem(categoryKey, item);
}

bool CDropPolicy::AddItem(const QString& categoryKey, const DroppedItem& item) {
    // The new item: no leading punctuation and two trailing spaces, at the
    // position after the category's last entry (the list reads the rest
    // first; while it shows found items, the category is read).
    const bool shown = m_listShowsCategory();
    CMnemonicsInCategoryQry rows;
    const int position =
        static_cast<int>(shown ? m_list.Model().Entries().size()
                               : CCategoryEntryPages(rows, categoryKey).Page(0, 0).size());
    const std::optional<std::string> key = LibraryEdits::AddItem(
        {categoryKey.toStdString(), item.mnemonic, item.data, 0, 2, position});
    if (!key) {
        return false;
    }
    if (!shown) {
        return true; // the find shows it if it finds it, when the library tells
    }
    m_list.Model().Insert(position,
                          {EntryLines::MakeMnemonicLine(item.mnemonic, *key), position, {}});
    return true;
}

void CDropPolicy::TellAfterDrop(const QString& text, bool failed) {
    const CPromptService::Icon icon =
        failed ? CPromptService::Icon::Stop : CPromptService::Icon::Information;
    QTimer::singleShot(0, &m_palette, [this, text, icon] {
        CPromptService::Current().Tell(&m_palette, text, icon);
    });
}
