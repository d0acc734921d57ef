#include "dialogs/ItemPropertyDlg.h"

#include "dialogs/NameLimit.h"

#include "dialogs/DialogUnits.h"
#include "dialogs/GroupShortcut.h"
#include "dialogs/Hint.h"
#include "dialogs/ItemEditorFields.h"
#include "dialogs/PromptService.h"
#include "store/DaoException.h"
#include "ui_ItemPropertyDlg.h"

#include <QButtonGroup>
#include <QRadioButton>

namespace {

// Put the buttons of one punctuation group into a button group, numbered
// by their punctuation code.
QButtonGroup* MakeGroup(QObject* owner, std::initializer_list<QRadioButton*> buttons) {
    auto* group = new QButtonGroup(owner);
    int code = 0;
    for (QRadioButton* button : buttons) {
        group->addButton(button, code++);
    }
    return group;
}

void CheckCode(QButtonGroup* group, int code) {
    if (QAbstractButton* button = group->button(code)) {
        button->setChecked(true);
        return;
    }
    // No button for this code: none is checked.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) {
        button->setChecked(false);
    }
    group->setExclusive(true);
}

} // namespace

CItemPropertyDlg::CItemPropertyDlg(QWidget* parent, bool bNewItem)
    : QDialog(parent), m_ui(std::make_unique<Ui::ItemPropertyDlg>()), m_bNewItem(bNewItem) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    m_ui->IDC_ITERATION_SPIN->SetOrientation(Qt::Horizontal);
    m_leading = MakeGroup(this, {m_ui->IDC_LEADING_NONE, m_ui->IDC_LEADING_SPACE,
                                 m_ui->IDC_LEADING_DOUBLE_SPACE, m_ui->IDC_LEADING_CR,
                                 m_ui->IDC_LEADING_DOUBLE_CR});
    m_trailing = MakeGroup(this, {m_ui->IDC_TRAILING_NONE, m_ui->IDC_TRAILING_SPACE,
                                  m_ui->IDC_TRAILING_DOUBLE_SPACE, m_ui->IDC_TRAILING_CR,
                                  m_ui->IDC_TRAILING_DOUBLE_CR});
    new CGroupShortcut(m_ui->IDC_LEADING_GROUP, m_leading);
    new CGroupShortcut(m_ui->IDC_TRAILING_GROUP, m_trailing);
    LimitToNameLength(m_ui->IDC_MNEMONIC);
    m_verbiage.Bind({this, m_ui->IDC_MNEMONIC, m_ui->IDC_DESCRIPTION, m_ui->IDC_ITERATION_SPIN,
                     m_ui->IDC_ITERATION_NUMBER, m_ui->IDC_WEIGHT, m_ui->IDC_CHANCE});
    connect(m_ui->IDOK, &QPushButton::clicked, this, &CItemPropertyDlg::accept);
    connect(m_ui->IDCANCEL, &QPushButton::clicked, this, &CItemPropertyDlg::reject);
    connect(m_ui->IDC_HINT, &QPushButton::clicked, this, &CItemPropertyDlg::OnHint);
    connect(m_ui->IDC_ITERATION_SPIN, &CUpDownButtons::DeltaPos, this,
            [this](int delta, bool* refuse) { m_verbiage.OnDeltaposIteration(delta, refuse); });
    connect(m_ui->IDC_DESCRIPTION, &QPlainTextEdit::textChanged, this,
            [this] { m_verbiage.UpdateChance(); });
    connect(m_ui->IDC_WEIGHT, &QComboBox::currentIndexChanged, this,
            [this] { m_verbiage.UpdateChance(); });
    FitFormToFont(this);
}

CItemPropertyDlg::~CItemPropertyDlg() {
    delete m_pHint;
}

void CItemPropertyDlg::SetPhraseID(const QString& id) {
    m_verbiage.SetPhraseID(id.toStdString());
}

void CItemPropertyDlg::SetCaption(const QString& caption) {
    m_strCaption = caption;
}

void CItemPropertyDlg::SetCategoryID(const QString& id) {
    m_strCategoryID = id;
}

QString CItemPropertyDlg::GetPhraseID() const {
    return QString::fromStdString(m_verbiage.GetSavedID());
}

void CItemPropertyDlg::showEvent(QShowEvent* event) {
    if (!m_bInitialized) {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CItemPropertyDlg::OnInitDialog() {
    UpdateData(false);
    setWindowTitle(m_strCaption);
    m_verbiage.SetCategoryID(m_strCategoryID.toStdString());
    if (m_bNewItem) {
        m_ui->IDC_WEIGHT->setCurrentIndex(0);
        m_nLeadingPunctuation = 0;
        m_nTrailingPunctuation = 2;
        m_verbiage.MarkNew();
        UpdateData(false);
        m_verbiage.UpdateChance();
    } else {
        m_verbiage.Load();
    }
    m_ui->IDC_MNEMONIC->setFocus();
}

void CItemPropertyDlg::UpdateData(bool saveAndValidate) {
    if (saveAndValidate) {
        m_strMnemonic = m_ui->IDC_MNEMONIC->text();
        m_nLeadingPunctuation = m_leading->checkedId();
        m_nTrailingPunctuation = m_trailing->checkedId();
    } else {
        SetNameText(m_ui->IDC_MNEMONIC, m_strMnemonic);
        CheckCode(m_leading, m_nLeadingPunctuation);
        CheckCode(m_trailing, m_nTrailingPunctuation);
    }
}

bool CItemPropertyDlg::event(QEvent* event) {
    if (event->type() == CSetPunctuationEvent::EventType()) {
        const auto* punctuation = static_cast<CSetPunctuationEvent*>(event);
        m_nLeadingPunctuation = punctuation->leading;
        m_nTrailingPunctuation = punctuation->trailing;
        UpdateData(false);
        return true;
    }
    return QDialog::event(event);
}

void CItemPropertyDlg::Refused(const QString& text) {
    CPromptService::Current().Tell(this, text, CPromptService::Icon::Stop);
}

void CItemPropertyDlg::accept() {
    UpdateData(true);
    // What can't be stored is refused before anything changes, and the
    // editor stays open with the user's text.
    if (CDescriptionEdit::HoldsSeparator(m_ui->IDC_DESCRIPTION->toPlainText())) {
        Refused(tr("An iteration's text can't contain the character \"|\": it separates the "
                   "iterations in the library. Remove it, then press OK again."));
        return;
    }
    if (!m_verbiage.CanWrite()) {
        Refused(QString::fromStdString(m_verbiage.ReadOnlyText()));
        return;
    }
    if (!m_bNewItem && (!m_verbiage.RowFound() || !m_verbiage.FindRowAgain())) {
        Refused(tr("This item is no longer in the library: another program deleted it. "
                   "Nothing was saved."));
        return;
    }
    if (!m_bNewItem && m_verbiage.ChangedSinceLoad() && !StoreOverOtherChange()) {
        return;
    }
    // A code outside the buttons' range that the user left alone stays
    // as it was stored.
    const bool keepLeading = !m_bNewItem && m_nLeadingPunctuation < 0;
    const bool keepTrailing = !m_bNewItem && m_nTrailingPunctuation < 0;
    m_verbiage.m_nLeading = keepLeading ? m_verbiage.m_nStoredLeading
                                        : static_cast<std::int16_t>(m_nLeadingPunctuation);
    m_verbiage.m_nTrailing = keepTrailing ? m_verbiage.m_nStoredTrailing
                                          : static_cast<std::int16_t>(m_nTrailingPunctuation);
    try {
        m_verbiage.SaveShown();
    } catch (const CDaoException& error) {
        // The store's words; the editor stays as it was, so the user can
        // try again or cancel.
        Refused(QString::fromStdString(error.what()));
        return;
    }
    UpdateData(true);
    QDialog::accept();
}

bool CItemPropertyDlg::StoreOverOtherChange() {
    const QMessageBox::StandardButton answer = CPromptService::Current().ShowMessage(
        this,
        tr("This item was changed in the library after you opened it (by another palette, "
           "perhaps).\n\nStore your version over that change? Yes stores yours; No shows the "
           "item as it is stored now, in place of your changes."),
        kProgramCaption, QMessageBox::Yes | QMessageBox::No, CPromptService::Icon::Question);
    if (answer == QMessageBox::Yes) {
        return true;
    }
    m_verbiage.Load();
    return false;
}

void CItemPropertyDlg::done(int result) {
    if (m_pHint != nullptr) {
        m_pHint->hide();
    }
    QDialog::done(result);
}

void CItemPropertyDlg::OnHint() {
    if (m_pHint != nullptr) {
        m_pHint->showNormal();
        m_pHint->raise();
        m_pHint->activateWindow();
        return;
    }
    m_pHint = new CHint(this);
    m_pHint->SetText(CHint::ItemEditorText());
    m_pHint->show();
}
