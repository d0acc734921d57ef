// The import of an older library of 10,000 items (.mdb, Access 2000-2003)
// into a new library: all of it, and its two halves (reading the file
// through libmdb; writing the new library from what was read). The file is
// grown from the small test library: 100 categories, item texts of 20 to
// 200 characters, every 50th about 2 KB (on a long-value page of its own)
// and every 500th about 12 KB (a chain of long-value pages), a third of
// them with characters outside Latin-1. Reading is measured in the
// benchmark's own process and apart, in a child process of the program as
// the program reads (the difference is the cost of the child and of
// passing the rows over a pipe). Run with
// --benchmark_repetitions=9 to see medians.
#include "import/LibraryImport.h"
#include "import/MdbReader.h"
#include "import/ReaderProcess.h"
#include "tests/support/MdbGrower.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kItems = 10'000;
constexpr int kCategories = 100;

std::string g_mdb;
QTemporaryDir* g_dir = nullptr;

std::string ItemText(int i) {
    std::string text = "Item " + std::to_string(i) + (i % 3 == 0 ? ": Grüße – ☺ " : ": ");
    const auto size = static_cast<std::size_t>(i % 500 == 0  ? 12'000
                                               : i % 50 == 0 ? 2'000
                                                             : 20 + (i * 37) % 180);
    while (text.size() < size) {
        text += "lorem ipsum ";
    }
    return text + "9|";
}

// 10,000 items in all: the small library's 30 and 9,970 more.
void Grow(const std::string& path) {
    CMdbGrower grower(BLURTLE_MDB_FIXTURES "/small-jet4.mdb");
    std::vector<std::string> categories;
    for (int c = 0; c < kCategories; ++c) {
        categories.push_back(CMdbGrower::NewKey());
        grower.Add(CMdbGrower::Category{categories.back(), "Category " + std::to_string(c),
                                        static_cast<std::int16_t>(c + 4), categories.back()});
    }
    for (int i = 0; i < kItems - 30; ++i) {
        grower.Add(CMdbGrower::Item{
            categories[static_cast<std::size_t>(i % kCategories)], ItemText(i),
            "mnemonic " + std::to_string(i), CMdbGrower::NewKey(),
            static_cast<std::int16_t>(i / kCategories), static_cast<std::int16_t>(i % 5),
            static_cast<std::int16_t>((i + 1) % 5)});
    }
    grower.Save(path);
}

std::string NewTarget() {
    static int n = 0;
    return g_dir->filePath(QStringLiteral("imported-%1.blz").arg(++n)).toStdString();
}

void Remove(const std::string& path) {
    for (const char* suffix : {"", "-wal", "-shm"}) {
        QFile::remove(QString::fromStdString(path + suffix));
    }
}

void BM_ImportTenThousandItems(benchmark::State& state) {
    for (auto _ : state) {
        const std::string target = NewTarget();
        const ImportSummary summary = ImportOldLibrary(g_mdb, target);
        benchmark::DoNotOptimize(summary.items);
        state.PauseTiming();
        Remove(target);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportTenThousandItems)->Unit(benchmark::kMillisecond);

void BM_ReadTenThousandItems(benchmark::State& state) {
    for (auto _ : state) {
        const OldLibrary library = ReadOldLibrary(g_mdb);
        benchmark::DoNotOptimize(library.items.size());
    }
}
BENCHMARK(BM_ReadTenThousandItems)->Unit(benchmark::kMillisecond);

void BM_ReadTenThousandItemsApart(benchmark::State& state) {
    SetOldLibraryReaderProgram(QStringLiteral(BLURTLE_EXECUTABLE));
    for (auto _ : state) {
        const OldLibrary library = ReadOldLibraryApart(g_mdb);
        benchmark::DoNotOptimize(library.items.size());
    }
}
BENCHMARK(BM_ReadTenThousandItemsApart)->Unit(benchmark::kMillisecond);

void BM_WriteTenThousandItems(benchmark::State& state) {
    const OldLibrary library = ReadOldLibrary(g_mdb);
    for (auto _ : state) {
        const std::string target = NewTarget();
        WriteImportedLibrary(library, target);
        state.PauseTiming();
        Remove(target);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WriteTenThousandItems)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    g_dir = &dir;
    g_mdb = dir.filePath("ten-thousand.mdb").toStdString();
    std::fprintf(stderr, "Growing an older library of %d items in %s ...\n", kItems, g_mdb.c_str());
    Grow(g_mdb);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
