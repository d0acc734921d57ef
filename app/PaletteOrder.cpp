// Storing the order the user gave the mnemonics with the sort arrows, on the
// roads that empty the list: a refused order never traps the user, nor is
// it given up without a word.
#include "app/MumbletDlg.h"

#include "dialogs/PromptService.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"

#include <QtDebug>

#include <exception>

QString CMumbletDlg::OrderNotStoredText(const std::exception& error) {
    return QStringLiteral("The new order of the mnemonics could not be stored: ") +
           QString::fromUtf8(error.what());
}

bool CMumbletDlg::StoreOrderBeforeSwitching() {
    if (!m_bOrderChanged) {
        return true;
    }
    try {
        if (m_ctlMnemonics->SaveOrder()) {
            m_bOrderChanged = false;
        }
        return true;
    } catch (const std::exception& error) {
        // The list still shows the category whose order is pending. Either
        // the user gives that order up and sees the other category, or the
        // selector goes back to the category the list shows, so selector
        // and list always agree and the order can be stored later.
        const QMessageBox::StandardButton answer = CPromptService::Current().ShowMessage(
            this,
            OrderNotStoredText(error) +
                QStringLiteral("\n\nShow the other category anyway? The new order of the "
                               "mnemonics shown now will be lost."),
            kProgramCaption, QMessageBox::Yes | QMessageBox::No, CPromptService::Icon::Warning);
        if (answer == QMessageBox::Yes) {
            m_bOrderChanged = false;
            return true;
        }
        SelectShownCategory();
        return false;
    }
}

void CMumbletDlg::SelectShownCategory() {
    // By key: the shown category may have been renamed meanwhile.
    const QString key = EntryLines::CategoryKey(m_shownCategoryLine);
    int index = -1;
    for (int i = 0; i < m_ctlCategory->count() && !key.isEmpty(); ++i) {
        if (EntryLines::CategoryKey(EntryLines::LineOf(*m_ctlCategory, i)) == key) {
            index = i;
            break;
        }
    }
    m_ctlCategory->setCurrentIndex(index);
}

void CMumbletDlg::StoreOrderBeforeEnding() {
    if (!m_bOrderChanged) {
        return;
    }
    // Whatever happens here, the program ends: a library that refuses the
    // order (read-only, or locked by another program) must not keep the
    // user from leaving. The failure is said once and the order given up.
    m_bOrderChanged = false;
    try {
        m_ctlMnemonics->SaveOrder();
    } catch (const std::exception& error) {
        CPromptService::Current().Tell(this, OrderNotStoredText(error), CPromptService::Icon::Stop);
    }
}

void CMumbletDlg::StoreOrderBeforeHiding() {
    if (!m_bOrderChanged) {
        return;
    }
    // A hidden palette may never be shown again before the program ends
    // (its session ends, or the client holding it ends it), so the order
    // is stored now. One the library refuses stays pending: it is stored
    // with the next change of category, or told of when the program ends.
    try {
        if (m_ctlMnemonics->SaveOrder()) {
            m_bOrderChanged = false;
        }
    } catch (const std::exception& error) {
        qWarning("The order of the mnemonics is kept for later: %s", error.what());
    }
}
