// One keystroke in the palette's find field to the list showing the first
// screenful of what the words find, on a generated library of 100,000
// items in 100 categories in a file: for a rare word, for one letter in
// every mnemonic, and for one letter in every text but no mnemonic (every
// mnemonic is read before the first text match shows). The same finds as
// raw SQL through SQLite's C API, the baseline, are in find_bench. Run
// with --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// for medians.
#include "app/MumbletApp.h"
#include "app/MumbletDlg.h"
#include "app/Profile.h"
#include "bench/BenchLibrary.h"
#include "dragdrop/DDListBox.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

#include <cstdio>

namespace {

CMumbletDlg* g_palette = nullptr;

void Keystroke(benchmark::State& state, const char* words) {
    QLineEdit& field = g_palette->FindField();
    CDDListBox& list = g_palette->Mnemonics();
    for (auto _ : state) {
        state.PauseTiming();
        field.clear(); // the category's entries again
        QApplication::processEvents();
        state.ResumeTiming();
        field.setText(QString::fromLatin1(words));
        list.viewport()->repaint();
    }
    state.counters["shown"] = list.count();
}
// The generated mnemonics are "Mnemonic <category>-<item>".
BENCHMARK_CAPTURE(Keystroke, rareWord, "57-123")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Keystroke, oneLetter, "m")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Keystroke, letterInTextsOnly, "y")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir home;
    // Settings and data of this run only.
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quillfen"));
    GeneratedLibrary library;
    library.path = home.filePath(QStringLiteral("bench.blz")).toStdString();
    std::fprintf(stderr, "Generating 100,000 items in %s ...\n", library.path.c_str());
    Generate(library);
    Profile::WriteString(QStringLiteral("DatabasePath"), QString::fromStdString(library.path));

    CMumbletApp theApp;
    CMumbletDlg palette;
    palette.Start();
    g_palette = &palette;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_palette = nullptr;
    return 0;
}
