#pragma once

#include "store/CurrentDatabase.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <string>
#include <vector>

// The engines a library can live on.
enum class Engine { SQLite, PostgreSQL };
// "SQLite" or "PostgreSQL", for the names of parameterised tests.
std::string EngineName(Engine engine);

// A fresh library, installed as the current database path for the
// fixture's lifetime: a file in a temporary directory, or a new database
// on the test program's own PostgreSQL server (CPostgresServer). When the
// server's programs are not installed, `skipReason` says so and `path` is
// empty: the test skips (see SkipWithoutEngine).
class CTempLibrary {
public:
    explicit CTempLibrary(Engine engine = Engine::SQLite);
    ~CTempLibrary();
    CTempLibrary(const CTempLibrary&) = delete;
    CTempLibrary& operator=(const CTempLibrary&) = delete;

    // Points the recordsets at another library.
    void UsePath(const std::string& path);
    std::string FilePath(const char* name) const;
    // Another new, empty library on the same engine.
    std::string MakeAnother();

    Engine engine;
    QTemporaryDir dir;
    std::string skipReason;
    std::string path;
};

// In a test body or SetUp: skips the test when its library's engine is
// not installed.
#define SKIP_WITHOUT_ENGINE(library)                                                               \
    if (!(library).skipReason.empty())                                                             \
    GTEST_SKIP() << (library).skipReason

// The program's own ways of adding rows: a category appended at `zOrder`
// with its strCategoryID written from its new key, and an item. Both
// return the new row's braced identifier.
std::string AddCategory(const std::string& description, std::int16_t zOrder);
std::string AddPhrase(const std::string& categoryId, const std::string& mnemonic,
                      const std::string& data, std::int16_t zOrder, std::int16_t leading = 0,
                      std::int16_t trailing = 2);

// Runs one SQL statement with a plain Qt connection of its own (another
// program's view of the library, file or server) and returns the first
// column of its first row, or an invalid value. Identifiers in double
// quotes serve both engines.
QVariant QueryDirect(const std::string& path, const QString& sql);

// Every row of `sql`, read as QueryDirect reads, each value as text ("<null>"
// for Null, a blob's bytes as UTF-8).
std::vector<QStringList> RowsDirect(const std::string& path, const QString& sql);
