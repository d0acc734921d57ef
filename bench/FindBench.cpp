// Finding items by typed words on a generated library of 100,000 items in
// 100 categories, in a file and on a PostgreSQL server on this machine:
// the first screenful (40 rows) for a rare word and for one letter that
// matches every item, beside the statement that reads it as raw SQL
// through the engine's C API (SQLite's, libpq); counting the one-letter
// matches; `blurtle --find` against `--compose` as whole processes; and
// the one-time making of the folded columns and the indexes when an older
// library is first opened for writing. Run with
// --benchmark_repetitions=5 --benchmark_report_aggregates_only=true for
// medians.
#include "bench/BenchLibrary.h"
#include "store/CurrentDatabase.h"
#include "store/LibraryConnection.h"
#include "store/LibraryFind.h"
#include "store/LibraryLocation.h"
#include "store/LibraryOpener.h"
#include "tests/support/PostgresServer.h"

#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

namespace {

constexpr int kScreenful = 40;
// One item's mnemonic ("Mnemonic 57-123"), and a letter in every mnemonic.
const char* const kRareWord = "57-123";
const char* const kOneLetter = "m";

void UseLibrary(const GeneratedLibrary& library) {
    const std::string path = library.path;
    SetCurrentLibrarySource([location = CLibraryLocation::Parse(path)] { return location; });
}

void FindScreenful(benchmark::State& state, const GeneratedLibrary* library, const char* words) {
    UseLibrary(*library);
    for (auto _ : state) {
        const std::vector<FoundPhrase> page = CLibraryFind(words).Page(0, kScreenful);
        if (page.empty()) {
            state.SkipWithError("nothing found");
            break;
        }
        benchmark::DoNotOptimize(page.data());
    }
}

void CountOneLetter(benchmark::State& state, const GeneratedLibrary* library) {
    UseLibrary(*library);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CLibraryFind(kOneLetter).Count());
    }
}

// The statements the find runs for a screenful, as raw SQL: a rare word
// through the trigram index, all its matches sorted; one letter read one
// category at a time, its mnemonic matches alone filling the screen.
struct RawFind {
    const char* word;
    const char* runs; // the rare word's three-letter runs, for the file's index
    const char* fileSql;
    const char* serverSql;
};

const RawFind kRawRareWord{
    kRareWord, "\"57-\" AND \"7-1\" AND \"-12\" AND \"123\"",
    "SELECT p.PhraseID, p.CategoryID, c.Description, p.Mnemonic FROM tblPhrase AS p "
    "JOIN tblCategory AS c ON c.CategoryID = p.CategoryID "
    "WHERE p.rowid IN (SELECT rowid FROM tblPhraseFind WHERE tblPhraseFind MATCH ?2) "
    "AND (instr(p.FoldedMnemonic, ?1) > 0 OR instr(p.FoldedText, ?1) > 0) "
    "ORDER BY CASE WHEN instr(p.FoldedMnemonic, ?1) > 0 THEN 0 ELSE 1 END, c.ZOrder, c.rowid, "
    "p.ZOrder, p.rowid LIMIT 40",
    "SELECT p.\"PhraseID\", p.\"CategoryID\", c.\"Description\", p.\"Mnemonic\" "
    "FROM \"tblPhrase\" AS p JOIN \"tblCategory\" AS c ON c.\"CategoryID\" = p.\"CategoryID\" "
    "WHERE p.\"FoldedMnemonic\" LIKE $1 OR p.\"FoldedText\" LIKE $1 "
    "ORDER BY CASE WHEN p.\"FoldedMnemonic\" LIKE $1 THEN 0 ELSE 1 END, "
    "c.\"ZOrder\", c.\"AddOrder\", p.\"ZOrder\", p.\"AddOrder\" LIMIT 40"};

const RawFind kRawOneLetter{
    kOneLetter, "",
    "SELECT p.PhraseID, p.CategoryID, c.Description, p.Mnemonic FROM tblCategory AS c "
    "CROSS JOIN tblPhrase AS p WHERE p.CategoryID = c.CategoryID "
    "AND instr(p.FoldedMnemonic, ?1) > 0 ORDER BY c.ZOrder, c.rowid, p.ZOrder, p.rowid LIMIT 40",
    "SELECT p.\"PhraseID\", p.\"CategoryID\", c.\"Description\", p.\"Mnemonic\" "
    "FROM \"tblCategory\" AS c CROSS JOIN \"tblPhrase\" AS p "
    "WHERE p.\"CategoryID\" = c.\"CategoryID\" AND p.\"FoldedMnemonic\" LIKE $1 "
    "ORDER BY c.\"ZOrder\", c.\"AddOrder\", p.\"ZOrder\", p.\"AddOrder\" LIMIT 40"};

// The baseline: the find's statement for one word, its rows copied out as
// the recordset copies them (SQLite's prepared once).
void RawFileScreenful(benchmark::State& state, const GeneratedLibrary* library,
                      const RawFind* find) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(library->path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, find->fileSql, -1, &statement, nullptr) != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
        return;
    }
    for (auto _ : state) {
        sqlite3_bind_text(statement, 1, find->word, -1, SQLITE_STATIC);
        if (sqlite3_bind_parameter_count(statement) > 1) {
            sqlite3_bind_text(statement, 2, find->runs, -1, SQLITE_STATIC);
        }
        std::vector<std::string> rows;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int column = 0; column < 4; ++column) {
                rows.emplace_back(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, column)));
            }
        }
        sqlite3_reset(statement);
        benchmark::DoNotOptimize(rows.data());
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
}

std::string ConnInfo(const std::string& address) {
    const CLibraryLocation location = CLibraryLocation::Parse(address);
    return QStringLiteral("host='%1' port=%2 dbname='%3' user='%4'")
        .arg(location.Host())
        .arg(location.Port() == -1 ? 5432 : location.Port())
        .arg(location.DatabaseName(), location.UserName())
        .toStdString();
}

void RawServerScreenful(benchmark::State& state, const GeneratedLibrary* library,
                        const RawFind* find) {
    PGconn* connection = PQconnectdb(ConnInfo(library->path).c_str());
    if (PQstatus(connection) != CONNECTION_OK) {
        state.SkipWithError(PQerrorMessage(connection));
        PQfinish(connection);
        return;
    }
    // The pattern bound whole, as the find binds it, so the planner sees it.
    const std::string anywhere = std::string("%") + find->word + "%";
    const char* pattern = anywhere.c_str();
    for (auto _ : state) {
        // Planned for its pattern at each run, as the find's statements are.
        PGresult* result =
            PQexecParams(connection, find->serverSql, 1, nullptr, &pattern, nullptr, nullptr, 0);
        std::vector<std::string> rows;
        for (int row = 0; row < PQntuples(result); ++row) {
            for (int column = 0; column < 4; ++column) {
                rows.emplace_back(PQgetvalue(result, row, column));
            }
        }
        PQclear(result);
        benchmark::DoNotOptimize(rows.data());
    }
    PQfinish(connection);
}

// Takes the folded columns and the indexes away, as a library of an
// earlier version lacks them, then times the first open for writing, which
// makes them again.
void MakeFoldedColumns(benchmark::State& state, const GeneratedLibrary* library) {
    const bool server = CLibraryLocation::Parse(library->path).IsServer();
    for (auto _ : state) {
        state.PauseTiming();
        CLibraryConnection::CloseIdle();
        if (server) {
            PGconn* connection = PQconnectdb(ConnInfo(library->path).c_str());
            PQclear(PQexec(connection, "DROP INDEX \"idxCategoryOrder\"; "
                                       "ALTER TABLE \"tblPhrase\" DROP COLUMN \"FoldedMnemonic\", "
                                       "DROP COLUMN \"FoldedText\""));
            PQfinish(connection);
        } else {
            sqlite3* db = nullptr;
            sqlite3_open(library->path.c_str(), &db);
            sqlite3_exec(db,
                         "DROP TRIGGER trgPhraseFoldInsert; DROP TRIGGER trgPhraseFoldUpdate; "
                         "DROP TRIGGER trgPhraseFoldDelete; DROP TABLE tblPhraseFind; "
                         "DROP INDEX idxCategoryOrder; DROP INDEX idxPhraseInCategory; "
                         "ALTER TABLE tblPhrase DROP COLUMN FoldedMnemonic; "
                         "ALTER TABLE tblPhrase DROP COLUMN FoldedText; "
                         "PRAGMA wal_checkpoint(TRUNCATE);",
                         nullptr, nullptr, nullptr);
            sqlite3_close(db);
        }
        state.ResumeTiming();
        CLibraryConnection::Release(OpenLibrary(CLibraryLocation::Parse(library->path)));
    }
    CLibraryConnection::CloseIdle();
}

// `blurtle ARGUMENTS` as a script runs it, with the settings naming the
// file library: the whole process, start-up included.
void RunProgram(benchmark::State& state, const QString& home, const QStringList& arguments) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    for (auto _ : state) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(BLURTLE_EXECUTABLE), arguments);
        program.waitForFinished(60000);
        if (program.exitCode() != 0) {
            state.SkipWithError(program.readAllStandardError().constData());
            break;
        }
    }
}

void Register(const char* engine, const GeneratedLibrary* library) {
    const std::string prefix = std::string(engine) + "/";
    const bool server = CLibraryLocation::Parse(library->path).IsServer();
    for (const auto& [name, find] :
         {std::pair{"RareWord", &kRawRareWord}, std::pair{"OneLetter", &kRawOneLetter}}) {
        benchmark::RegisterBenchmark((prefix + "FindScreenful/" + name).c_str(), FindScreenful,
                                     library, find->word)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((prefix + "RawSqlScreenful/" + name).c_str(),
                                     server ? RawServerScreenful : RawFileScreenful, library, find)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark((prefix + "CountOneLetter").c_str(), CountOneLetter, library)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((prefix + "MakeFoldedColumns").c_str(), MakeFoldedColumns, library)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    GeneratedLibrary file;
    file.path = dir.filePath("bench.blz").toStdString();
    std::fprintf(stderr, "Generating 100,000 items in %s ...\n", file.path.c_str());
    Generate(file);
    Register("SQLite", &file);

    const QString home = dir.filePath("home");
    QDir().mkpath(home + QStringLiteral("/config/Quillfen"));
    QFile settings(home + QStringLiteral("/config/Quillfen/blurtle.conf"));
    settings.open(QIODevice::WriteOnly);
    settings.write(QStringLiteral("[%General]\nDatabasePath=%1\n")
                       .arg(QString::fromStdString(file.path))
                       .toUtf8());
    settings.close();
    benchmark::RegisterBenchmark(
        "Process/Compose", RunProgram, home,
        QStringList{QStringLiteral("--compose"), QStringLiteral("Category 57/Mnemonic 57-123")})
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(
        "Process/FindRareWord", RunProgram, home,
        QStringList{QStringLiteral("--find"), QString::fromLatin1(kRareWord)})
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();

    std::string whyNot;
    CPostgresServer* server = CPostgresServer::Shared(&whyNot);
    GeneratedLibrary onServer;
    if (server != nullptr) {
        onServer.path = server->Address(server->CreateDatabase());
        std::fprintf(stderr, "Generating 100,000 items in %s ...\n", onServer.path.c_str());
        Generate(onServer);
        Register("PostgreSQL", &onServer);
    } else {
        std::fprintf(stderr, "No PostgreSQL benchmarks: %s\n", whyNot.c_str());
    }
    g_library = &file;

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetCurrentLibrarySource({});
    CLibraryConnection::CloseIdle();
    CPostgresServer::StopShared();
    return 0;
}
