#include "engine/Punctuation.h"

#include "engine/ComposeText.h"

std::string LeadingPunctuation(int code) {
    switch (code) {
    case 1:
        return " ";
    case 2:
        return "  ";
    case 3:
        return "\n";
    case 4:
        return "\n\n";
    default:
        return {};
    }
}

std::string TrailingPunctuation(int code) {
    switch (code) {
    case 1:
        return " ";
    case 2:
        return "  ";
    case 3:
        return "\n";
    case 4:
        return "\n\n\n";
    default:
        return {};
    }
}

std::string ComposeDragText(const std::string& data, int leadingCode, int trailingCode) {
    std::string text = LeadingPunctuation(leadingCode);
    ComposeText(text, data, 1, 0);
    text += TrailingPunctuation(trailingCode);
    return text;
}
