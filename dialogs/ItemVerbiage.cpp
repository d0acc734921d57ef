#include "dialogs/ItemVerbiage.h"

#include "dialogs/NameLimit.h"
#include "dialogs/PromptService.h"
#include "dialogs/UpDownButtons.h"
#include "dragdrop/PaletteMessages.h"
#include "store/KeyHelpers.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <vector>

namespace {

constexpr std::size_t kGrowBy = 5;

// An edited iteration's text as the library stores it: the document's
// paragraph and line separators become carriage return and line feed, and
// white space at its end goes. The document's raw text is read, not
// toPlainText(), which would turn no-break spaces into spaces.
std::string StoredForm(QString text) {
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace()) {
        --end;
    }
    text.truncate(end);
    return text.toStdString();
}

} // namespace

CSetPunctuationEvent::CSetPunctuationEvent(int leadingCode, int trailingCode)
    : QEvent(EventType()), leading(leadingCode), trailing(trailingCode) {}

QEvent::Type CSetPunctuationEvent::EventType() {
    return ToEventType(UWM_SET_PUNCTUATION);
}

CItemVerbiage::CItemVerbiage() : m_steps(m_arrIterations) {
    m_rsPhrase.Open(dbOpenTable);
}

CItemVerbiage::~CItemVerbiage() {
    ClearIterations();
    if (m_rsPhrase.IsOpen()) {
        m_rsPhrase.Close();
    }
}

void CItemVerbiage::Bind(const Controls& controls) {
    m_pDialog = controls.dialog;
    m_pMnemonicEdit = controls.mnemonic;
    m_pDescriptionEdit = controls.description;
    m_pSpin = controls.spin;
    m_pNumberStatic = controls.number;
    m_pWeightCombo = controls.weight;
    m_pSpin->SetRange(1, kMaxIterations);
    m_pSpin->SetPosition(1);
    for (char weight = '9'; weight >= '1'; --weight) {
        m_pWeightCombo->addItem(QString(QLatin1Char(weight)));
    }
    // Bound last: filling the weight list shows no chance yet.
    m_pChanceLine = controls.chance;
}

void CItemVerbiage::Load() {
    ClearIterations();
    m_arrIterations.SetGrowBy(kGrowBy);
    m_bFound = false;
    if (m_strPhraseID.empty() || m_bNew) {
        return;
    }
    if (!m_rsPhrase.SeekKey(m_strPhraseID)) {
        return;
    }
    m_bFound = true;
    m_loaded = {m_rsPhrase.m_Mnemonic, m_rsPhrase.m_Data};
    m_nStoredLeading = m_rsPhrase.m_PunctuationLeading;
    m_nStoredTrailing = m_rsPhrase.m_PunctuationTrailing;
    CSetPunctuationEvent event(static_cast<std::uint16_t>(m_rsPhrase.m_PunctuationLeading),
                               m_rsPhrase.m_PunctuationTrailing);
    QCoreApplication::sendEvent(m_pDialog, &event);
    SetNameText(m_pMnemonicEdit, QString::fromStdString(m_rsPhrase.m_Mnemonic));
    m_pMnemonicEdit->setCursorPosition(0);
    m_shownMnemonic = m_pMnemonicEdit->text();
    m_strData = m_rsPhrase.m_Data;
    ParseData();
    ShowIteration(1);
}

bool CItemVerbiage::FindRowAgain() {
    return !m_strPhraseID.empty() && m_rsPhrase.SeekKey(m_strPhraseID);
}

bool CItemVerbiage::ChangedSinceLoad() const {
    return m_rsPhrase.m_Mnemonic != m_loaded.mnemonic || m_rsPhrase.m_Data != m_loaded.data ||
           m_rsPhrase.m_PunctuationLeading != m_nStoredLeading ||
           m_rsPhrase.m_PunctuationTrailing != m_nStoredTrailing;
}

int CItemVerbiage::CurrentPosition() const {
    return m_pSpin->Position();
}

void CItemVerbiage::SelectWeight(const QString& weight) {
    const int index =
        m_pWeightCombo->findText(weight, Qt::MatchStartsWith | Qt::MatchCaseSensitive);
    if (index >= 0) {
        m_pWeightCombo->setCurrentIndex(index);
    }
}

void CItemVerbiage::ShowIteration(int n) {
    m_pSpin->SetPosition(n);
    m_pNumberStatic->setText(QString::number(n));
    if (!m_arrIterations.IsEmpty()) {
        std::string text;
        std::string weight;
        m_steps.Parts(n, text, weight);
        Present(text, weight);
    } else {
        Present(std::string(), "9");
        m_pNumberStatic->setText(QStringLiteral("1"));
    }
    UpdateChance();
}

void CItemVerbiage::Present(const std::string& text, const std::string& weight) {
    m_shownText = text;
    m_shownWeight = weight;
    m_pDescriptionEdit->setPlainText(QString::fromStdString(text));
    m_shownDocument = m_pDescriptionEdit->document()->toRawText();
    SelectWeight(QString::fromStdString(weight));
    m_shownWeightIndex = m_pWeightCombo->currentIndex();
}

std::string CItemVerbiage::CurrentTextBytes() const {
    const QString document = m_pDescriptionEdit->document()->toRawText();
    // Left alone, the text is committed as stored, byte for byte.
    return document == m_shownDocument ? m_shownText : StoredForm(document);
}

std::string CItemVerbiage::CurrentWeight() const {
    // A weight the list can't show (written by other software) stays
    // unless the user picks another.
    if (m_pWeightCombo->currentIndex() == m_shownWeightIndex) {
        return m_shownWeight;
    }
    return m_pWeightCombo->currentText().toStdString();
}

std::string CItemVerbiage::CurrentIteration() const {
    return CurrentTextBytes() + CurrentWeight();
}

std::string CItemVerbiage::MnemonicToSave() const {
    const QString shown = m_pMnemonicEdit->text();
    // Left alone, the mnemonic is written back as stored, byte for byte.
    if (!m_bNew && m_bFound && shown == m_shownMnemonic) {
        return m_loaded.mnemonic;
    }
    return shown.toStdString();
}

void CItemVerbiage::OnDeltaposIteration(int delta, bool* refuse) {
    *refuse = true;
    // Text holding the separator would split into other iterations once
    // stored: it stays on display until the user mends it.
    if (m_pDescriptionEdit->toPlainText().contains(QLatin1Char('|'))) {
        CPromptService::Current().Beep();
        return;
    }
    m_pDescriptionEdit->setFocus();
    const CIterationSteps::Step step = m_steps.Take(CurrentPosition(), delta, CurrentIteration());
    if (step.beep) {
        CPromptService::Current().Beep();
    }
    if (!step.moved) {
        return;
    }
    *refuse = false;
    const int n = step.number;
    if (step.blank) {
        m_pNumberStatic->setText(QString::number(n));
        Present(step.text, step.weight);
    } else {
        Present(step.text, step.weight);
        m_pNumberStatic->setText(QString::number(n));
    }
    UpdateChance();
}

void CItemVerbiage::SaveShown() {
    const std::vector<std::string> before = m_steps.Snapshot();
    if (m_steps.CommitForSave(CurrentPosition(), CurrentIteration())) {
        CPromptService::Current().Beep();
    }
    try {
        Save();
    } catch (...) {
        m_steps.Restore(before);
        throw;
    }
}

void CItemVerbiage::Save() {
    BuildData();
    if (m_bNew) {
        m_rsPhrase.AddNew();
        m_rsPhrase.m_ZOrder = 0;
        m_rsPhrase.m_CategoryID = m_strCategoryID;
    } else {
        m_rsPhrase.Edit();
    }
    m_rsPhrase.m_Mnemonic = MnemonicToSave();
    m_rsPhrase.m_PunctuationLeading = m_nLeading;
    m_rsPhrase.m_PunctuationTrailing = m_nTrailing;
    m_rsPhrase.m_Data = m_strData;
    m_rsPhrase.Update();
    m_rsPhrase.SetBookmark(m_rsPhrase.GetLastModifiedBookmark());
    m_strSavedID = ExtractBracedIdentifier(m_rsPhrase.m_PhraseID);
}

std::string CItemVerbiage::ReadOnlyText() {
    return m_rsPhrase.ReadOnlyMessage();
}

double CItemVerbiage::Chance() const {
    // The number shown names the iteration on display; during a step it is
    // already the new one while the spin still holds the old position.
    return m_steps.Chance(m_pNumberStatic->text().toInt(), CurrentTextBytes(), CurrentWeight());
}

void CItemVerbiage::UpdateChance() {
    if (m_pChanceLine != nullptr) {
        m_pChanceLine->setText(QStringLiteral("%1 %").arg(Chance(), 0, 'f', 1));
    }
}
