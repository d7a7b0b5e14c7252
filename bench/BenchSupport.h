#pragma once

// What the Google Benchmark programs share.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <sys/resource.h>

namespace tw::bench {

// The process's peak resident set size so far, in MB.
inline double peakRssMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // ru_maxrss is in kilobytes on Linux
}

// Runs the registered benchmarks inside a QApplication, which editors need.
inline int runBenchmarks(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace tw::bench
