#include "app/PendingOrder.h"

#include "app/Profile.h"
#include "dialogs/PromptService.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"

#include <QComboBox>
#include <QtDebug>

CPendingOrder::CPendingOrder(QWidget& owner, QComboBox& selector, CDDListBox& list)
    : m_owner(owner), m_selector(selector), m_list(list) {}

bool CPendingOrder::IsShown(const QString& categoryKey) const {
    return EntryLines::CategoryKey(m_shownLine).compare(categoryKey, Qt::CaseInsensitive) == 0;
}

void CPendingOrder::Shows(const QString& line) {
    m_shownLine = line;
    m_changed = false;
}

void CPendingOrder::ShownRenamed(const QString& line) {
    m_shownLine = line;
    Profile::WriteString(kCategorySetting, line);
}

QString CPendingOrder::NotStoredText(const std::exception& error) {
    return QStringLiteral("The new order of the mnemonics could not be stored: ") +
           QString::fromUtf8(error.what());
}

bool CPendingOrder::StoreBeforeSwitching() {
    if (!m_changed) {
        return true;
    }
    try {
        m_list.SaveOrder();
        m_changed = false;
        return true;
    } catch (const std::exception& error) {
        // The list still shows the category whose order is pending. Either
        // the user gives that order up and sees the other category, or the
        // selector goes back to the category the list shows, so selector
        // and list always agree and the order can be stored later.
        const QMessageBox::StandardButton answer = CPromptService::Current().ShowMessage(
            &m_owner,
            NotStoredText(error) +
                QStringLiteral("\n\nShow the other category anyway? The new order of the "
                               "mnemonics shown now will be lost."),
            kProgramCaption, QMessageBox::Yes | QMessageBox::No, CPromptService::Icon::Warning);
        if (answer == QMessageBox::Yes) {
            m_changed = false;
            return true;
        }
        SelectShownCategory();
        return false;
    }
}

void CPendingOrder::SelectShownCategory() {
    // By key: the shown category may have been renamed meanwhile.
    m_selector.setCurrentIndex(
        EntryLines::IndexOfCategory(m_selector, EntryLines::CategoryKey(m_shownLine)));
}

void CPendingOrder::StoreBeforeEnding() {
    if (!m_changed) {
        return;
    }
    // Whatever happens here, the program ends: a library that refuses the
    // order (read-only, or locked by another program) must not keep the
    // user from leaving. The failure is said once and the order given up.
    m_changed = false;
    try {
        m_list.SaveOrder();
    } catch (const std::exception& error) {
        CPromptService::Current().Tell(&m_owner, NotStoredText(error), CPromptService::Icon::Stop);
    }
}

void CPendingOrder::StoreBeforeHiding() {
    if (!m_changed) {
        return;
    }
    // A hidden palette may never be shown again before the program ends
    // (its session ends, or the client holding it ends it), so the order
    // is stored now. One the library refuses stays pending: it is stored
    // with the next change of category, or told of when the program ends.
    try {
        m_list.SaveOrder();
        m_changed = false;
    } catch (const std::exception& error) {
        qWarning("The order of the mnemonics is kept for later: %s", error.what());
    }
}

void CPendingOrder::StoreBeforeRefresh() {
    if (m_changed) {
        m_list.SaveOrder();
        m_changed = false;
    }
}
