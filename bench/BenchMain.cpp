// Runs every benchmark and its floor, then prints a summary: the median time
// per iteration and per unit (pair, node or member), the ratio of each case
// to its floor measured in the same run, and how the time per unit changes
// with the size. Without options of its own it runs five repetitions of each
// benchmark. `--frame-ms=F` adds the share that one step of the real
// workload (five members) takes of a frame of F milliseconds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "bench/BenchCase.h"

void registerSimulationBenchmarks();
void registerDrawingBenchmarks();

// Google Benchmark 1.8 turned a run's flag error_occurred into the state
// skipped (which also covers a run the benchmark skipped itself), and from
// then on reads --benchmark_min_time with a unit. Both libraries are served:
// the one found tells which it is by its run record.
template <typename Run, typename = void>
struct ReportsSkips : std::false_type {};
template <typename Run>
struct ReportsSkips<Run, std::void_t<decltype(std::declval<Run>().skipped)>> : std::true_type {};

// Whether a run ended without a time.
template <typename Run>
static bool endedWithoutTime(const Run& run) {
    if constexpr (ReportsSkips<Run>::value) {
        return static_cast<bool>(run.skipped);
    } else {
        return run.error_occurred;
    }
}

// Passes everything on to the console and keeps each benchmark's CPU time
// per iteration in nanoseconds: the median when there are repetitions, the
// run itself when there are none.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nanoseconds;
    std::map<std::string, bool> fromMedian;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (endedWithoutTime(run)) {
                continue;
            }
            const std::string name = run.run_name.str();
            const double ns =
                run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median") {
                    nanoseconds[name] = ns;
                    fromMedian[name] = true;
                }
            } else if (!fromMedian[name]) {
                nanoseconds[name] = ns;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

static bool hasFlag(int argc, char** argv, const char* prefix) {
    for (int i = 1; i < argc; ++i) {
        if (strncmp(argv[i], prefix, strlen(prefix)) == 0) {
            return true;
        }
    }
    return false;
}

using SizeTimes = std::vector<std::pair<long, double>>;

// Prints one line per case and returns the time per unit of each, by family.
static std::map<std::string, SizeTimes> printCases(const SummaryReporter& reporter) {
    printf("\nSummary: CPU time per iteration (median of the repetitions) and per unit\n");
    printf("%-18s %12s %14s %14s %7s\n", "case", "per iter", "per unit", "floor/unit", "ratio");
    std::map<std::string, SizeTimes> perUnitByFamily;
    for (const BenchCase& c : benchCases()) {
        auto measured = reporter.nanoseconds.find(caseName(c));
        auto floor = reporter.nanoseconds.find(floorName(c));
        if (measured == reporter.nanoseconds.end()) {
            continue;
        }
        const double perUnit = measured->second / c.units;
        perUnitByFamily[c.family].emplace_back(c.size, perUnit);
        char unit[64];
        snprintf(unit, sizeof unit, "%.2f ns/%s", perUnit, c.unitName.c_str());
        if (floor != reporter.nanoseconds.end()) {
            printf("%-18s %9.2f us %14s %11.2f ns %7.2f\n", caseName(c).c_str(), measured->second / 1000,
                   unit, floor->second / c.units, measured->second / floor->second);
        } else {
            printf("%-18s %9.2f us %14s %14s %7s\n", caseName(c).c_str(), measured->second / 1000, unit, "-",
                   "-");
        }
    }
    return perUnitByFamily;
}

// The largest factor by which the time per unit rises from a smaller size to
// a larger one; below 1 when it only falls.
static double largestGrowth(const SizeTimes& sizes) {
    double growth = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        for (size_t j = i + 1; j < sizes.size(); ++j) {
            growth = std::max(growth, sizes[j].second / sizes[i].second);
        }
    }
    return growth;
}

static bool familyIsFlat(const std::string& family) {
    for (const BenchCase& c : benchCases()) {
        if (c.family == family) {
            return c.flat;
        }
    }
    return false;
}

static void printGrowth(const std::map<std::string, SizeTimes>& perUnitByFamily) {
    printf("\nGrowth of the time per unit from a smaller size to a larger one (largest found):\n");
    for (const auto& family : perUnitByFamily) {
        if (family.second.size() < 2) {
            continue;
        }
        const double growth = largestGrowth(family.second);
        const char* verdict = !familyIsFlat(family.first)
                                  ? "(grows by design: pairs grow as the square of the members)"
                              : growth <= 1.5 ? "(within 1.5)"
                                              : "(MORE THAN 1.5)";
        printf("  %-14s x%.2f %s\n", family.first.c_str(), growth, verdict);
    }
}

static void printSummary(const SummaryReporter& reporter, double frameMilliseconds) {
    printGrowth(printCases(reporter));
    auto step = reporter.nanoseconds.find("SwarmStep/5");
    if (frameMilliseconds > 0 && step != reporter.nanoseconds.end()) {
        const double share = step->second / (frameMilliseconds * 1e6);
        printf("\nOne step of five members: %.2f us, %.3f%% of a frame of %.3f ms (target: under 1%%)\n",
               step->second / 1000, share * 100, frameMilliseconds);
    }
}

int main(int argc, char** argv) {
    double frameMilliseconds = 0;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && strncmp(argv[i], "--frame-ms=", 11) == 0) {
            frameMilliseconds = strtod(argv[i] + 11, nullptr);
        } else {
            args.push_back(argv[i]);
        }
    }
    static char repetitions[] = "--benchmark_repetitions=5";
    static char aggregatesOnly[] = "--benchmark_display_aggregates_only=true";
    static char minTimeInSeconds[] = "--benchmark_min_time=0.2s";
    static char minTimeBare[] = "--benchmark_min_time=0.2";
    char* minTime = ReportsSkips<benchmark::BenchmarkReporter::Run>::value ? minTimeInSeconds : minTimeBare;
    int count = static_cast<int>(args.size());
    if (!hasFlag(count, args.data(), "--benchmark_repetitions")) {
        args.push_back(repetitions);
        args.push_back(aggregatesOnly);
    }
    if (!hasFlag(count, args.data(), "--benchmark_min_time")) {
        args.push_back(minTime);
    }
    args.push_back(nullptr);
    int argumentCount = static_cast<int>(args.size()) - 1;

    registerSimulationBenchmarks();
    registerDrawingBenchmarks();
    benchmark::Initialize(&argumentCount, args.data());
    if (benchmark::ReportUnrecognizedArguments(argumentCount, args.data())) {
        return 1;
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printSummary(reporter, frameMilliseconds);
    return 0;
}
