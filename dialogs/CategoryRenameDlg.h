#pragma once

#include "dialogs/NameDialog.h"

#include <memory>

namespace Ui {
class CategoryRenameDlg;
}

// Edits a category's name ("Rename Category"). The caller puts the
// current name into m_strDescription, runs exec() and, when it returns
// QDialog::Accepted, reads the new name (at most 50 characters, possibly
// empty) from m_strDescription.
class CCategoryRenameDlg : public CNameDialog {
    Q_OBJECT

public:
    // The edit's control identifier; its object name is "IDC_DESCRIPTION".
    static constexpr int IDC_DESCRIPTION = 1013;

    explicit CCategoryRenameDlg(QWidget* parent = nullptr);
    ~CCategoryRenameDlg() override;

    QString m_strDescription;

private:
    std::unique_ptr<Ui::CategoryRenameDlg> m_ui;
};
