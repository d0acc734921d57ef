#pragma once

#include <string>

// The texts that an item's punctuation codes put around its composed text.
// Codes 1..4 are one space, two spaces, one line break and two line breaks
// (three after the text); any other code gives nothing. A line break is the
// platform's, "\n".
std::string LeadingPunctuation(int code);
std::string TrailingPunctuation(int code);

// The text of one drag: the leading punctuation, one iteration of `data`
// drawn by ComposeText, and the trailing punctuation. A Data that yields no
// iteration still gives the punctuation.
std::string ComposeDragText(const std::string& data, int leadingCode, int trailingCode);
