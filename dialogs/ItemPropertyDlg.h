#pragma once

#include "dialogs/ItemVerbiage.h"

#include <QDialog>
#include <QPointer>
#include <QString>

#include <memory>

class QButtonGroup;
class CHint;

namespace Ui {
class ItemPropertyDlg;
}

// The item editor: one item's mnemonic, its iterations with their weights
// and its default punctuation. It writes the row itself when the user
// presses OK (exec() then returns Accepted); Cancel writes nothing.
//
// The caller constructs it, sets the phrase key (empty for a new item),
// the caption and, for a new item, the category, runs exec() and after
// Accepted reads m_strMnemonic and GetPhraseID().
class CItemPropertyDlg : public QDialog {
    Q_OBJECT

public:
    // Opens the editor's table on the active library (throws the store's
    // exception when it can't).
    CItemPropertyDlg(QWidget* parent, bool bNewItem);
    ~CItemPropertyDlg() override;

    void SetPhraseID(const QString& id);
    void SetCaption(const QString& caption);
    void SetCategoryID(const QString& id);
    // The braced identifier of the row added or edited (after OK).
    QString GetPhraseID() const;

    // The hint window, once the Hint button has been pressed.
    CHint* Hint() const { return m_pHint; }

    // The mnemonic as saved.
    QString m_strMnemonic;
    int m_nLeadingPunctuation = -1;
    int m_nTrailingPunctuation = -1;

public slots:
    void accept() override;
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void UpdateData(bool saveAndValidate);
    void OnHint();
    void Refused(const QString& text);
    // The row changed in the library since the editor read it: asks
    // whether to store over that change; if not, shows the stored row.
    bool StoreOverOtherChange();

    std::unique_ptr<Ui::ItemPropertyDlg> m_ui;
    QButtonGroup* m_leading;
    QButtonGroup* m_trailing;
    QString m_strCategoryID;
    bool m_bNewItem;
    bool m_bInitialized = false;
    CHint* m_pHint = nullptr;
    QString m_strCaption;
    CItemVerbiage m_verbiage;
};
