#include "dialogs/NameLimit.h"

#include <QLineEdit>

#include <algorithm>

CCharacterLimit::CCharacterLimit(qsizetype limit, QObject* parent)
    : QValidator(parent), m_limit(limit) {}

QValidator::State CCharacterLimit::validate(QString& input, int& pos) const {
    const qsizetype allowed = Allowed();
    qsizetype excess = CharacterCount(input) - allowed;
    if (excess <= 0) {
        // A kept longer name that got shorter allows only its new length.
        m_kept = std::min(m_kept, CharacterCount(input));
        return Acceptable;
    }
    // The text just typed or pasted ends at the cursor: drop its last
    // characters first, whole characters only, so what was there before
    // stays and the paste keeps its beginning.
    qsizetype cursor = std::clamp<qsizetype>(pos, 0, input.size());
    while (excess > 0 && cursor > 0) {
        const qsizetype start = PreviousCharacter(input, cursor);
        input.remove(start, cursor - start);
        cursor = start;
        --excess;
    }
    if (excess > 0) {
        input = LeftCharacters(input, allowed);
    }
    pos = static_cast<int>(std::min(cursor, input.size()));
    return Acceptable;
}

void CCharacterLimit::fixup(QString& input) const {
    input = LeftCharacters(input, Allowed());
}

void LimitToNameLength(QLineEdit* edit) {
    edit->setValidator(new CCharacterLimit(kNameLength, edit));
}

void SetNameText(QLineEdit* edit, const QString& text) {
    // The edit runs its validator on text set from code as on typed text.
    if (auto* limit = edit->findChild<CCharacterLimit*>(QString(), Qt::FindDirectChildrenOnly)) {
        limit->KeepLonger(CharacterCount(text));
    }
    edit->setText(text);
}
