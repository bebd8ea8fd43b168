// Command dispatch figures: one trivial console line through ExecuteText
// (split, find, create, parse, run), with output silenced so the figure is the
// executor's own work: "undo" on an empty history (the failure path) and
// "index N" (a successful run with its notifications). The baselines copy
// the same line into a string.
#include <string>

#include "TK_BenchMain.h"
#include "app/TK_Startup.h"
#include "core/OMB_Log.h"
#include "model/TK_EditorEnv.h"

namespace {

const char kLine[] = "undo";

// One environment with every command registered, shared by the benchmarks.
TK_EditorEnv& BenchEnv() {
    OMB_SetLogMode(OMB_LogMode::Silent);
    static TK_EditorEnv* env = [] {
        auto* e = new TK_EditorEnv();
        TK_SetupEnvironment(*e);
        return e;
    }();
    return *env;
}

void TrivialLine(benchmark::State& state) {
    TK_EditorEnv& env = BenchEnv();
    for (auto _ : state) {
        OMB_ExecuteStats stats;
        env.ExecuteText(kLine, &stats);
        benchmark::DoNotOptimize(stats);
        if (stats.commands != 1) state.SkipWithError("line did not run");
    }
    OMB_SetLogMode(OMB_LogMode::All);
}
BENCHMARK(TrivialLine)->Name("ExecuteText(\"undo\")");

// A successful trivial command: alternate between two colours so that every
// run changes the current colour and notifies the listeners.
void IndexLine(benchmark::State& state) {
    TK_EditorEnv& env = BenchEnv();
    for (auto _ : state) {
        OMB_ExecuteStats stats;
        env.ExecuteText(env.currentColorIndex == 5 ? "index 6" : "index 5", &stats);
        if (stats.succeeded != 1) state.SkipWithError("index failed");
    }
    OMB_SetLogMode(OMB_LogMode::All);
}
BENCHMARK(IndexLine)->Name("ExecuteText(\"index N\")");

void CopyIndexLine(benchmark::State& state) {
    for (auto _ : state) {
        std::string copy("index 5");
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(CopyIndexLine)->Name("ExecuteText(\"index N\")/baseline");

void CopyLine(benchmark::State& state) {
    for (auto _ : state) {
        std::string copy(kLine);
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(CopyLine)->Name("ExecuteText(\"undo\")/baseline");

}  // namespace

int main(int argc, char** argv) {
    tk_bench::SetTarget("ExecuteText(\"undo\")", 2.0);
    tk_bench::SetTarget("ExecuteText(\"index N\")", 2.0);
    return tk_bench::Main(argc, argv);
}
