#include "dialogs/NameDialog.h"

#include "dialogs/DialogUnits.h"
#include "dialogs/NameLimit.h"

#include <QLineEdit>
#include <QShowEvent>

CNameDialog::CNameDialog(QWidget* parent) : QDialog(parent) {}

void CNameDialog::BindName(QLineEdit* edit, QString* name) {
    m_edit = edit;
    m_name = name;
    LimitToNameLength(edit);
    MakeFixedFrame(this);
}

void CNameDialog::accept() {
    if (m_edit != nullptr && m_name != nullptr) {
        *m_name = m_edit->text();
    }
    QDialog::accept();
}

void CNameDialog::showEvent(QShowEvent* event) {
    // The window system's own shows (a restore) leave the edit as it is.
    if (!event->spontaneous() && m_edit != nullptr && m_name != nullptr) {
        SetNameText(m_edit, *m_name);
        m_edit->selectAll();
        m_edit->setFocus();
    }
    QDialog::showEvent(event);
}
