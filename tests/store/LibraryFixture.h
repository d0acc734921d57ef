#pragma once

#include "store/CurrentDatabase.h"

#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <string>

// A fresh library in a temporary directory, installed as the current
// database path for the fixture's lifetime.
class CTempLibrary {
public:
    CTempLibrary();
    ~CTempLibrary();
    CTempLibrary(const CTempLibrary&) = delete;
    CTempLibrary& operator=(const CTempLibrary&) = delete;

    // Points the recordsets at another file (in the same directory).
    void UsePath(const std::string& path);
    std::string FilePath(const char* name) const;

    QTemporaryDir dir;
    std::string path;
};

// The program's own ways of adding rows: a category appended at `zOrder`
// with its strCategoryID written from its new key, and an item. Both
// return the new row's braced identifier.
std::string AddCategory(const std::string& description, std::int16_t zOrder);
std::string AddPhrase(const std::string& categoryId, const std::string& mnemonic,
                      const std::string& data, std::int16_t zOrder, std::int16_t leading = 0,
                      std::int16_t trailing = 2);

// Runs one SQL statement with a plain Qt connection of its own (another
// program's view of the file) and returns the first column of its first
// row, or an invalid value.
QVariant QueryDirect(const std::string& path, const QString& sql);
