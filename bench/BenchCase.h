#pragma once

#include <string>
#include <vector>

// One measured case and its floor, registered as two benchmarks next to each
// other, so that both are measured in the same run and the summary can put
// them side by side.
struct BenchCase {
    std::string family;    // e.g. "SwarmStep"; the benchmark is family/size
    long size;             // members or nodes per tentacle
    double units;          // pairs, nodes or members handled per iteration
    std::string unitName;  // what a unit is, for the summary
    // Whether the time per unit should stay the same across sizes; false
    // where a part of the work grows faster than the units.
    bool flat;
};

// Registers `family/size` and `family/size floor`.
void addBenchCase(const BenchCase& benchCase);
const std::vector<BenchCase>& benchCases();

std::string caseName(const BenchCase& benchCase);
std::string floorName(const BenchCase& benchCase);
