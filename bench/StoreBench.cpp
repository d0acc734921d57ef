// Timing of the phrase store on a generated library of 100,000 items in 100
// categories, in a file and on a PostgreSQL server on this machine (started
// by the benchmark itself, as the tests start theirs): the drag-out's Seek
// and read through the list's long-lived table, the fill of a 10,000-item
// category, the list's order save after one move, an order save of 1,000
// items, and how soon a watch hears a commit. Run with
// --benchmark_repetitions=5 to see medians.
#include "bench/BenchLibrary.h"
#include "store/CurrentDatabase.h"
#include "store/KeyHelpers.h"
#include "store/LibraryConnection.h"
#include "store/LibraryLocation.h"
#include "store/LibraryWatch.h"
#include "store/LibraryWatchStart.h"
#include "store/PhraseTbl.h"
#include "store/PhrasesInCategoryQry.h"
#include "tests/support/PostgresServer.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// Each benchmark runs on the library it is registered with.
void UseLibrary(const GeneratedLibrary& library) {
    const std::string path = library.path;
    SetCurrentLibrarySource([library = CLibraryLocation::Parse(path)] { return library; });
}

void SeekAndReadOneItem(benchmark::State& state, const GeneratedLibrary* library) {
    UseLibrary(*library);
    CPhraseTbl list;
    list.Open();
    list.SetCurrentIndex("PrimaryKey");
    std::size_t next = 0;
    for (auto _ : state) {
        const std::string& key = library->sampleKeys[next++ % library->sampleKeys.size()];
        if (!list.Seek("=", MakeSeekKey(key))) {
            state.SkipWithError("key not found");
            break;
        }
        benchmark::DoNotOptimize(list.m_Data.data());
        benchmark::DoNotOptimize(list.m_PunctuationTrailing);
    }
}

void FillCategoryOf10000(benchmark::State& state, const GeneratedLibrary* library) {
    UseLibrary(*library);
    CPhrasesInCategoryQry phrases;
    for (auto _ : state) {
        phrases.m_CATEGORYID = library->bigCategory;
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

// The list's order save after the user moved one entry down by one: the
// two positions that changed, written in one transaction as the list
// writes them (Seek, compare, Edit, Update). Every round swaps the pair.
void SaveOrderAfterOneMove(benchmark::State& state, const GeneratedLibrary* library) {
    UseLibrary(*library);
    CPhraseTbl list;
    list.Open();
    list.SetCurrentIndex("PrimaryKey");
    std::vector<std::string> keys = library->orderKeys;
    for (auto _ : state) {
        std::swap(keys[500], keys[501]);
        list.BeginTrans();
        for (int i : {500, 501}) {
            if (list.Seek("=", MakeSeekKey(keys[static_cast<std::size_t>(i)])) &&
                list.m_ZOrder != i) {
                list.Edit();
                list.m_ZOrder = i;
                list.Update();
            }
        }
        list.CommitTrans();
    }
}

// Seek each entry and write its index into ZOrder, each Update its own
// transaction. The order flips every round so every Update really writes.
void SaveOrderOf1000(benchmark::State& state, const GeneratedLibrary* library) {
    UseLibrary(*library);
    CPhraseTbl list;
    list.Open();
    list.SetCurrentIndex("PrimaryKey");
    const std::vector<std::string>& keys = library->orderKeys;
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

// From a commit of one changed item to the moment a watch (as every
// palette has) tells of it, the settle time included: how long another
// member waits to see a change.
void ChangeHeard(benchmark::State& state, const GeneratedLibrary* library) {
    UseLibrary(*library);
    const std::unique_ptr<CLibraryWatch> watch =
        StartLibraryWatch(CLibraryLocation::Parse(library->path));
    QEventLoop loop;
    QObject::connect(watch.get(), &CLibraryWatch::Changed, &loop, &QEventLoop::quit);
    const auto waitForChange = [&loop](int milliseconds) {
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
        limit.start(milliseconds);
        return loop.exec() == 0;
    };
    waitForChange(2000); // the server watch connects first
    CPhraseTbl list;
    list.Open();
    list.SetCurrentIndex("PrimaryKey");
    std::int16_t zOrder = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!list.Seek("=", MakeSeekKey(library->sampleKeys.front()))) {
            state.SkipWithError("key not found");
            break;
        }
        list.Edit();
        list.m_ZOrder = zOrder = static_cast<std::int16_t>(1 - zOrder);
        list.Update();
        if (!waitForChange(5000)) {
            state.SkipWithError("the change was not heard");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        // Whatever else the commit stirred (a checkpoint) passes first.
        waitForChange(300);
    }
}

void Register(const std::string& engine, const GeneratedLibrary* library) {
    benchmark::RegisterBenchmark(("BM_SeekAndReadOneItem/" + engine).c_str(), SeekAndReadOneItem,
                                 library)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("BM_FillCategoryOf10000/" + engine).c_str(), FillCategoryOf10000,
                                 library)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BM_SaveOrderAfterOneMove/" + engine).c_str(),
                                 SaveOrderAfterOneMove, library)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("BM_SaveOrderOf1000/" + engine).c_str(), SaveOrderOf1000, library)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("BM_ChangeHeard/" + engine).c_str(), ChangeHeard, library)
        ->UseManualTime()
        ->Iterations(20)
        ->Unit(benchmark::kMillisecond);
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
