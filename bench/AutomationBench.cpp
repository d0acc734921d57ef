// What a hostile automation client can make the window's thread do:
//  - look up an item by a reference made of nothing but slashes (10,000
//    to 1,000,000 of them), on a library whose category names hold
//    slashes too; the work grows with the reference's length, not with
//    its square;
//  - bind a client's objects to the palette and let them all go, as a
//    client that leaves does, up to the cap of one client and far beyond.
// Run with --benchmark_repetitions=5 to see medians.
#include "automation/AutomatedWindow.h"
#include "automation/ItemLookup.h"
#include "automation/MumbletDlgAutoProxy.h"
#include "store/CurrentDatabase.h"
#include "store/LibraryFile.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

void BM_FindItemBySlashes(benchmark::State& state) {
    const QString reference(static_cast<qsizetype>(state.range(0)), QLatin1Char('/'));
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(ItemLookup::FindItemKey(reference));
        } catch (const ItemLookup::LookupError&) {
            // Names no item: the time to find that out is what is measured.
        }
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FindItemBySlashes)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_BindAndReleaseObjects(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        CAutomatedWindow window;
        std::vector<std::unique_ptr<CMumbletDlgAutoProxy>> objects;
        objects.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            objects.push_back(std::make_unique<CMumbletDlgAutoProxy>(&window, QString()));
        }
        // Released oldest first: the order that walked the whole list.
        objects.clear();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_BindAndReleaseObjects)
    ->RangeMultiplier(8)
    ->Range(64, 65536)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("slashes.blz")).toStdString();
    // Category names of slashes alone, and of words with slashes, so that
    // many places of a "/" are worth trying.
    std::vector<LibrarySeedCategory> seed;
    for (int i = 1; i <= 20; ++i) {
        seed.push_back({std::string(static_cast<std::size_t>(i), '/'), {{"/", "x9|"}}});
        seed.push_back({"Mail/Work " + std::to_string(i), {{"sign/off", "y9|"}}});
    }
    std::fprintf(stderr, "Generating %zu categories in %s ...\n", seed.size(), path.c_str());
    CreateLibraryFile(path, seed);
    SetCurrentLibrarySource([library = CLibraryLocation::Parse(path)] { return library; });
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetCurrentLibrarySource({});
    return 0;
}
