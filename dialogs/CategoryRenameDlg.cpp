#include "dialogs/CategoryRenameDlg.h"

#include "ui_CategoryRenameDlg.h"

CCategoryRenameDlg::CCategoryRenameDlg(QWidget* parent)
    : CNameDialog(parent), m_ui(std::make_unique<Ui::CategoryRenameDlg>()) {
    m_ui->setupUi(this);
    BindName(m_ui->IDC_DESCRIPTION, &m_strDescription);
}

CCategoryRenameDlg::~CCategoryRenameDlg() = default;
