#include "dragdrop/Characters.h"

namespace {

bool IsPairAt(QStringView text, qsizetype index) {
    return index >= 0 && index + 1 < text.size() && text.at(index).isHighSurrogate() &&
           text.at(index + 1).isLowSurrogate();
}

} // namespace

qsizetype NextCharacter(QStringView text, qsizetype index) {
    return index + (IsPairAt(text, index) ? 2 : 1);
}

qsizetype PreviousCharacter(QStringView text, qsizetype index) {
    return index - (IsPairAt(text, index - 2) ? 2 : 1);
}

qsizetype IndexOfCharacter(QStringView text, qsizetype n) {
    qsizetype index = 0;
    for (qsizetype c = 0; c < n; ++c) {
        if (index >= text.size()) {
            return -1;
        }
        index = NextCharacter(text, index);
    }
    return index;
}

qsizetype CharacterCount(QStringView text) {
    qsizetype characters = 0;
    for (qsizetype index = 0; index < text.size(); ++characters) {
        index = NextCharacter(text, index);
    }
    return characters;
}

QString LeftCharacters(const QString& text, qsizetype limit) {
    const qsizetype end = IndexOfCharacter(text, limit);
    return end < 0 ? text : text.left(end);
}
