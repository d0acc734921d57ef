#include "engine/Punctuation.h"

#include "engine/ComposeText.h"

namespace {

// The text of code 1..4 in `texts`; any other code gives nothing.
std::string PunctuationOf(int code, const char* const (&texts)[4]) {
    return code >= 1 && code <= 4 ? texts[code - 1] : "";
}

} // namespace

std::string LeadingPunctuation(int code) {
    return PunctuationOf(code, {" ", "  ", "\n", "\n\n"});
}

std::string TrailingPunctuation(int code) {
    return PunctuationOf(code, {" ", "  ", "\n", "\n\n\n"});
}

std::string ComposeDragText(const std::string& data, int leadingCode, int trailingCode) {
    std::string text = LeadingPunctuation(leadingCode);
    ComposeText(text, data, 1, 0);
    text += TrailingPunctuation(trailingCode);
    return text;
}
