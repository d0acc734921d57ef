#pragma once

#include "dragdrop/Characters.h"
#include "engine/NameLength.h"

#include <QValidator>

#include <algorithm>

class QLineEdit;

// Holds a line edit to a number of characters, as a character limit on an
// edit control does: typing at the limit is refused and a paste keeps only
// as much of the pasted text as fits. The limit is for typing only: a
// longer name set from code through SetNameText (one stored by another
// program, say) is kept whole; while it is longer than the limit, typing
// may not make it longer still. (QLineEdit::maxLength counts UTF-16 units
// and would split or refuse astral characters.)
class CCharacterLimit : public QValidator {
    Q_OBJECT

public:
    explicit CCharacterLimit(qsizetype limit, QObject* parent = nullptr);

    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

    // Lets the text about to be set from code keep `characters` characters.
    void KeepLonger(qsizetype characters) { m_kept = characters; }

private:
    qsizetype Allowed() const { return std::max(m_limit, m_kept); }

    qsizetype m_limit;
    // The length of a longer text set from code, while the text is that
    // long; it shrinks with the text. The edit validates through a const
    // interface, hence mutable.
    mutable qsizetype m_kept = 0;
};

// Installs a CCharacterLimit of kNameLength characters on `edit`.
void LimitToNameLength(QLineEdit* edit);
// Puts a name into `edit` from code: a longer one than its limit is kept
// whole, not cut.
void SetNameText(QLineEdit* edit, const QString& text);
