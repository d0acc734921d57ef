#include "store/KeyHelpers.h"

#include <QByteArray>

std::string ExtractBracedIdentifier(const std::string& keyText) {
    if (keyText.size() < 2) {
        return {};
    }
    // The wrapped form starts with its own "{", so the search starts at
    // the second character to find the identifier's brace.
    const std::size_t open = keyText.find('{', 1);
    if (open == std::string::npos) {
        return {};
    }
    const std::size_t close = keyText.find('}', open + 1);
    if (close == std::string::npos) {
        return {};
    }
    return keyText.substr(open, close - open + 1);
}

QVariant MakeSeekKey(const char* text) {
    if (text == nullptr) {
        return {};
    }
    return QVariant(QByteArray(text));
}

QVariant MakeSeekKey(const std::string& text) {
    return QVariant(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
}
