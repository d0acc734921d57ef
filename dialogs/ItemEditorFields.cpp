#include "dialogs/ItemEditorFields.h"

#include "dialogs/PromptService.h"

#include <QKeyEvent>
#include <QMimeData>

namespace {

const QChar kSeparator = QLatin1Char('|');

} // namespace

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
