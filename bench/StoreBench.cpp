// Timing of the phrase store on a generated library of 100,000 items in 100
// categories: the drag-out's Seek and read through the list's long-lived
// table, the fill of a 10,000-item category, and an order save of 1,000
// items. Run with --benchmark_repetitions=5 to see medians.
#include "bench/BenchLibrary.h"
#include "store/CurrentDatabase.h"
#include "store/KeyHelpers.h"
#include "store/PhraseTbl.h"
#include "store/PhrasesInCategoryQry.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void BM_SeekAndReadOneItem(benchmark::State& state) {
    CPhraseTbl list;
    list.Open();
    list.SetCurrentIndex("PrimaryKey");
    std::size_t next = 0;
    for (auto _ : state) {
        const std::string& key = g_library->sampleKeys[next++ % g_library->sampleKeys.size()];
        if (!list.Seek("=", MakeSeekKey(key))) {
            state.SkipWithError("key not found");
            break;
        }
        benchmark::DoNotOptimize(list.m_Data.data());
        benchmark::DoNotOptimize(list.m_PunctuationTrailing);
    }
}
BENCHMARK(BM_SeekAndReadOneItem)->Unit(benchmark::kMicrosecond);

void BM_FillCategoryOf10000(benchmark::State& state) {
    CPhrasesInCategoryQry phrases;
    for (auto _ : state) {
        phrases.m_CATEGORYID = g_library->bigCategory;
        phrases.Open();
        std::size_t rows = 0;
        while (!phrases.IsEOF()) {
            benchmark::DoNotOptimize(phrases.m_Mnemonic.data());
            benchmark::DoNotOptimize(phrases.m_PhraseID.data());
            ++rows;
            phrases.MoveNext();
        }
        phrases.Close();
        if (rows != 10000) {
            state.SkipWithError("wrong row count");
            break;
        }
    }
}
BENCHMARK(BM_FillCategoryOf10000)->Unit(benchmark::kMillisecond);

// The list's order save: Seek each entry and write its index into ZOrder,
// each Update its own transaction. The order flips every round so every
// Update really writes.
void BM_SaveOrderOf1000(benchmark::State& state) {
    CPhraseTbl list;
    list.Open();
    list.SetCurrentIndex("PrimaryKey");
    const std::vector<std::string>& keys = g_library->orderKeys;
    bool reversed = false;
    for (auto _ : state) {
        reversed = !reversed;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (!list.Seek("=", MakeSeekKey(keys[i]))) {
                continue;
            }
            list.Edit();
            list.m_ZOrder = static_cast<std::int16_t>(reversed ? keys.size() - 1 - i : i);
            list.Update();
        }
    }
}
BENCHMARK(BM_SaveOrderOf1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    GeneratedLibrary library;
    library.path = dir.filePath("bench.blz").toStdString();
    std::fprintf(stderr, "Generating 100,000 items in %s ...\n", library.path.c_str());
    Generate(library);
    g_library = &library;
    const std::string path = library.path;
    SetCurrentDatabasePathSource([path] { return path; });
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetCurrentDatabasePathSource({});
    return 0;
}
