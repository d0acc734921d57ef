#include "store/KeyHelpers.h"

#include <QByteArray>

std::string ExtractBracedIdentifier(const std::string& keyText) {
    // The wrapped form starts with its own "{", so the search starts at
    // the second character to find the identifier's brace.
    const std::size_t open = keyText.find('{', 1);
    const std::size_t close = open == std::string::npos ? open : keyText.find('}', open + 1);
    return close == std::string::npos ? std::string() : keyText.substr(open, close - open + 1);
}

QVariant MakeSeekKey(const char* text) {
    return text == nullptr ? QVariant() : QVariant(QByteArray(text));
}

QVariant MakeSeekKey(const std::string& text) {
    return QVariant(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}
