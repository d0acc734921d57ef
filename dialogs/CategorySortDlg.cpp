#include "dialogs/CategorySortDlg.h"

#include "dialogs/DialogUnits.h"
#include "dialogs/PromptService.h"
#include "dragdrop/DragListEx.h"
#include "dragdrop/EntryLines.h"
#include "store/CategoryQry.h"
#include "store/CategoryTbl.h"
#include "store/KeyHelpers.h"
#include "store/ZOrderSave.h"
#include "ui_CategorySortDlg.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include <exception>
#include <string>

CCategorySortDlg::CCategorySortDlg(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CategorySortDlg>()) {
    m_ui->setupUi(this);
    m_ctlCategorySpin = m_ui->IDC_CATEGORY_SPIN;
    m_ctlCategoryList = m_ui->IDC_CATEGORY_LIST;
    MakeFixedFrame(this);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    // Every press of an arrow is one place; the arrows' own position is
    // never read.
    connect(m_ctlCategorySpin, &CUpDownButtons::DeltaPos, this,
            &CCategorySortDlg::OnDeltaposCategorySpin);
    FillCategoryList();
}

CCategorySortDlg::~CCategorySortDlg() = default;

void CCategorySortDlg::FillCategoryList() {
    // The entries show only the names; each keeps its whole sort line (the
    // mnemonic-line layout: name, tab at column 63, key from column 64).
    CCategoryQry categories;
    categories.Open();
    while (!categories.IsEOF()) {
        const std::string key = ExtractBracedIdentifier(categories.m_CategoryID);
        m_ctlCategoryList->addItem(EntryLines::MakeMnemonicItem(
            EntryLines::MakeMnemonicLine(categories.m_Description, key)));
        categories.MoveNext();
    }
    categories.Close();
}

void CCategorySortDlg::OnDeltaposCategorySpin(int delta, bool* refuse) {
    *refuse = true;
    const int selected = m_ctlCategoryList->currentRow();
    const int target = selected + delta;
    if (selected < 0 || !m_ctlCategoryList->item(selected)->isSelected() || target < 0 ||
        target >= m_ctlCategoryList->count()) {
        CPromptService::Current().Beep();
        return;
    }
    QListWidgetItem* entry = m_ctlCategoryList->takeItem(selected);
    m_ctlCategoryList->insertItem(target, entry);
    m_ctlCategoryList->setCurrentRow(target);
    m_bChanged = true;
    *refuse = false;
}

void CCategorySortDlg::SaveCategoryOrder() {
    std::vector<std::pair<std::string, int>> positions;
    for (int i = 0; i < m_ctlCategoryList->count(); ++i) {
        positions.emplace_back(
            EntryLines::MnemonicKey(EntryLines::LineOf(m_ctlCategoryList->item(i))).toStdString(),
            i);
    }
    CCategoryTbl table;
    table.Open();
    SaveZOrders(table, table.m_ZOrder, positions);
    table.Close();
}

void CCategorySortDlg::closeEvent(QCloseEvent* event) {
    if (m_bChanged || m_ctlCategoryList->WasDropped()) {
        try {
            SaveCategoryOrder();
        } catch (const std::exception& error) {
            // Nothing was stored: say why and stay open, so the user can
            // try again or leave with Escape.
            CPromptService::Current().Tell(this, QString::fromUtf8(error.what()),
                                           CPromptService::Icon::Stop);
            event->ignore();
            return;
        }
    }
    QDialog::closeEvent(event);
}

void CCategorySortDlg::keyPressEvent(QKeyEvent* event) {
    // Enter ends the dialog as OK would, without storing the order (there
    // is no OK button to take it); Escape is the dialog's own Cancel.
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}
