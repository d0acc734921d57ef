#include "dialogs/ItemEditorFields.h"

#include "dialogs/PromptService.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QStringView>

#include <algorithm>

namespace {

const QChar kSeparator = QLatin1Char('|');

// The index in `text` just past its first `characters` characters.
qsizetype IndexAfterCharacters(QStringView text, int characters) {
    qsizetype index = 0;
    for (int i = 0; i < characters && index < text.size(); ++i) {
        const bool pair = text[index].isHighSurrogate() && index + 1 < text.size() &&
                          text[index + 1].isLowSurrogate();
        index += pair ? 2 : 1;
    }
    return index;
}

} // namespace

int CharacterCount(const QString& text) {
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate()) {
            continue;
        }
        ++count;
    }
    return count;
}

CCharacterLimit::CCharacterLimit(int maxCharacters, QObject* parent)
    : QValidator(parent), m_maxCharacters(maxCharacters) {}

QValidator::State CCharacterLimit::validate(QString& input, int& pos) const {
    const int excess = CharacterCount(input) - m_maxCharacters;
    if (excess <= 0) {
        return Acceptable;
    }
    // Cut the excess from the characters just before the caret, which is
    // where an insertion ends; never inside a surrogate pair.
    const qsizetype caret = std::clamp<qsizetype>(pos, 0, input.size());
    const QString before = input.left(caret);
    const int keepBefore = std::max(0, CharacterCount(before) - excess);
    const qsizetype cut = IndexAfterCharacters(before, keepBefore);
    QString result = before.left(cut) + input.mid(caret);
    // Text that was already too long before the caret: cut from the end.
    result.truncate(IndexAfterCharacters(result, m_maxCharacters));
    input = result;
    pos = static_cast<int>(std::min<qsizetype>(cut, input.size()));
    return Acceptable;
}

void CCharacterLimit::Apply(QLineEdit* edit, int maxCharacters) {
    edit->setValidator(new CCharacterLimit(maxCharacters, edit));
}

CCaretToStartEdit::CCaretToStartEdit(QWidget* parent) : QPlainTextEdit(parent) {}

void CCaretToStartEdit::CaretToStart() {
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::Start);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void CCaretToStartEdit::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    CaretToStart();
    emit FocusedIn();
}

CDescriptionEdit::CDescriptionEdit(QWidget* parent) : CCaretToStartEdit(parent) {
    setTabChangesFocus(true);
}

bool CDescriptionEdit::HoldsSeparator(const QString& text) {
    return text.contains(kSeparator);
}

void CDescriptionEdit::keyPressEvent(QKeyEvent* event) {
    if (HoldsSeparator(event->text())) {
        event->accept();
        CPromptService::Current().Beep();
        return;
    }
    CCaretToStartEdit::keyPressEvent(event);
}

bool CDescriptionEdit::canInsertFromMimeData(const QMimeData* source) const {
    return CCaretToStartEdit::canInsertFromMimeData(source) &&
           !(source->hasText() && HoldsSeparator(source->text()));
}

void CDescriptionEdit::insertFromMimeData(const QMimeData* source) {
    if (source->hasText() && HoldsSeparator(source->text())) {
        CPromptService::Current().Beep();
        return;
    }
    CCaretToStartEdit::insertFromMimeData(source);
}
