#pragma once

#include <QFileDialog>
#include <QString>

class QLineEdit;

// Qt's own (never the desktop's) file-open dialog for choosing a library:
// an existing file, or a library on a PostgreSQL server whose address
// ("postgresql://..." or "postgres://...") the user types into the file
// name. Such an address is given back as typed: the dialog would take it
// for a file name relative to the folder shown and refuse it as missing.
class CLibraryFileDialog : public QFileDialog {
    Q_OBJECT

public:
    explicit CLibraryFileDialog(QWidget* owner = nullptr);

    // After an accepted run: the address typed, or else the chosen file.
    QString ChosenLibrary() const;

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The server address in the file name field, or empty.
    QString TypedAddress() const;
    // Open stays pressable while the field holds an address.
    void EnableOpenForAddress();

    QLineEdit* m_fileName = nullptr;
    QString m_address;
};
