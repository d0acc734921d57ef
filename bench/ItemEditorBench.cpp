// The item editor on an item of 255 iterations (the most an item can have):
// opening it (the form, the table, reading and showing the row) and
// stepping with the right arrow from the first iteration to the last.
// Run with --benchmark_repetitions=5 to see medians.
#include "dialogs/ItemPropertyDlg.h"
#include "dialogs/UpDownButtons.h"
#include "store/CategoryTbl.h"
#include "store/CurrentDatabase.h"
#include "store/KeyHelpers.h"
#include "store/LibraryFile.h"
#include "store/PhraseTbl.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>

#include <cstdio>
#include <string>

namespace {

std::string g_phraseId;

std::string MakeItem() {
    CCategoryTbl categories;
    categories.Open();
    categories.AddNew();
    categories.m_Description = "Bench";
    categories.Update();
    categories.SetBookmark(categories.GetLastModifiedBookmark());
    const std::string category = ExtractBracedIdentifier(categories.m_CategoryID);

    std::string data;
    for (int i = 1; i <= CItemVerbiage::kMaxIterations; ++i) {
        data += "Iteration number " + std::to_string(i) +
                " of a phrase long enough to look like real text." + std::to_string(1 + i % 9) +
                "|";
    }
    CPhraseTbl phrases;
    phrases.Open();
    phrases.AddNew();
    phrases.m_CategoryID = category;
    phrases.m_Mnemonic = "many";
    phrases.m_Data = data;
    phrases.Update();
    phrases.SetBookmark(phrases.GetLastModifiedBookmark());
    return ExtractBracedIdentifier(phrases.m_PhraseID);
}

void BM_OpenEditorAndStepThroughAll(benchmark::State& state) {
    for (auto _ : state) {
        CItemPropertyDlg dlg(nullptr, false);
        dlg.SetPhraseID(QString::fromStdString(g_phraseId));
        dlg.SetCaption(QStringLiteral("Blurtle Item Properties"));
        dlg.show();
        auto* spin = dlg.findChild<CUpDownButtons*>(QStringLiteral("IDC_ITERATION_SPIN"));
        for (int i = 1; i < CItemVerbiage::kMaxIterations; ++i) {
            spin->Step(+1);
        }
        const QString last = dlg.findChild<QLabel*>(QStringLiteral("IDC_ITERATION_NUMBER"))->text();
        if (last != QStringLiteral("255")) {
            state.SkipWithError("did not reach iteration 255");
        }
        dlg.reject();
    }
}
BENCHMARK(BM_OpenEditorAndStepThroughAll)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("bench.blz")).toStdString();
    CreateLibraryFile(path);
    SetCurrentLibrarySource([library = CLibraryLocation::Parse(path)] { return library; });
    g_phraseId = MakeItem();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetCurrentLibrarySource({});
    return 0;
}
