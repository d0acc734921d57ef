#include "dialogs/CategoryAdd.h"

#include "ui_CategoryAdd.h"

CCategoryAdd::CCategoryAdd(QWidget* parent)
    : CNameDialog(parent), m_ui(std::make_unique<Ui::CategoryAdd>()) {
    m_ui->setupUi(this);
    BindName(m_ui->IDC_CATEGORY_NAME, &m_strCategoryName);
}

CCategoryAdd::~CCategoryAdd() = default;
