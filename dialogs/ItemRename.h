#pragma once

#include "dialogs/NameDialog.h"

#include <memory>

namespace Ui {
class ItemRename;
}

// Asks for an item's new mnemonic ("Rename Mnemonic"). The caller puts the
// current mnemonic into m_strMnemonic, runs exec() and, when it returns
// QDialog::Accepted, reads the new one (at most 50 characters, possibly
// empty) from m_strMnemonic.
class CItemRename : public CNameDialog {
    Q_OBJECT

public:
    // The edit's control identifier; its object name is "IDC_DESCRIPTION".
    static constexpr int IDC_DESCRIPTION = 1013;

    explicit CItemRename(QWidget* parent = nullptr);
    ~CItemRename() override;

    QString m_strMnemonic;

private:
    std::unique_ptr<Ui::ItemRename> m_ui;
};
