#include "dialogs/Hint.h"

#include "dialogs/ItemEditorFields.h"
#include "ui_Hint.h"

#include <QKeyEvent>

CHint::CHint(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::Hint>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
}

CHint::~CHint() = default;

void CHint::SetText(const QString& text) {
    m_strText = text;
    m_ui->IDC_HINT_TEXT->setPlainText(m_strText);
    m_ui->IDC_HINT_TEXT->CaretToStart();
}

QString CHint::Text() const {
    return m_ui->IDC_HINT_TEXT->toPlainText();
}

void CHint::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_ui->IDC_HINT_TEXT->setFocus();
    m_ui->IDC_HINT_TEXT->CaretToStart();
}

void CHint::keyPressEvent(QKeyEvent* event) {
    // Enter hides the window as Escape does; a dialog without buttons
    // would otherwise ignore it.
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

QString CHint::ItemEditorText() {
    return tr("In this window, define a mnemonic to appear in the main phrase item list.  It can "
              "be up to 50 characters.  Enter more than one iteration for the text randomization "
              "choices.  You should make each randomization have identical punctuation and "
              "grammar requirements.  1)  If you are defining complete sentences, please include "
              "a period.  2)  If you are entering sentence fragments, each fragment should have "
              "similar grammar properties.  3)  If you are entering paragraphs, you should "
              "consider a leading carriage return or double carriage return to prevent the "
              "paragraph from starting in an unwanted section.");
}
