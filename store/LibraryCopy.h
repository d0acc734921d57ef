#pragma once

#include <string>

struct LibraryCopySummary {
    int categories = 0;
    int items = 0;
};

// Copies every category and item of the library at `from` into the library
// at `to` (each a file path or a server address, in any combination): keys
// exactly as stored (letter case included), names, texts, ZOrder and
// punctuation codes, and the order of the categories and of each
// category's items, ties included. The source is opened through the usual
// checks and only read. The target must hold nothing yet and is filled in
// one transaction (see FillEmptyLibrary): all rows arrive, or none and the
// target stays as it was. Throws CDaoException naming the library at
// fault.
LibraryCopySummary CopyLibrary(const std::string& from, const std::string& to);

// "Copied 3 categories and 20 items from A into B.", each library named by
// its display form (never with a password).
std::string DescribeCopy(const LibraryCopySummary& summary, const std::string& from,
                         const std::string& to);
