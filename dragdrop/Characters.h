#pragma once

#include <QString>
#include <QStringView>

// Characters in a QString as the user counts them, not UTF-16 units: a
// character outside the Basic Multilingual Plane (a surrogate pair) counts
// once and is never split; a lone surrogate counts as a character of its own.

// The index just after the character that starts at `index`.
qsizetype NextCharacter(QStringView text, qsizetype index);
// The index where the character that ends just before `index` starts.
qsizetype PreviousCharacter(QStringView text, qsizetype index);
// Where character `n` (from 0) starts; -1 when the text has fewer characters.
qsizetype IndexOfCharacter(QStringView text, qsizetype n);
// The number of characters in `text`.
qsizetype CharacterCount(QStringView text);
// The first `limit` characters of `text`.
QString LeftCharacters(const QString& text, qsizetype limit);
