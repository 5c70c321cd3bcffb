#pragma once
// What the benchmarks hand to scripts/bench.sh: one RESULT line per figure (tab-separated: figure, value,
// unit, target such as "<= 50" or ">= 200000", or "-" for a figure shown for information), and under callgrind the instructions of one operation of a
// hot path. --iterations N shortens the hot loops so that a callgrind run stays short.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define RUNNING_ON_VALGRIND 0
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_TOGGLE_COLLECT
#define CALLGRIND_DUMP_STATS_AT(name)
#endif

inline void BenchResult(const char* figure, double value, const char* unit, const char* target)
{
    std::printf("RESULT\t%s\t%.4g\t%s\t%s\n", figure, value, unit, target);
    std::fflush(stdout);
}

// The value of --iterations, or normal when it is not given.
inline long BenchIterations(int argc, char** argv, long normal)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--iterations") == 0)
            return std::max(1L, std::atol(argv[i + 1]));
    return normal;
}

// Counts the instructions of the enclosing block, which runs ops operations of the figure named. The script
// runs the bench with --collect-atstart=no and divides each dump by its OPS line.
class TInstructionCount {
public:
    TInstructionCount(const char* figure, long ops) : FFigure(figure), FOps(ops)
    {
        CALLGRIND_ZERO_STATS;
        CALLGRIND_TOGGLE_COLLECT;
    }
    ~TInstructionCount()
    {
        CALLGRIND_TOGGLE_COLLECT;
        CALLGRIND_DUMP_STATS_AT(FFigure);
        if (RUNNING_ON_VALGRIND) {
            std::printf("OPS\t%s\t%ld\n", FFigure, FOps);
            std::fflush(stdout);
        }
    }
    // For blocks that learn their count as they run.
    void SetOps(long ops) { FOps = ops; }
    TInstructionCount(const TInstructionCount&) = delete;
    TInstructionCount& operator=(const TInstructionCount&) = delete;

private:
    const char* FFigure;
    long FOps;
};
