#pragma once

#include <QDialog>

#include <memory>

class CDragListEx;
class CUpDownButtons;

namespace Ui {
class CategorySortDlg;
}

// Puts the categories into a new order ("Category Sort"). The list shows
// every category in its stored order (each entry's line keeps the key out
// of view, from column 64); the vertical arrows move the selected entry one
// place, and entries can be dragged to a new place. A close request (the
// close box, Alt+F4) stores the order when an arrow moved something or a
// drag was dropped in the list; Escape and Enter end the dialog and discard
// it. The caller runs exec() and ignores its result.
class CCategorySortDlg : public QDialog {
    Q_OBJECT

public:
    // Control identifiers; the object names are "IDC_CATEGORY_SPIN" and
    // "IDC_CATEGORY_LIST".
    static constexpr int IDC_CATEGORY_SPIN = 1036;
    static constexpr int IDC_CATEGORY_LIST = 1004;

    // Fills the list from the library; throws CDaoException when it can't
    // be read.
    explicit CCategorySortDlg(QWidget* parent = nullptr);
    ~CCategorySortDlg() override;

    // Stores every entry's position as its category's ZOrder (0 for the top
    // entry), in one transaction that writes only the rows whose ZOrder
    // changes; an entry whose category is gone is skipped. All or nothing:
    // throws CDaoException and stores nothing when the library refuses.
    void SaveCategoryOrder();

    // Whether an arrow has moved an entry.
    bool Changed() const { return m_bChanged; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FillCategoryList();
    void OnDeltaposCategorySpin(int delta, bool* refuse);

    std::unique_ptr<Ui::CategorySortDlg> m_ui;
    CUpDownButtons* m_ctlCategorySpin;
    CDragListEx* m_ctlCategoryList;
    bool m_bChanged = false;
};
