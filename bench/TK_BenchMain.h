// Shared main for the benchmark programs: runs every benchmark, then prints
// for each benchmark "NAME" that has a partner "NAME/baseline" the ratio of
// their times per iteration (measured in the same run), and, where a target
// in microseconds was registered, whether it was met.
#pragma once

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tk_bench {

// CPU seconds of the whole process, every thread's (a software
// rasteriser's included): steadier than the clock on a shared machine.
inline double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

inline std::map<std::string, double>& Targets() {
    static std::map<std::string, double> targets;
    return targets;
}
inline std::map<std::string, double>& RatioTargets() {
    static std::map<std::string, double> targets;
    return targets;
}
// Target for a benchmark, in microseconds per iteration.
inline void SetTarget(const std::string& name, double value) { Targets()[name] = value; }
// Target for a benchmark with a baseline: the highest allowed ratio.
inline void SetRatioTarget(const std::string& name, double ratio) { RatioTargets()[name] = ratio; }

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred)
                m_times[r.benchmark_name()] = r.GetAdjustedRealTime() * 1e-3 *
                                               (r.time_unit == benchmark::kNanosecond    ? 1.0
                                                : r.time_unit == benchmark::kMicrosecond ? 1e3
                                                                                           : 1e6);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-44s %12s %12s %8s  %s\n", "figure", "us/iter", "baseline us", "ratio", "target");
        for (const auto& [name, us] : m_times) {
            if (name.find("/baseline") != std::string::npos) continue;
            auto base = m_times.find(name + "/baseline");
            auto target = Targets().find(name);
            auto ratioTarget = RatioTargets().find(name);
            std::string targetText = "-";
            char buf[96];
            if (target != Targets().end()) {
                bool met = us <= target->second;
                std::snprintf(buf, sizeof buf, "< %.1f us: %s", target->second, met ? "met" : "MISSED");
                targetText = buf;
            } else if (ratioTarget != RatioTargets().end() && base != m_times.end()) {
                bool met = us <= ratioTarget->second * base->second;
                std::snprintf(buf, sizeof buf, "ratio < %.1f: %s", ratioTarget->second, met ? "met" : "MISSED");
                targetText = buf;
            }
            if (base != m_times.end())
                std::printf("%-44s %12.3f %12.3f %8.2f  %s\n", name.c_str(), us, base->second, us / base->second,
                            targetText.c_str());
            else
                std::printf("%-44s %12.3f %12s %8s  %s\n", name.c_str(), us, "-", "-", targetText.c_str());
        }
    }

private:
    std::map<std::string, double> m_times;  // microseconds per iteration
};

// The baseline of an export: one fopen, fwrite and fclose per iteration of
// as many bytes as the file at `path` holds (the raw cost of the output).
inline void FwriteBaseline(benchmark::State& state, const std::string& path) {
    std::error_code error;
    const std::vector<char> bytes(size_t(std::filesystem::file_size(path, error)), 'x');
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return state.SkipWithError("cannot write the baseline file");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

inline int Main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace tk_bench

#define TK_BENCH_MAIN() \
    int main(int argc, char** argv) { return tk_bench::Main(argc, argv); }
