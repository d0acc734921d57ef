// The category sort dialog's order save on a library of 1,000 categories:
// one transaction that seeks every entry and writes the rows whose ZOrder
// changes. Two shapes: the whole list reversed (every row written) and one
// entry moved one place (two rows written, 1,000 seeks). Run with
// --benchmark_repetitions=5 to see medians.
#include "dialogs/CategorySortDlg.h"
#include "dragdrop/DragListEx.h"
#include "store/CurrentDatabase.h"
#include "store/LibraryFile.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kCategories = 1000;

void Reverse(CDragListEx& list) {
    std::vector<QListWidgetItem*> items;
    while (list.count() > 0) {
        items.push_back(list.takeItem(list.count() - 1));
    }
    for (QListWidgetItem* item : items) {
        list.addItem(item);
    }
}

void BM_SaveCategoryOrderOf1000Reversed(benchmark::State& state) {
    CCategorySortDlg dialog;
    auto* list = dialog.findChild<CDragListEx*>();
    for (auto _ : state) {
        state.PauseTiming();
        Reverse(*list);
        state.ResumeTiming();
        dialog.SaveCategoryOrder();
    }
}
BENCHMARK(BM_SaveCategoryOrderOf1000Reversed)->Unit(benchmark::kMillisecond);

void BM_SaveCategoryOrderOf1000OneMove(benchmark::State& state) {
    CCategorySortDlg dialog;
    auto* list = dialog.findChild<CDragListEx*>();
    for (auto _ : state) {
        state.PauseTiming();
        list->insertItem(kCategories / 2, list->takeItem(kCategories / 2 + 1));
        state.ResumeTiming();
        dialog.SaveCategoryOrder();
    }
}
BENCHMARK(BM_SaveCategoryOrderOf1000OneMove)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("categories.blz")).toStdString();
    std::vector<LibrarySeedCategory> seed;
    for (int i = 0; i < kCategories; ++i) {
        seed.push_back({"Category " + std::to_string(i), {}});
    }
    std::fprintf(stderr, "Generating %d categories in %s ...\n", kCategories, path.c_str());
    CreateLibraryFile(path, seed);
    SetCurrentLibrarySource([library = CLibraryLocation::Parse(path)] { return library; });
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetCurrentLibrarySource({});
    return 0;
}
