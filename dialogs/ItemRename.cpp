#include "dialogs/ItemRename.h"

#include "ui_ItemRename.h"

CItemRename::CItemRename(QWidget* parent)
    : CNameDialog(parent), m_ui(std::make_unique<Ui::ItemRename>()) {
    m_ui->setupUi(this);
    BindName(m_ui->IDC_DESCRIPTION, &m_strMnemonic);
}

CItemRename::~CItemRename() = default;
