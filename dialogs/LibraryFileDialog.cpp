#include "dialogs/LibraryFileDialog.h"

#include "store/LibraryLocation.h"

#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

CLibraryFileDialog::CLibraryFileDialog(QWidget* owner) : QFileDialog(owner) {
    // The desktop's dialogs know nothing of server addresses.
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    setLabelText(QFileDialog::FileName, QStringLiteral("File &name or server address:"));
    m_fileName = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (m_fileName != nullptr) {
        m_fileName->setToolTip(
            QStringLiteral("A library file, or a library on a PostgreSQL server given by its "
                           "address: postgresql://user@host:port/database"));
        m_fileName->setPlaceholderText(QStringLiteral("file.blz or postgresql://host/database"));
        // Connected after the dialog's own handlers, which disable Open for
        // a name that is no existing file.
        connect(m_fileName, &QLineEdit::textChanged, this,
                &CLibraryFileDialog::EnableOpenForAddress);
        m_fileName->installEventFilter(this);
    }
}

QString CLibraryFileDialog::ChosenLibrary() const {
    if (!m_address.isEmpty()) {
        return m_address;
    }
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.constFirst();
}

void CLibraryFileDialog::accept() {
    const QString address = TypedAddress();
    if (address.isEmpty()) {
        m_address.clear();
        QFileDialog::accept();
        return;
    }
    m_address = address;
    QDialog::accept(); // past the file dialog's checks for an existing file
}

bool CLibraryFileDialog::eventFilter(QObject* watched, QEvent* event) {
    // Enter takes an address even while the dialog's own state keeps Open
    // disabled (it updates that whenever the folder shown changes).
    if (watched == m_fileName && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !TypedAddress().isEmpty()) {
            accept();
            return true;
        }
    }
    return QFileDialog::eventFilter(watched, event);
}

QString CLibraryFileDialog::TypedAddress() const {
    if (m_fileName == nullptr) {
        return {};
    }
    const QString text = m_fileName->text().trimmed();
    return CLibraryLocation::IsServerAddress(text.toStdString()) ? text : QString();
}

void CLibraryFileDialog::EnableOpenForAddress() {
    if (TypedAddress().isEmpty()) {
        return;
    }
    if (auto* buttons = findChild<QDialogButtonBox*>()) {
        if (QPushButton* open = buttons->button(QDialogButtonBox::Open)) {
            open->setEnabled(true);
        }
    }
}
