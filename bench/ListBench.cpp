// The mnemonic list on long categories (1,000, 10,000 and 100,000 items):
//  - filling it: reading one category's rows through the store and making
//    their entry lines, against a raw SELECT of the same rows through the
//    SQLite C API on an open connection, in the same run;
//  - the palette itself (offscreen): moving one entry with the sort arrows
//    and switching to another category, which stores the new order and
//    empties the list.
// Run with --benchmark_repetitions=5 to see medians.
#include "app/MumbletApp.h"
#include "app/MumbletDlg.h"
#include "app/Profile.h"
#include "dialogs/UpDownButtons.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "store/CurrentDatabase.h"
#include "store/KeyHelpers.h"
#include "store/LibraryFile.h"
#include "store/MnemonicsInCategoryQry.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

std::string g_path;
std::map<int, std::string> g_categories; // size -> key

void Check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
}

void Generate(const std::string& path) {
    CreateLibraryFile(path);
    sqlite3* db = nullptr;
    Check(sqlite3_open(path.c_str(), &db), db);
    Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* category = nullptr;
    sqlite3_stmt* item = nullptr;
    Check(sqlite3_prepare_v2(db,
                             "INSERT INTO tblCategory (Description, ZOrder) VALUES (?, ?) "
                             "RETURNING CategoryID",
                             -1, &category, nullptr),
          db);
    Check(sqlite3_prepare_v2(db,
                             "INSERT INTO tblPhrase (CategoryID, Data, Mnemonic, ZOrder, "
                             "PunctuationLeading, PunctuationTrailing) VALUES (?, ?, ?, ?, 0, 2)",
                             -1, &item, nullptr),
          db);
    int order = 0;
    for (int size : {10, 1000, 10000, 100000}) {
        const std::string name = "Category of " + std::to_string(size);
        sqlite3_bind_text(category, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(category, 2, order++);
        Check(sqlite3_step(category), db);
        const std::string key = reinterpret_cast<const char*>(sqlite3_column_text(category, 0));
        sqlite3_reset(category);
        g_categories[size] = key;
        for (int i = 0; i < size; ++i) {
            const std::string mnemonic = "Mnemonic " + std::to_string(i) + " of " + name;
            const std::string data = "Thank you for your message " + std::to_string(i) +
                                     ". We will answer within a day.9|Thanks!3|";
            sqlite3_bind_text(item, 1, key.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(item, 2, data.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(item, 3, mnemonic.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(item, 4, i);
            Check(sqlite3_step(item), db);
            sqlite3_reset(item);
        }
    }
    sqlite3_finalize(category);
    sqlite3_finalize(item);
    Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    Check(sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

// The baseline: the rows the list shows, straight from the C API on an
// open connection, each text copied out once.
void BM_RawSelect(benchmark::State& state) {
    const std::string& key = g_categories.at(static_cast<int>(state.range(0)));
    sqlite3* db = nullptr;
    sqlite3_open_v2(g_path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    for (auto _ : state) {
        sqlite3_stmt* query = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT Mnemonic, PhraseID FROM qryPhrasesInCategory "
                           "WHERE CategoryID = ?",
                           -1, &query, nullptr);
        sqlite3_bind_text(query, 1, key.c_str(), -1, SQLITE_STATIC);
        std::vector<std::string> rows;
        while (sqlite3_step(query) == SQLITE_ROW) {
            std::string row(reinterpret_cast<const char*>(sqlite3_column_text(query, 0)),
                            static_cast<std::size_t>(sqlite3_column_bytes(query, 0)));
            row.append(reinterpret_cast<const char*>(sqlite3_column_text(query, 1)),
                       static_cast<std::size_t>(sqlite3_column_bytes(query, 1)));
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(query);
        benchmark::DoNotOptimize(rows.data());
    }
    sqlite3_close(db);
}
BENCHMARK(BM_RawSelect)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// What the palette does to fill its list, short of the widget: open the
// category's query, read every row, make its entry line.
void BM_FillListLines(benchmark::State& state) {
    const std::string& key = g_categories.at(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CMnemonicsInCategoryQry phrases;
        phrases.m_CATEGORYID = key;
        phrases.Open();
        std::vector<QString> lines;
        while (!phrases.IsEOF()) {
            lines.push_back(EntryLines::MakeMnemonicLine(
                phrases.m_Mnemonic, ExtractBracedIdentifier(phrases.m_PhraseID)));
            phrases.MoveNext();
        }
        phrases.Close();
        benchmark::DoNotOptimize(lines.data());
    }
}
BENCHMARK(BM_FillListLines)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int IndexOfCategory(CMumbletDlg& palette, int size) {
    for (int i = 0; i < palette.Category().count(); ++i) {
        if (EntryLines::CategoryKey(EntryLines::LineOf(palette.Category(), i)).toStdString() ==
            g_categories.at(size)) {
            return i;
        }
    }
    return -1;
}

void ShowCategory(CMumbletDlg& palette, int index) {
    palette.Category().setCurrentIndex(index);
    emit palette.Category().activated(index);
}

// One press on a sort arrow in a long category, then another category
// chosen: the order save and the list emptied. The arrow alternates, so
// every round stores two rows.
void BM_MoveOneAndSwitchCategory(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    CMumbletApp theApp;
    CMumbletDlg palette;
    palette.Start();
    const int longCategory = IndexOfCategory(palette, size);
    const int shortCategory = IndexOfCategory(palette, 10);
    int delta = +1;
    for (auto _ : state) {
        state.PauseTiming();
        ShowCategory(palette, longCategory);
        palette.Mnemonics().setCurrentRow(delta > 0 ? size / 2 : size / 2 + 1);
        state.ResumeTiming();
        palette.SortSpin().Step(delta);
        ShowCategory(palette, shortCategory);
        delta = -delta;
    }
    if (palette.IsOrderChanged()) {
        state.SkipWithError("the order was not stored");
    }
}
BENCHMARK(BM_MoveOneAndSwitchCategory)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

} // namespace

int main(int argc, char** argv) {
    // Settings in a home of the benchmark's own, windows offscreen.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_path = home.filePath("fill.blz").toStdString();
    std::fprintf(stderr, "Generating 111,010 items in %s ...\n", g_path.c_str());
    Generate(g_path);
    Profile::WriteString(QStringLiteral("DatabasePath"), QString::fromStdString(g_path));
    SetCurrentLibrarySource([] { return CLibraryLocation::Parse(g_path); });
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetCurrentLibrarySource({});
    return 0;
}
