// Command dispatch figures: one trivial console line through ExecuteText
// (split, find, create, parse, run), with output silenced so the figure is the
// executor's own work. The baseline copies the same line into a string.
#include <string>

#include "TK_BenchMain.h"
#include "app/TK_Startup.h"
#include "core/OMB_Log.h"
#include "model/TK_EditorEnv.h"

namespace {

const char kLine[] = "undo";

void TrivialLine(benchmark::State& state) {
    static TK_EditorEnv env;
    static bool ready = (TK_SetupEnvironment(env), true);
    (void)ready;
    OMB_SetLogMode(OMB_LogMode::Silent);
    for (auto _ : state) {
        OMB_ExecuteStats stats;
        env.ExecuteText("", kLine, &stats);
        benchmark::DoNotOptimize(stats);
        if (stats.commands != 1) state.SkipWithError("line did not run");
    }
    OMB_SetLogMode(OMB_LogMode::All);
}
BENCHMARK(TrivialLine)->Name("ExecuteText(\"undo\")");

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
    return tk_bench::Main(argc, argv);
}
