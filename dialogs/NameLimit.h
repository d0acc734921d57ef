#pragma once

#include <QValidator>

class QLineEdit;

// Names (category names, mnemonics) are at most 50 characters. Characters,
// not UTF-16 units: a character outside the Basic Multilingual Plane (an
// emoji, a surrogate pair in a QString) counts once and is never split; a
// lone surrogate counts as a character of its own.
constexpr int kNameLength = 50;

// The number of characters in `text`.
qsizetype CharacterCount(QStringView text);
// The first `limit` characters of `text`.
QString LeftCharacters(const QString& text, qsizetype limit);

// Holds a line edit to a number of characters, as a character limit on an
// edit control does: typing at the limit is refused, a paste keeps only as
// much of the pasted text as fits, and text set from code is cut at the
// limit. (QLineEdit::maxLength counts UTF-16 units and would split or
// refuse astral characters.)
class CCharacterLimit : public QValidator {
    Q_OBJECT

public:
    explicit CCharacterLimit(qsizetype limit, QObject* parent = nullptr);

    qsizetype Limit() const { return m_limit; }

    State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

private:
    qsizetype m_limit;
};

// Installs a CCharacterLimit of kNameLength characters on `edit`.
void LimitToNameLength(QLineEdit* edit);
