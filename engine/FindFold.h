#pragma once

#include <string>
#include <string_view>
#include <vector>

// How a find compares text: letter case and accents are ignored by folding
// both the typed words and the items' texts the same way, then looking for
// each folded word inside the folded texts.
//
// The fold is a fixed table of single characters: A-Z and the accented
// Latin letters (Latin-1 and Latin Extended-A) become lower-case ASCII
// letters, the common combining accents (of decomposed text) are dropped, and every other
// character stays as it is. A fixed table, rather than the full Unicode
// rules, because the library folds its own texts in SQL (SQLite triggers
// and a PostgreSQL generated column, see store/FindColumns.h) where no
// Unicode library is at hand; the SQL is made from this same table, so the
// program and the library always fold alike.

// One folded character: its code point and the lower-case ASCII letter it
// becomes, or '\0' when it is dropped.
struct FoldedCharacter {
    char32_t codePoint;
    char replacement;
};

// Every character the fold changes; the dropped ones come last.
const std::vector<FoldedCharacter>& FindFoldTable();

// `text` (UTF-8) with every character of the table replaced or dropped.
// Bytes that are not a character of the table pass unchanged.
std::string FoldForFind(std::string_view text);

// An item's Data is searched with each weight digit before a "|", and the
// "|" itself, made one line break (store/FindColumns.cpp): neither is
// found, and no word runs from one iteration into the next, since a typed
// word never holds a line break.
