#pragma once

#include "dialogs/NameDialog.h"

#include <memory>

namespace Ui {
class CategoryAdd;
}

// Asks for the name of a new category ("Add Category"). The caller runs
// exec() and, when it returns QDialog::Accepted, reads m_strCategoryName
// (at most 50 characters, possibly empty).
class CCategoryAdd : public CNameDialog {
    Q_OBJECT

public:
    // The edit's control identifier; its object name is "IDC_CATEGORY_NAME".
    static constexpr int IDC_CATEGORY_NAME = 1010;

    explicit CCategoryAdd(QWidget* parent = nullptr);
    ~CCategoryAdd() override;

    QString m_strCategoryName;

private:
    std::unique_ptr<Ui::CategoryAdd> m_ui;
};
