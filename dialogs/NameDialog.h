#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

// What the small name dialogs share (the new category's name, a category's
// new name, an item's new mnemonic): one edit holding at most kNameLength
// characters, exchanged with a public string of the derived dialog. The
// edit shows the string when the dialog is shown; OK copies the edit back
// into the string, and only OK.
class CNameDialog : public QDialog {
    Q_OBJECT

public:
    // Copies the edit into the bound string, then ends the dialog with
    // QDialog::Accepted. A longer name than kNameLength given to the
    // dialog comes back whole unless the user shortened it.
    void accept() override;

protected:
    explicit CNameDialog(QWidget* parent);

    // Called by the derived constructor once its form is set up.
    void BindName(QLineEdit* edit, QString* name);

    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_edit = nullptr;
    QString* m_name = nullptr;
};
