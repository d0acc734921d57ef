#include "app/PaletteFind.h"

#include "app/FoundEntryPages.h"
#include "dragdrop/DDListBox.h"
#include "engine/FindWords.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QtDebug>

#include <algorithm>
#include <exception>

CPaletteFind::CPaletteFind(QLineEdit& field, CDDListBox& list, QWidget& arrows, Steps steps)
    : QObject(&field), m_field(field), m_list(list), m_arrows(arrows), m_steps(std::move(steps)) {
    connect(&m_field, &QLineEdit::textChanged, this, &CPaletteFind::OnTextChanged);
    m_field.installEventFilter(this);
}

void CPaletteFind::SetFinding(bool finding) {
    m_finding = finding;
    m_arrows.setEnabled(!finding);
}

void CPaletteFind::OnTextChanged(const QString& text) {
    const bool words = !CFindWords(text.toStdString()).IsEmpty();
    if (!words) {
        if (m_finding) {
            SetFinding(false);
            m_steps.showCategory();
        }
        return;
    }
    if (!m_finding) {
        if (!m_steps.leaveCategory()) {
            // The user keeps the order not yet stored, and the entries.
            const QSignalBlocker quiet(&m_field);
            m_field.clear();
            return;
        }
        SetFinding(true);
    }
    ShowFound(0);
}

void CPaletteFind::ShowFound(int atLeast) {
    try {
        m_list.Model().Show(std::make_unique<CFoundEntryPages>(m_field.text().toStdString()),
                            atLeast);
    } catch (const std::exception& error) {
        // A keystroke puts no message in front of the user: the list shows
        // nothing found, and the next keystroke or change tries again.
        qWarning("The find could not be read: %s", error.what());
    }
}

void CPaletteFind::Clear(bool showCategory) {
    if (!m_finding) {
        const QSignalBlocker quiet(&m_field);
        m_field.clear();
        return;
    }
    {
        const QSignalBlocker quiet(&m_field);
        m_field.clear();
    }
    SetFinding(false);
    if (showCategory) {
        m_steps.showCategory();
    }
}

void CPaletteFind::Refresh() {
    if (!m_finding) {
        return;
    }
    auto pages = std::make_unique<CFoundEntryPages>(m_field.text().toStdString());
    const int asked = std::max(m_list.count(), CMnemonicModel::kPageSize);
    try {
        std::vector<MnemonicEntry> found = pages->Page(0, asked);
        const bool complete = static_cast<int>(found.size()) < asked;
        m_list.Reshow(std::move(pages), std::move(found), complete);
    } catch (const std::exception& error) {
        qWarning("The find could not be read again: %s", error.what());
    }
}

bool CPaletteFind::eventFilter(QObject* watched, QEvent* event) {
    // Escape empties a field that holds text; in an empty field it does
    // what it does anywhere in the palette.
    if (watched == &m_field && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !m_field.text().isEmpty()) {
        m_field.clear();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
