// Timing of what a press on a mnemonic costs before the drag can start:
// the Seek of the item in the list's long-lived table, the composition of
// its text with its punctuation, and the drag's data object. On the
// generated library of 100,000 items. Run with --benchmark_repetitions=5.
#include "bench/BenchLibrary.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "store/CurrentDatabase.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMimeData>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

CDDListBox* g_list = nullptr;

void BM_PressToDragData(benchmark::State& state) {
    int row = 0;
    const int rows = g_list->count();
    for (auto _ : state) {
        std::unique_ptr<QMimeData> data = g_list->PrepareDragData(row);
        if (data == nullptr) {
            state.SkipWithError("item not found");
            break;
        }
        benchmark::DoNotOptimize(data.get());
        row = (row + 1) % rows;
    }
}
BENCHMARK(BM_PressToDragData)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    GeneratedLibrary library;
    library.path = dir.filePath("bench.blz").toStdString();
    std::fprintf(stderr, "Generating 100,000 items in %s ...\n", library.path.c_str());
    Generate(library);
    const std::string path = library.path;
    SetCurrentLibrarySource([library = CLibraryLocation::Parse(path)] { return library; });

    CDDListBox list;
    list.OpenPhraseTable();
    std::vector<MnemonicEntry> entries;
    for (const std::string& key : library.sampleKeys) {
        entries.push_back(
            {EntryLines::MakeMnemonicLine(QStringLiteral("item"), QString::fromStdString(key)),
             -1,
             {}});
    }
    list.Model().Show(std::move(entries));
    g_list = &list;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_list = nullptr;
    list.PhraseTable().Close();
    SetCurrentLibrarySource({});
    return 0;
}
