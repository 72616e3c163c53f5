#include "bench/BenchCase.h"

static std::vector<BenchCase>& registry() {
    static std::vector<BenchCase> cases;
    return cases;
}

void addBenchCase(const BenchCase& benchCase) { registry().push_back(benchCase); }

const std::vector<BenchCase>& benchCases() { return registry(); }

std::string caseName(const BenchCase& benchCase) {
    return benchCase.family + "/" + std::to_string(benchCase.size);
}

std::string floorName(const BenchCase& benchCase) { return caseName(benchCase) + " floor"; }
